// The main window's print commands: print, preview, printer set-up and
// printing into a PDF file.
#include "printing/Printlbl.h"
#include "report/RPFiler.h"
#include "report/RPrinter.h"
#include "shell/Main.h"
#include "shell/ShellUtil.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QStandardPaths>

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
    // All selected positions print in portrait; the sheet is drawn as often
    // as the report's copies say.
    m_mainReport->SetOrientation(poPortrait);
    m_mainReport->UpdateMetrics();
    QCoreApplication::processEvents();
    DoPrint(m_mainReport.get());
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
    const QString base = m_design->FileName().isEmpty()
                             ? QStringLiteral("Cards")
                             : QFileInfo(m_design->FileName()).completeBaseName();
    const QString path = ChoosePdfFile(tr("Print to PDF"), base);
    if (!path.isEmpty())
        PrintToPdf(path);
}

QString TMainScreen::ChoosePdfFile(const QString &title, const QString &baseName)
{
    QFileDialog dialog(this, title);
    dialog.setObjectName(QStringLiteral("PrintToPdfDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(tr("PDF files (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Where the user keeps documents, not beside the design in the program's
    // own (hidden) data folder.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    dialog.setDirectory(folder);
    dialog.selectFile(QDir(folder).filePath(baseName + QStringLiteral(".pdf")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    QString path = dialog.selectedFiles().constFirst();
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    return path;
}

bool TMainScreen::PrintToPdf(const QString &path, bool outlineOnly)
{
    TReportPrinter pdf;
    pdf.SetTitle(QStringLiteral("Tessaro"));
    pdf.SetOutputFile(path);
    pdf.SetPaperSize(m_preferences.Layout.Papersize);
    pdf.SetOrientation(poPortrait);
    if (m_mainReport)
        pdf.SetCopies(m_mainReport->Copies());
    ToPrinter = true;
    OutlineOnly = outlineOnly;
    m_panel->SetPreviewing(false);
    return DoPrint(&pdf);
}

bool TMainScreen::DoPrint(TBaseReport *printerReport)
{
    // The objects print from their bounds at 100 %.
    TZoomAtFullSize fullSize(m_panel);
    QCoreApplication::processEvents();

    TLabelPrinter status(this);
    status.Panel = m_panel;
    status.Copies = 1;
    if (ToPrinter && printerReport) {
        status.Copies = printerReport->Copies();
        printerReport->SetCopies(1);
    }
    status.PrintSelection = PrintSelection;
    PlaceDialog(&status, this);
    status.OutlineOnly = OutlineOnly;
    status.SetLayout(m_preferences.Layout, m_preferences.Nudges);
    status.BackgroundFile = m_design->BackgroundArtFile();
    status.ToPrinter = ToPrinter;
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
