// The main window's print commands: print, preview, printer set-up, fine
// tuning and printing into a PDF file.
#include "printing/Printft.h"
#include "printing/Printlbl.h"
#include "printing/Selectsl.h"
#include "printing/Warnbot.h"
#include "report/RPFiler.h"
#include "report/RPrinter.h"
#include "shell/Main.h"
#include "shell/ShellUtil.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>

std::function<double(TCanvasReport &)> TMainScreen::UnprintableBottomMargin =
    [](TCanvasReport &report) {
        report.UpdateMetrics();
        return report.BottomOffset();
    };

QString TMainScreen::PrinterNameOf(TBaseReport *report)
{
    auto *device = dynamic_cast<TCanvasReport *>(report);
    if (!device || !device->OutputFile().isEmpty())
        return QString();
    QPrinter *printer = device->Printer();
    return printer && printer->outputFormat() == QPrinter::NativeFormat ? printer->printerName()
                                                                        : QString();
}

TPrinterNudges TMainScreen::NudgesFor(TBaseReport *report) const
{
    return m_preferences.NudgesFor(PrinterNameOf(report));
}

void TMainScreen::CreateMainReport()
{
    if (m_mainReport)
        return;
    m_mainReport = std::make_unique<TReportPrinter>();
    m_mainReport->SetTitle(QStringLiteral("Tessaro"));
    m_mainReport->SetPaperSize(m_preferences.Layout.Papersize);
}

void TMainScreen::mnuPrintClick()
{
    if (!m_mainReport)
        return;
    ToPrinter = true;
    m_mainReport->SetPaperSize(m_preferences.Layout.Papersize);
    m_panel->SetPreviewing(false);
    OutlineOnly = false;
    // The dialog sets portrait and the number of sheets.
    if (!DoPageSetup())
        return;
    QCoreApplication::processEvents();
    const double bottom = UnprintableBottomMargin ? UnprintableBottomMargin(*m_mainReport) : 0.0;
    QCoreApplication::processEvents();

    // The paper the printer reports, else the height of the layout's paper code.
    const double paperHeight = m_mainReport->PageHeight() > 0
                                   ? m_mainReport->PageHeight()
                                   : PaperHeightInches(m_preferences.Layout.Papersize);
    const TBottomMarginCheck check = CheckBottomMargin(
        m_preferences.Layout, NudgesFor(m_mainReport.get()), PrintSelection, paperHeight, bottom);
    if (check.Due && m_preferences.ShowBottomMarginWarning) {
        TWarnBottomMargin warning(check, this);
        PlaceDialog(&warning, this);
        const bool proceed = warning.exec() == QDialog::Accepted;
        if (warning.DontShowAgain()) {
            m_preferences.ShowBottomMarginWarning = false;
            SavePreferences();
        }
        if (!proceed)
            return;
    }
    DoPrint(m_mainReport.get());
}

bool TMainScreen::DoPageSetup(TCanvasReport *report)
{
    TSelectSpecificLabels dialog(m_preferences.Layout.Papersize,
                                 report ? report : m_mainReport.get(), this);
    dialog.SetLayout(m_preferences.Layout);
    dialog.SetSelection(PrintSelection);
    PlaceDialog(&dialog, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QList<bool> chosen = dialog.Selection();
    for (int i = 0; i < chosen.size(); ++i) {
        if (i < PrintSelection.size())
            PrintSelection[i] = chosen.at(i);
        else
            PrintSelection.append(chosen.at(i));
    }
    return true;
}

void TMainScreen::mnuPrinterFineTuningClick()
{
    const QString printer = PrinterNameOf(m_mainReport.get());
    const QString defaultPrinter = QPrinterInfo::defaultPrinterName();
    const bool isDefault =
        printer.isEmpty() || printer.compare(defaultPrinter, Qt::CaseInsensitive) == 0;
    TPrintFineTune dialog(m_preferences.NudgesFor(printer), printer, this);
    PlaceDialog(&dialog, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_preferences.SetNudgesFor(printer, isDefault, dialog.Nudges());
    SavePreferences();
}

void TMainScreen::mnuPreviewClick()
{
    ToPrinter = false;
    if (m_mainReport)
        m_mainReport->SetPaperSize(m_preferences.Layout.Papersize);
    m_panel->SetPreviewing(true);
    OutlineOnly = false;
    DoPrint(m_mainReport.get());
}

void TMainScreen::mnuPrinterSetupClick()
{
    if (m_mainReport)
        m_mainReport->PrinterSetupDialog(this);
}

void TMainScreen::mnuPrintToPdfClick()
{
    const QString path = ChoosePdfFile(tr("Print to PDF"), DesignBaseName());
    if (!path.isEmpty())
        PrintToPdf(path, TPdfSheet::ChosenCards);
}

QString TMainScreen::ChoosePdfFile(const QString &title, const QString &baseName)
{
    return ChooseOutputFile(title, baseName + QStringLiteral(".pdf"), {tr("PDF files (*.pdf)")},
                            QStringLiteral("PrintToPdfDialog"));
}

QString TMainScreen::ChooseOutputFile(const QString &title, const QString &fileName,
                                      const QStringList &filters, const QString &dialogName)
{
    QFileDialog dialog(this, title);
    dialog.setObjectName(dialogName);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Where the user keeps documents, not beside the design in the program's
    // own (hidden) data folder.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    dialog.setDirectory(folder);
    dialog.selectFile(QDir(folder).filePath(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    QString path = dialog.selectedFiles().constFirst();
    // A name with the ending of any of the filters keeps it ("card.jpg" while
    // PNG is chosen); another gets the chosen filter's first ending.
    static const QRegularExpression endings(QStringLiteral("\\*\\.(\\w+)"));
    auto endingsOf = [](const QString &filter) {
        QStringList found;
        for (auto m = endings.globalMatch(filter); m.hasNext();)
            found.append(m.next().captured(1));
        return found;
    };
    const QString suffix = QFileInfo(path).suffix();
    const bool known = std::any_of(filters.cbegin(), filters.cend(), [&](const QString &f) {
        return endingsOf(f).contains(suffix, Qt::CaseInsensitive);
    });
    const QStringList chosen = endingsOf(dialog.selectedNameFilter());
    if (!known && !chosen.isEmpty())
        path += QLatin1Char('.') + chosen.constFirst();
    return path;
}

bool TMainScreen::PrintToPdf(const QString &path, TPdfSheet sheet)
{
    TReportPrinter pdf;
    pdf.SetTitle(QStringLiteral("Tessaro"));
    pdf.SetOutputFile(path);
    pdf.SetPaperSize(m_preferences.Layout.Papersize);
    pdf.SetOrientation(poPortrait);
    if (m_mainReport)
        pdf.SetCopies(m_mainReport->Copies());
    ToPrinter = true;
    OutlineOnly = sheet == TPdfSheet::Outlines;
    m_panel->SetPreviewing(false);
    // A sheet of card stock partly used is printed from a PDF file too.
    if (sheet == TPdfSheet::ChosenCards && !DoPageSetup(&pdf))
        return false;
    return DoPrint(&pdf);
}

bool TMainScreen::DoPrint(TBaseReport *printerReport)
{
    // The objects print from their bounds at 100 %.
    TZoomAtFullSize fullSize(m_panel);
    QCoreApplication::processEvents();

    TLabelPrinter status(this);
    status.Panel = m_panel;
    status.Renderer().Copies = 1;
    if (ToPrinter && printerReport) {
        status.Renderer().Copies = printerReport->Copies();
        printerReport->SetCopies(1);
    }
    status.Renderer().PrintSelection = PrintSelection;
    PlaceDialog(&status, this);
    status.Renderer().OutlineOnly = OutlineOnly;
    // The nudges of the printer the sheet goes to (the main report's for the preview).
    status.Renderer().SetLayout(m_preferences.Layout,
                                NudgesFor(ToPrinter ? printerReport : m_mainReport.get()));
    status.Renderer().BackgroundFile = m_model->BackgroundArtFile();
    status.Renderer().ToPrinter = ToPrinter;
    if (ToPrinter) {
        status.SetPrinterReport(printerReport);
        status.setWindowTitle(tr("Print Status"));
        status.CancelButton->setText(tr("Cancel"));
    } else {
        status.RecordingReport().SetPaperSize(m_preferences.Layout.Papersize);
        status.RecordingReport().SetOrientation(poPortrait);
        status.setWindowTitle(tr("Preview Status"));
        status.CancelButton->setText(tr("Stop"));
    }
    status.exec();

    // A window closed before its job started produced nothing.
    const bool produced = status.JobRan() && !status.Aborted() && !status.Failed();
    if (status.Failed())
        ShowInformation(status.ErrorMessage());
    if (!ToPrinter && produced)
        ShowPreview(status.Recording());
    return produced;
}
