// The main window's print commands: print, preview, printer set-up, fine
// tuning and printing into a PDF file.
#include "printing/MergePrint.h"
#include "printing/Printft.h"
#include "printing/Printlbl.h"
#include "printing/Selectsl.h"
#include "printing/TurnSheets.h"
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

namespace {

// The default printer keeps its settings in section "Printer".
bool IsDefaultPrinter(const QString &printer)
{
    return printer.isEmpty() ||
           printer.compare(QPrinterInfo::defaultPrinterName(), Qt::CaseInsensitive) == 0;
}

bool HasDuplexUnit(QPrinter *printer)
{
    if (!printer || printer->outputFormat() != QPrinter::NativeFormat)
        return false;
    const QList<QPrinter::DuplexMode> modes = QPrinterInfo(*printer).supportedDuplexModes();
    return modes.contains(QPrinter::DuplexLongSide) || modes.contains(QPrinter::DuplexShortSide);
}

} // namespace

std::function<bool(const TDuplexSettings &, int, QWidget *)> TMainScreen::AskToTurnSheets =
    [](const TDuplexSettings &duplex, int sheets, QWidget *parent) {
        TTurnSheetsDialog dialog(duplex, sheets, parent);
        PlaceDialog(&dialog, parent);
        return dialog.exec() == QDialog::Accepted;
    };

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

TDuplexSettings TMainScreen::DuplexFor(TBaseReport *report) const
{
    return m_preferences.DuplexFor(PrinterNameOf(report));
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
    CrossesOnly = false;
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
    TCanvasReport *target = report ? report : m_mainReport.get();
    TSelectSpecificLabels dialog(m_preferences.Layout.Papersize, target, this);
    dialog.SetLayout(m_preferences.Layout);
    dialog.SetSelection(PrintSelection);
    if (PrintedBackSide())
        dialog.SetTwoSided(DuplexFor(target));
    if (const int records = TickedRecordCount(); records > 0)
        dialog.SetMergeRecords(records);
    PlaceDialog(&dialog, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // The printer set-up in the dialog may have changed the printer.
    JobDuplex = DuplexFor(target);
    PrintSides = TPrintSides::Both;
    if (dialog.TwoSided()) {
        PrintSides = dialog.Sides();
        JobDuplex = dialog.Duplex();
        // How a printer turns sheets is kept for it (not what one PDF file had).
        const QString printer = PrinterNameOf(target);
        if (!printer.isEmpty() && !(JobDuplex == DuplexFor(target))) {
            m_preferences.SetDuplexFor(printer, IsDefaultPrinter(printer), JobDuplex);
            SavePreferences();
        }
    }
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
    const bool isDefault = IsDefaultPrinter(printer);
    TPrintFineTune dialog(m_preferences.NudgesFor(printer), printer, this);
    dialog.SetBackNudges(m_preferences.DuplexFor(printer).BackNudges);
    dialog.OnTwoSidedTestPage = [this](const TPrinterNudges &front, const TPrinterNudges &back) {
        PrintTwoSidedTestPage(front, back);
    };
    PlaceDialog(&dialog, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_preferences.SetNudgesFor(printer, isDefault, dialog.Nudges());
    TDuplexSettings duplex = m_preferences.DuplexFor(printer);
    duplex.BackNudges = dialog.BackNudges();
    m_preferences.SetDuplexFor(printer, isDefault, duplex);
    SavePreferences();
}

bool TMainScreen::PrintTwoSidedTestPage(const TPrinterNudges &front, const TPrinterNudges &back)
{
    std::unique_ptr<TReportPrinter> pdf;
    TCanvasReport *report = m_mainReport.get();
    // Without a printer the page goes into a PDF file to print elsewhere.
    if (!report) {
        const QString path = ChoosePdfFile(tr("Print Two-Sided Test Page to PDF"),
                                           QStringLiteral("Two-Sided Test Page"));
        if (path.isEmpty())
            return false;
        pdf = std::make_unique<TReportPrinter>();
        pdf->SetTitle(QStringLiteral("Tessaro"));
        pdf->SetOutputFile(path);
        report = pdf.get();
    }
    report->SetPaperSize(m_preferences.Layout.Papersize);
    report->SetOrientation(poPortrait);
    report->SetCopies(1);
    // The working values print without being kept.
    const TPreferences kept = m_preferences;
    const QString printer = PrinterNameOf(report);
    m_preferences.SetNudgesFor(printer, IsDefaultPrinter(printer), front);
    TDuplexSettings duplex = m_preferences.DuplexFor(printer);
    duplex.BackNudges = back;
    m_preferences.SetDuplexFor(printer, IsDefaultPrinter(printer), duplex);
    ToPrinter = true;
    OutlineOnly = false;
    CrossesOnly = true;
    PrintSides = TPrintSides::Both;
    JobDuplex = duplex;
    const bool produced = DoPrint(report);
    CrossesOnly = false;
    m_preferences = kept;
    return produced;
}

void TMainScreen::mnuPreviewClick()
{
    ToPrinter = false;
    if (m_mainReport)
        m_mainReport->SetPaperSize(m_preferences.Layout.Papersize);
    m_panel->SetPreviewing(true);
    OutlineOnly = false;
    CrossesOnly = false;
    PrintSides = TPrintSides::Both;
    JobDuplex = DuplexFor(m_mainReport.get());
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
    CrossesOnly = false;
    // A PDF file is printed with the default printer's settings.
    PrintSides = TPrintSides::Both;
    JobDuplex = DuplexFor(&pdf);
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

    int sheets = 1;
    if (ToPrinter && printerReport) {
        sheets = printerReport->Copies();
        printerReport->SetCopies(1);
    }
    // Test pages show the positions, not the records.
    std::unique_ptr<TMergeCards> merged;
    if (!OutlineOnly && !CrossesOnly) {
        bool stop = false;
        merged = MergeCardsForJob(&stop);
        if (stop)
            return false;
    }
    const bool bothSides = (CrossesOnly || PrintedBackSide()) && PrintSides == TPrintSides::Both;
    auto *device = dynamic_cast<TCanvasReport *>(printerReport);
    QPrinter *queue = ToPrinter && device && !PrinterNameOf(printerReport).isEmpty()
                          ? device->Printer()
                          : nullptr;
    if (!bothSides || !queue)
        return RunSheetJob(printerReport, PrintSides, sheets, merged.get());

    if (JobDuplex.Manual || !HasDuplexUnit(queue)) {
        // Fronts, then the same sheets turned over by hand. Every sheet of
        // the job is the same, so the order the stack comes back in does not
        // matter; only which side faces where and which edge leads, which the
        // picture shows.
        if (!RunSheetJob(printerReport, TPrintSides::FrontOnly, sheets, merged.get()))
            return false;
        if (!AskToTurnSheets || !AskToTurnSheets(JobDuplex, sheets, this))
            return true;
        return RunSheetJob(printerReport, TPrintSides::BackOnly, sheets, merged.get());
    }
    // One job: the duplex unit turns each sheet over the edge chosen. The
    // printer's own two-sided setting is back as it was afterwards.
    const QPrinter::DuplexMode before = queue->duplex();
    queue->setDuplex(JobDuplex.ShortEdge ? QPrinter::DuplexShortSide : QPrinter::DuplexLongSide);
    const bool produced = RunSheetJob(printerReport, PrintSides, sheets, merged.get());
    queue->setDuplex(before);
    return produced;
}

bool TMainScreen::RunSheetJob(TBaseReport *printerReport, TPrintSides sides, int sheets,
                              TMergeCards *merged)
{
    TLabelPrinter status(this);
    // Each side prints from its own objects; the one shown is on the surface.
    status.Panel = m_panel;
    status.ObjectsFromPanel = false;
    TSheetRenderer &renderer = status.Renderer();
    renderer.Objects = CardObjects(FrontModel().Objects());
    renderer.BackgroundFile = FrontModel().BackgroundArtFile();
    if (const TCardModel *back = PrintedBackSide(); back || CrossesOnly) {
        renderer.HasBack = true;
        if (back) {
            renderer.BackObjects = CardObjects(back->Objects());
            renderer.BackBackgroundFile = back->BackgroundArtFile();
        }
        renderer.Sides = sides;
        renderer.SetBackLayout(m_preferences.Layout, JobDuplex);
    }
    if (merged) {
        renderer.Objects = merged->FrontObjects();
        renderer.BackObjects = merged->BackObjects();
        renderer.MergeCards = merged->Count();
        renderer.OnMergeCard = [merged](int card) { merged->Show(card); };
    }
    renderer.Copies = ToPrinter ? sheets : 1;
    renderer.PrintSelection = PrintSelection;
    PlaceDialog(&status, this);
    renderer.OutlineOnly = OutlineOnly;
    renderer.CrossesOnly = CrossesOnly;
    // The nudges of the printer the sheet goes to (the main report's for the preview).
    renderer.SetLayout(m_preferences.Layout,
                       NudgesFor(ToPrinter ? printerReport : m_mainReport.get()));
    renderer.ToPrinter = ToPrinter;
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
