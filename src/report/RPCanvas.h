#pragma once

#include "report/PdfJoin.h"
#include "report/RPBase.h"

#include <QPainter>
#include <memory>
#include <optional>

class QIODevice;
class QPdfWriter;
class QPrinter;
class QSaveFile;
class QTemporaryFile;
class QWidget;

// A report that draws on a printer device: a named print queue (the default
// printer when no name is given) or, when an output file is set, a PDF file.
// The printer is opened in full-page mode; the painter of a page is moved so
// that device pixel (0, 0) is the corner of the printable area. A queue job is
// drawn by the system's print engine into a private spool file and handed to
// the queue with `lp` (copies, title, JobOptions) only when it is complete: an
// aborted job prints nothing, and a refused one is reported. A PDF file is
// written to a temporary file beside it, every write checked, and moved into
// place only when it is complete: a full disk is reported (EReportError) and
// leaves an existing file of that name as it was.
// Both are PDF documents, whose writer holds a page in memory until it ends:
// a page drawn in parts (NewPagePart) goes out one part at a time, and the
// parts are joined into their page when the document is complete.
class TCanvasReport : public TBaseReport
{
public:
    // Resolution of PDF output, pixels per inch on both axes.
    static constexpr int kPdfResolution = 600;

    TCanvasReport();
    ~TCanvasReport() override;

    // Empty: the system's default printer.
    void SetPrinterName(const QString &name);
    QString PrinterName() const { return m_printerName; }
    // Non-empty: print into this PDF file instead of a queue.
    void SetOutputFile(const QString &path);
    QString OutputFile() const { return m_outputFile; }

    bool SetPaperSize(int code) override;
    void SetOrientation(TOrientation o) override;
    // A page of exactly this size in whole points instead of the paper code:
    // a card's page for a print shop (an empty size: the paper code again).
    void SetPagePoints(const QSize &points);
    // Page boxes every page of a PDF file gets (in points from the lower
    // left of the page), its MediaBox among them.
    void SetPageBoxes(const TPdfPageBoxes &boxes) { m_pageBoxes = boxes; }

    // The printer object, created on first use for the current choice of
    // queue or file (null when no printer is installed and no file is set).
    QPrinter *Printer();
    // Re-reads resolution, offsets and paper size from the printer without
    // starting a job; false when there is no printer.
    bool UpdateMetrics();
    // Largest copy count the device makes by itself: a queue repeats the
    // job (999), a PDF file cannot (1).
    int MaxCopies();
    bool PrinterCopiesItself() { return MaxCopies() > 1; }
    // The printer set-up dialog for this report's printer: the printer, its
    // paper and properties (two-sided printing, tray, media ...), closed with
    // "OK"; what is chosen stays with the printer for the following jobs.
    // True on OK.
    bool PrinterSetupDialog(QWidget *parent = nullptr);
    // The system's print dialog: printer, copies, or a PDF file; true on "Print".
    bool PrintDialog(QWidget *parent = nullptr);
    // The options ("name=value") a queue job is handed to the queue with,
    // besides the queue, copies and title: the paper, two-sided printing, the
    // paper source and what was chosen in the printer's properties.
    QStringList JobOptions();

protected:
    bool BeginJob() override;
    QPainter *BeginPage() override;
    void EndPage() override;
    void EndJob(bool abandon) override;
    void AbortDevice() override;
    bool JoinsPageParts() const override { return m_deviceOpen; }
    void RepeatDevicePages(int count, int times) override;

    // True when a printer can be used; throws EReportError with
    // NoPrintersDefinedMessage when there is none at all.
    bool EnsurePrinter();
    void ReadMetrics();
    QPainter &DevicePainter() { return m_devicePainter; }
    // Pixels of the printable area's corner from the paper corner.
    QPoint OffsetPixels() const { return m_offsetPx; }
    // Paper of this size (inches, portrait) instead of the paper code.
    void SetPaperOverride(const QSizeF &inches);

private:
    bool RunPrintDialog(QWidget *parent, bool setupOnly);
    void ApplyPaper();
    void OpenPdfFile();
    void DiscardPdfFile();
    void CommitPdfFile(bool drawn);
    void DiscardSpool();
    void SubmitToQueue(const QString &spool);
    // True when some page of the job was drawn in more than one part.
    bool PagesInParts() const;
    // The finished document with each page's parts joined, written to `out`;
    // false with the reason when that failed.
    bool JoinParts(QIODevice &document, QIODevice &out, QString *why) const;
    // The spool file to send: `spool` itself, or a new one with its pages'
    // parts joined (`spool` is then removed). Throws when that failed.
    QString JoinedSpool(const QString &spool) const;

    QString m_printerName;
    QString m_outputFile;
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_devicePainter;
    QPoint m_offsetPx;
    QSizeF m_paperOverride;
    QSize m_pagePoints;
    std::optional<TPdfPageBoxes> m_pageBoxes;
    QString m_spoolFile;
    // A PDF job: the file being written, the writer's document beside it,
    // the device that checks each write into that, and the writer.
    std::unique_ptr<QSaveFile> m_pdfFile;
    std::unique_ptr<QTemporaryFile> m_pdfDocument;
    std::unique_ptr<QIODevice> m_pdfDevice;
    std::unique_ptr<QPdfWriter> m_pdfWriter;
    // How many device pages make each page of the document.
    QList<int> m_pageParts;
    bool m_pageOpen = false;
    bool m_deviceOpen = false;
};
