#pragma once

#include <QImage>
#include <QList>
#include <QMap>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Reading printed PDFs back with poppler's tools, and the CUPS queue the test
// script starts.

// Runs a program; its exit status (-1 when it could not run), with both
// output streams captured.
int RunProgram(const QString &program, const QStringList &args, QString *out = nullptr,
               QString *err = nullptr, int timeoutMs = 60000);
// The pages of a PDF rendered at `dpi` (pdftoppm), first page first.
QList<QImage> RenderPdf(const QString &pdf, int dpi = 300);
// Pages as pdfinfo counts them; -1 when the file is not a PDF.
int PdfPageCount(const QString &pdf);

// A word found by pdftotext -bbox: its box in inches from the page corner.
struct TPdfWord
{
    int page = 0;
    QString text;
    QRectF inches;
};
QList<TPdfWord> PdfWords(const QString &pdf);

// Pixel probes on a page rendered at `dpi`.
bool IsDark(const QImage &page, int x, int y);
// The pixel column nearest to `inchX` within +-tolerance pixels that is dark
// at every sampled height from inchY1 to inchY2 (the middle half of that
// range is sampled). -1 when there is none.
int FindVerticalLine(const QImage &page, int dpi, double inchX, double inchY1, double inchY2,
                     int tolerance);
int FindHorizontalLine(const QImage &page, int dpi, double inchY, double inchX1, double inchX2,
                       int tolerance);
// Dark pixels inside an inch rectangle.
int DarkPixelsIn(const QImage &page, int dpi, const QRectF &inches);

// Two renderings compared over a pixel rectangle (within both images).
struct TPixelComparison
{
    int differing = 0;
    int ink = 0; // non-white pixels of the first image
};
TPixelComparison ComparePixels(const QImage &a, const QImage &b, const QRect &area);

// The private CUPS queue of scripts/test: name and cups-pdf output folder,
// both empty when the tests run without it.
QString CupsQueue();
QString CupsPdfFolder();
// The sheets CUPS counted for the last job of that title (pages x copies,
// from its page log); -1 when unknown.
int CupsSheetsOfLastJob(const QString &title);
// Waits until the queue holds no job (jobs of earlier tests included).
bool WaitForIdleCupsQueue(int timeoutMs = 60000);
// The PDFs in the cups-pdf folder now, to find the one a job adds.
QStringList CupsPdfFiles();
// Waits for a PDF of a job titled "Tessaro" not in `before` to appear and
// settle; empty on timeout.
QString WaitForNewCupsPdf(const QStringList &before, int timeoutMs = 60000);

// A printer of its own on the private CUPS server of the test script, for
// the tests that need a driver the PDF queue lacks: 48 pt unprintable at the
// bottom (0.25 inch at the sides, 0.25 at the top), two-sided printing, and
// the paper sources "Auto", "Upper" and "Manual". It is paused: its jobs stay
// in the queue, where their attributes are read. Removed with its jobs when
// the object goes.
class TPausedCupsQueue
{
public:
    TPausedCupsQueue();
    ~TPausedCupsQueue();
    TPausedCupsQueue(const TPausedCupsQueue &) = delete;
    TPausedCupsQueue &operator=(const TPausedCupsQueue &) = delete;

    // False without the private server (or when the queue could not be made).
    bool Ok() const { return m_ok; }
    QString Name() const { return m_name; }
    // Jobs waiting in the queue.
    int JobCount() const;
    // The attributes of the queue's newest job as the server keeps them,
    // name to value; empty when there is none.
    QMap<QString, QString> LastJobAttributes() const;

private:
    QString m_name;
    bool m_ok = false;
};

// Polls until the active modal widget passes `ready`, then runs `action` on
// it once (gives up after timeoutMs).
void WhenModal(std::function<bool(QWidget *)> ready, std::function<void(QWidget *)> action,
               int timeoutMs = 20000);

// tessaro-batch run with the test's environment but no display.
struct TBatchRun
{
    int exitCode = -1; // -2: it crashed, -1: it did not finish
    QString out;
    QString err;
};
// childSetup runs in the child before the tool starts (limits, signals).
TBatchRun RunBatch(const QStringList &args, const std::function<void()> &childSetup = {},
                   int timeoutMs = 120000);

// The card the print tests print: one text label "Tessaro", at these
// bounds in pixels at 96 per inch.
namespace TestCard {
constexpr int LabelLeft = 48; // 0.5 inch
constexpr int LabelTop = 24;  // 0.25 inch
constexpr int LabelWidth = 240;
constexpr int LabelHeight = 48;
constexpr int LabelPoints = 20;
// Saves that design to `path` (with another caption when given).
void WriteDesign(const QString &path, const QString &caption = QStringLiteral("Tessaro"));
} // namespace TestCard
