// The main window's preview window and outline test page.
#include "printing/Prevue.h"
#include "report/RPrinter.h"
#include "shell/Main.h"
#include "shell/ShellUtil.h"

void TMainScreen::ShowPreview(const QByteArray &recording)
{
    TPreviewForm preview(this);
    preview.setWindowTitle(tr("Preview Business Cards"));
    preview.RestoreWindowPlacement = [](QWidget *w) { RestorePlacement(w); };
    preview.SaveWindowPlacement = [](QWidget *w) { SavePlacement(w); };
    preview.SetRecording(recording);
    QString error;
    if (!preview.Start(&error)) {
        ShowInformation(error);
        return;
    }
    preview.exec();
}

void TMainScreen::mnuPrintOutlineTestPageClick()
{
    // Without a printer the test page goes into a PDF file to print elsewhere.
    if (!m_mainReport) {
        const QString path = ChoosePdfFile(tr("Print Outline Test Page to PDF"),
                                           QStringLiteral("Outline Test Page"));
        if (!path.isEmpty())
            PrintOutlineTestPageToPdf(path);
        return;
    }
    ToPrinter = true;
    OutlineOnly = true;
    CrossesOnly = false;
    // The system print dialog: printer, copies (the sheets), or a PDF file.
    if (!m_mainReport->PrintDialog(this))
        return;
    // A two-sided design's test page shows where the backs land too.
    PrintSides = TPrintSides::Both;
    JobDuplex = DuplexFor(m_mainReport.get());
    DoPrint(m_mainReport.get());
}

bool TMainScreen::PrintOutlineTestPageToPdf(const QString &path)
{
    return PrintToPdf(path, TPdfSheet::Outlines);
}
