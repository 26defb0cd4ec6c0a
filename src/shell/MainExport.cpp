// The window's exports: a card for a print shop and a card as an image.
#include "printing/CardExport.h"
#include "printing/MergePrint.h"
#include "printing/ExportDialog.h"
#include "report/RPBase.h"
#include "shell/Main.h"
#include "shell/Preferences.h"
#include "shell/ShellUtil.h"

#include <QApplication>
#include <QFileInfo>

namespace {

// The wait cursor while a card is written, whatever ends it.
struct TBusyCursor
{
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;
};

} // namespace

void TMainScreen::SaveExportSettings()
{
    QString error;
    if (!SaveExportPreferences(PreferencesPath(), m_preferences, &error))
        ShowInformation(error.isEmpty() ? tr("Unable to write to %1").arg(PreferencesPath())
                                        : error);
}

QSizeF TMainScreen::CardInches() const
{
    return QSizeF(double(m_preferences.Layout.Width), double(m_preferences.Layout.Height));
}

QString TMainScreen::DesignBaseName() const
{
    // The front's name, whichever side is shown.
    const QString name = m_frontModel->FileName();
    return name.isEmpty() ? QStringLiteral("Cards") : QFileInfo(name).completeBaseName();
}

void TMainScreen::mnuExportForPrintShopClick()
{
    TPrintShopExportDialog dialog(FrontModel(), CardInches(), m_preferences.Export,
                                  m_preferences.ExportInMillimetres, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_preferences.Export = dialog.Settings();
    m_preferences.ExportInMillimetres = dialog.Millimetres();
    SaveExportSettings();
    // The guides show the bleed chosen.
    ShowPrintShopGuides(m_preferences.PrintShopGuides);
    const QString path =
        ChooseOutputFile(tr("Export for Print Shop"), DesignBaseName() + QStringLiteral(".pdf"),
                         {tr("PDF files (*.pdf)")}, QStringLiteral("ExportFileDialog"));
    if (path.isEmpty())
        return;
    // A merging design gives a page for each record's card.
    bool stop = false;
    std::unique_ptr<TMergeCards> merged = MergeCardsForJob(&stop);
    if (stop)
        return;
    try {
        const TBusyCursor busy;
        TCardExport card(CardInches(), m_preferences.Export);
        card.AddSide(FrontModel());
        // The back, when the design has one, on page 2.
        if (const TCardModel *back = PrintedBackSide())
            card.AddSide(*back);
        card.SetMergeCards(merged.get());
        card.WritePdf(path);
    } catch (const EReportError &e) {
        ShowInformation(e.Message());
    }
}

void TMainScreen::mnuExportCardAsImageClick()
{
    TCardImageDialog dialog(CardInches(), m_preferences.ImageDpi, m_preferences.Export.Bleed,
                            m_preferences.ExportInMillimetres, m_preferences.ImageWithBleed, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_preferences.ImageDpi = dialog.Dpi();
    m_preferences.ImageWithBleed = dialog.WithBleed();
    SaveExportSettings();
    const QString path =
        ChooseOutputFile(tr("Export Card as Image"), DesignBaseName() + QStringLiteral(".png"),
                         {tr("PNG image (*.png)"), tr("JPEG image (*.jpg *.jpeg)")},
                         QStringLiteral("ExportFileDialog"));
    if (path.isEmpty())
        return;
    TExportSettings settings;
    settings.Bleed = dialog.WithBleed() ? m_preferences.Export.Bleed : 0.0;
    settings.CropMarks = false;
    QString why;
    try {
        const TBusyCursor busy;
        TCardExport card(CardInches(), settings);
        card.AddSide(*m_model);
        why = WriteImageFile(card.RenderSide(0, dialog.Dpi()), path);
    } catch (const EReportError &e) {
        why = e.Message();
    }
    if (!why.isEmpty())
        ShowInformation(tr("The image \"%1\" could not be written (%2).").arg(path, why));
}
