#include "report/RPCanvas.h"

#include "graphics/Geometry.h"
#include "graphics/RegularFile.h"
#include "report/PdfJoin.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>

#ifdef __GLIBC__
#include <malloc.h> // malloc_trim
#endif

namespace {

// Passes writes on to the file and remembers any that did not go through in
// full. The PDF writer does not look at what its writes return, and a short
// write to a full disk does not always leave an error on the file.
class TCheckedWrites : public QIODevice
{
public:
    explicit TCheckedWrites(QIODevice *target)
        : m_target(target)
    {
    }
    bool Failed() const { return m_failed; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        if (m_failed)
            return -1;
        const qint64 written = m_target->write(data, length);
        if (written == length)
            return length;
        // A short write leaves no error; the rest, tried once more, says why
        // (a full disk, a file size limit).
        if (written >= 0)
            m_target->write(data + written, length - written);
        m_failed = true;
        setErrorString(m_target->errorString());
        return -1;
    }

private:
    QIODevice *m_target;
    bool m_failed = false;
};

// A temporary file whose writes reach the disk at once, so that a write the
// disk refuses fails there with the reason (a buffered one may fail later
// without it).
class TUnbufferedTemporaryFile : public QTemporaryFile
{
public:
    using QTemporaryFile::QTemporaryFile;
    bool OpenUnbuffered() { return open(QIODevice::ReadWrite | QIODevice::Unbuffered); }
};

} // namespace

TCanvasReport::TCanvasReport() = default;

TCanvasReport::~TCanvasReport()
{
    if (m_devicePainter.isActive())
        m_devicePainter.end();
    DiscardPdfFile();
}

void TCanvasReport::SetPrinterName(const QString &name)
{
    if (m_inJob || (name == m_printerName && m_outputFile.isEmpty()))
        return;
    m_printerName = name;
    m_outputFile.clear();
    m_printer.reset();
}

void TCanvasReport::SetOutputFile(const QString &path)
{
    if (m_inJob || path == m_outputFile)
        return;
    m_outputFile = path;
    m_printer.reset();
}

bool TCanvasReport::SetPaperSize(int code)
{
    if (!TBaseReport::SetPaperSize(code))
        return false;
    if (m_printer && !m_inJob)
        ApplyPaper();
    return true;
}

void TCanvasReport::SetOrientation(TOrientation o)
{
    TBaseReport::SetOrientation(o);
    if (m_printer && !m_inJob)
        ApplyPaper();
}

void TCanvasReport::SetPaperOverride(const QSizeF &inches)
{
    m_paperOverride = inches;
    if (m_printer && !m_inJob)
        ApplyPaper();
}

void TCanvasReport::SetPagePoints(const QSize &points)
{
    m_pagePoints = points;
    if (m_printer && !m_inJob)
        ApplyPaper();
}

void TCanvasReport::ApplyPaper()
{
    if (!m_pagePoints.isEmpty()) {
        m_printer->setPageOrientation(QPageLayout::Portrait);
        m_printer->setPageSize(QPageSize(m_pagePoints, QString(), QPageSize::ExactMatch));
        return;
    }
    if (m_paperOverride.isValid() && !m_paperOverride.isEmpty()) {
        m_printer->setPageSize(
            QPageSize(m_paperOverride, QPageSize::Inch, QString(), QPageSize::FuzzyMatch));
        m_printer->setPageOrientation(QPageLayout::Portrait);
        return;
    }
    // The printer's own paper of that size (chosen in the printer set-up:
    // a tray's or borderless variant) is kept; another size gives way to
    // the paper the sheet is laid out on.
    const QPageSize paper(PaperSize() == kPaperA4   ? QPageSize::A4
                          : PaperSize() == kPaperA3 ? QPageSize::A3
                                                    : QPageSize::Letter);
    const QSizeF chosen = m_printer->pageLayout().pageSize().size(QPageSize::Point);
    const QSizeF wanted = paper.size(QPageSize::Point);
    if (!(std::abs(chosen.width() - wanted.width()) <= 1.0 &&
          std::abs(chosen.height() - wanted.height()) <= 1.0))
        m_printer->setPageSize(paper);
    if (Orientation() == poPortrait)
        m_printer->setPageOrientation(QPageLayout::Portrait);
    else if (Orientation() == poLandScape)
        m_printer->setPageOrientation(QPageLayout::Landscape);
}

QPrinter *TCanvasReport::Printer()
{
    if (m_printer)
        return m_printer.get();
    if (!m_outputFile.isEmpty()) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(m_outputFile);
        m_printer->setResolution(kPdfResolution);
    } else {
        QPrinterInfo info = m_printerName.isEmpty() ? QPrinterInfo::defaultPrinter()
                                                    : QPrinterInfo::printerInfo(m_printerName);
        if (info.isNull() && m_printerName.isEmpty()) {
            const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
            if (!all.isEmpty())
                info = all.first();
        }
        if (info.isNull())
            return nullptr;
        m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    m_printer->setFullPage(true);
    m_printer->setDocName(Title());
    ApplyPaper();
    return m_printer.get();
}

bool TCanvasReport::EnsurePrinter()
{
    if (Printer())
        return true;
    if (!m_printerName.isEmpty())
        throw EReportError(
            QStringLiteral("The printer \"%1\" is not installed; nothing was printed.")
                .arg(m_printerName));
    // The caller tells the user; the engine shows nothing itself.
    throw EReportError(QString::fromLatin1(NoPrintersDefinedMessage));
}

void TCanvasReport::ReadMetrics()
{
    QPrinter *p = m_printer.get();
    const int xdpi = p->logicalDpiX();
    const int ydpi = p->logicalDpiY();
    const QRectF paper = p->paperRect(QPrinter::Inch);
    double left = 0, top = 0, bottom = 0;
    if (p->outputFormat() != QPrinter::PdfFormat) {
        // The unprintable strips are the printer's smallest margins, counted
        // in whole device pixels as the printable area starts on one. They
        // are read in points, the unit the printer states them in: in inches
        // the page layout rounds them to two decimals (48 pt to 0.67 inch).
        QPageLayout layout = p->pageLayout();
        layout.setUnits(QPageLayout::Point);
        const QMarginsF m = layout.minimumMargins() / 72.0;
        const int lpx = RoundEven(m.left() * xdpi);
        const int tpx = RoundEven(m.top() * ydpi);
        const int bpx = RoundEven(m.bottom() * ydpi);
        left = double(lpx) / xdpi;
        top = double(tpx) / ydpi;
        bottom = double(bpx) / ydpi;
    }
    m_offsetPx = QPoint(RoundEven(left * xdpi), RoundEven(top * ydpi));
    SetMetrics(left, top, bottom, paper.width(), paper.height(), xdpi, ydpi);
}

bool TCanvasReport::UpdateMetrics()
{
    if (m_inJob)
        return true;
    if (!Printer())
        return false;
    ReadMetrics();
    return true;
}

int TCanvasReport::MaxCopies()
{
    QPrinter *p = Printer();
    // A queue job goes out through lp, whose copy count the queue repeats.
    if (!p || p->outputFormat() == QPrinter::PdfFormat)
        return 1;
    return 999;
}

bool TCanvasReport::PrinterSetupDialog(QWidget *parent)
{
    return RunPrintDialog(parent, true);
}

bool TCanvasReport::PrintDialog(QWidget *parent)
{
    return RunPrintDialog(parent, false);
}

bool TCanvasReport::RunPrintDialog(QWidget *parent, bool setupOnly)
{
    QPrinter *p = Printer();
    if (!p || m_inJob)
        return false;
    p->setCopyCount(Copies());
    QPrintDialog dialog(p, parent);
    if (setupOnly) {
        // The system's print dialog chooses the printer and its properties;
        // here nothing is printed, so it is a set-up dialog closed with OK,
        // without page ranges or a file to print into.
        dialog.setObjectName(QStringLiteral("PrinterSetupDialog"));
        dialog.setWindowTitle(QStringLiteral("Printer Setup"));
        dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
        if (auto *buttons = dialog.findChild<QDialogButtonBox *>())
            if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
                ok->setText(QStringLiteral("OK"));
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    SetCopies(p->copyCount());
    if (p->outputFormat() == QPrinter::PdfFormat) {
        if (p->outputFileName() != m_outputFile)
            m_outputFile = p->outputFileName();
    } else {
        m_printerName = p->printerName();
        m_outputFile.clear();
    }
    return true;
}

namespace {

// Where the system's print engine keeps the printer's CUPS options (those
// of the printer's properties dialog), as pairs of name and value.
constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// The IPP name of a paper source; null for the printer's own choice.
const char *MediaSource(QPrinter::PaperSource source)
{
    switch (source) {
    case QPrinter::Upper:
        return "top";
    case QPrinter::Middle:
        return "middle";
    case QPrinter::Lower:
        return "bottom";
    case QPrinter::Manual:
    case QPrinter::EnvelopeManual:
        return "manual";
    case QPrinter::Envelope:
        return "envelope";
    case QPrinter::LargeCapacity:
        return "large-capacity";
    default:
        return nullptr;
    }
}

// One lp option; a value with blanks or quotes is quoted, as lp reads it.
QString LpOption(const QString &name, QString value)
{
    if (value.contains(QRegularExpression(QStringLiteral("[\\s'\"\\\\]")))) {
        value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        value.replace(QLatin1Char('"'), QStringLiteral("\\\""));
        value = QLatin1Char('"') + value + QLatin1Char('"');
    }
    return name + QLatin1Char('=') + value;
}

} // namespace

QStringList TCanvasReport::JobOptions()
{
    QStringList options;
    QPrinter *p = Printer();
    if (!p || p->outputFormat() == QPrinter::PdfFormat)
        return options;
    const QPageSize size = p->pageLayout().pageSize();
    if (!size.key().isEmpty() && size.id() != QPageSize::Custom)
        options << LpOption(QStringLiteral("media"), size.key());
    // The printer object starts with the queue's own two-sided default, so
    // its mode is what the user wants where the printer can print both sides.
    const QList<QPrinter::DuplexMode> modes = QPrinterInfo(*p).supportedDuplexModes();
    const bool twoSided = std::any_of(modes.cbegin(), modes.cend(), [](QPrinter::DuplexMode m) {
        return m != QPrinter::DuplexNone;
    });
    const bool landscape = p->pageLayout().orientation() == QPageLayout::Landscape;
    switch (p->duplex()) {
    case QPrinter::DuplexNone:
        if (twoSided)
            options << QStringLiteral("sides=one-sided");
        break;
    case QPrinter::DuplexAuto:
        options << (landscape ? QStringLiteral("sides=two-sided-short-edge")
                              : QStringLiteral("sides=two-sided-long-edge"));
        break;
    case QPrinter::DuplexLongSide:
        options << QStringLiteral("sides=two-sided-long-edge");
        break;
    case QPrinter::DuplexShortSide:
        options << QStringLiteral("sides=two-sided-short-edge");
        break;
    }
    if (const char *source = MediaSource(p->paperSource()))
        options << LpOption(QStringLiteral("media-source"), QString::fromLatin1(source));
    // Tray, media type and the rest of the printer's properties come last,
    // so that they count over the general options above, as they do when
    // the system's print engine sends a job itself.
    const QStringList cups = p->printEngine()->property(kCupsOptions).toStringList();
    for (qsizetype i = 0; i + 1 < cups.size(); i += 2)
        if (!cups.at(i).isEmpty())
            options << LpOption(cups.at(i), cups.at(i + 1));
    return options;
}

bool TCanvasReport::BeginJob()
{
    if (!EnsurePrinter())
        return false;
    m_printer->setFullPage(true);
    m_printer->setDocName(Title());
    ApplyPaper();
    ReadMetrics();
    m_deviceOpen = false;
    m_pageOpen = false;
    return true;
}

QPainter *TCanvasReport::BeginPage()
{
    if (!m_deviceOpen) {
        const bool toQueue = m_printer->outputFormat() != QPrinter::PdfFormat;
        if (toQueue) {
            // A queue job is spooled to a private file first and handed to
            // the queue only when it is complete, so that an aborted job
            // prints nothing (the system's print engine cannot abort).
            QTemporaryFile spool(QDir::temp().filePath(QStringLiteral("tessaro-XXXXXX.job")));
            spool.setAutoRemove(false);
            if (!spool.open())
                throw EReportError(
                    QStringLiteral("The print job could not be prepared: %1; nothing was printed.")
                        .arg(spool.errorString()));
            m_spoolFile = spool.fileName();
            spool.close();
            m_printer->setOutputFileName(m_spoolFile);
        }
        m_printer->setCopyCount(1);
        if (!toQueue)
            OpenPdfFile();
        QPaintDevice *device = toQueue ? static_cast<QPaintDevice *>(m_printer.get())
                                       : static_cast<QPaintDevice *>(m_pdfWriter.get());
        if (!m_devicePainter.begin(device)) {
            DiscardPdfFile();
            DiscardSpool();
            if (!toQueue)
                throw EReportError(
                    QStringLiteral("The file \"%1\" could not be written; nothing was printed.")
                        .arg(QDir::toNativeSeparators(m_outputFile)));
            throw EReportError(
                QStringLiteral("The printer \"%1\" refused the print job; nothing was printed.")
                    .arg(m_printer->printerName()));
        }
        m_deviceOpen = true;
        m_pageParts = {1};
    } else if (m_pdfWriter ? !m_pdfWriter->newPage() : !m_printer->newPage()) {
        throw EReportError(QStringLiteral("The printer could not start a new page."));
    } else if (StartingPagePart()) {
        ++m_pageParts.last();
    } else {
        m_pageParts.append(1);
    }
    m_pageOpen = true;
    m_devicePainter.resetTransform();
    m_devicePainter.setClipping(false);
    m_devicePainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Device pixel (0, 0) of the report is the corner of the printable area.
    m_devicePainter.translate(m_offsetPx);
    return &m_devicePainter;
}

void TCanvasReport::EndPage()
{
    m_pageOpen = false;
}

void TCanvasReport::RepeatDevicePages(int count, int times)
{
    // Each copy is the page `count` places before it in the joined document.
    for (int i = 0; i < count * times; ++i)
        m_pageParts.append(-count);
}

void TCanvasReport::OpenPdfFile()
{
    DiscardPdfFile();
    const QString shown = QDir::toNativeSeparators(m_outputFile);
    // QSaveFile would follow a link to a device or FIFO and replace it.
    auto file = std::make_unique<QSaveFile>(m_outputFile);
    // Unbuffered: each write reaches the file at once, so its count is the truth.
    if (IsSpecialFile(m_outputFile) || !file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw EReportError(
            QStringLiteral("The file \"%1\" could not be written; nothing was printed.").arg(shown));
    // The writer's document goes beside the file, on the same disk, and is
    // copied into it with its pages' parts joined.
    auto document = std::make_unique<TUnbufferedTemporaryFile>(
        QFileInfo(m_outputFile).dir().filePath(QStringLiteral(".tessaro-XXXXXX.part")));
    if (!document->OpenUnbuffered())
        throw EReportError(
            QStringLiteral("The file \"%1\" could not be written; nothing was printed.").arg(shown));
    // Nameless from the start, it leaves nothing behind in the folder, even
    // when the program does not get to remove it.
    QFile::remove(document->fileName());
    document->setAutoRemove(false);
    auto device = std::make_unique<TCheckedWrites>(document.get());
    device->open(QIODevice::WriteOnly);
    auto writer = std::make_unique<QPdfWriter>(device.get());
    writer->setResolution(kPdfResolution);
    writer->setTitle(Title());
    writer->setCreator(QStringLiteral("Tessaro"));
    // The whole sheet, as the printer in full-page mode has it: device pixel
    // (0, 0) is the paper's corner.
    const QPageLayout printerLayout = m_printer->pageLayout();
    QPageLayout layout(printerLayout.pageSize(), printerLayout.orientation(), QMarginsF());
    layout.setMode(QPageLayout::FullPageMode);
    writer->setPageLayout(layout);
    m_pdfFile = std::move(file);
    m_pdfDocument = std::move(document);
    m_pdfDevice = std::move(device);
    m_pdfWriter = std::move(writer);
}

void TCanvasReport::DiscardPdfFile()
{
    m_pdfWriter.reset();
    m_pdfDevice.reset();
    m_pdfDocument.reset();
    if (m_pdfFile)
        m_pdfFile->cancelWriting(); // the temporary file goes; a file of that name stays
    m_pdfFile.reset();
}

bool TCanvasReport::PagesInParts() const
{
    return std::any_of(m_pageParts.cbegin(), m_pageParts.cend(), [](int n) { return n != 1; });
}

bool TCanvasReport::JoinParts(QIODevice &document, QIODevice &out, QString *why) const
{
    TCheckedWrites checked(&out);
    checked.open(QIODevice::WriteOnly);
    if (!document.seek(0)) {
        *why = document.errorString();
        return false;
    }
    // Pages that repeat one before them (copies of a sheet) share its drawing.
    if (PagesInParts() || m_pageBoxes || m_pageParts.size() > 1)
        return JoinPdfPages(document, checked, m_pageParts, why,
                            m_pageBoxes ? &*m_pageBoxes : nullptr);
    // Nothing to join: the document goes as it is.
    constexpr qint64 Chunk = qint64(1) << 20;
    while (!document.atEnd()) {
        const QByteArray data = document.read(Chunk);
        if (data.isEmpty()) {
            *why = document.errorString();
            return false;
        }
        if (checked.write(data) != data.size()) {
            *why = checked.errorString();
            return false;
        }
    }
    return true;
}

void TCanvasReport::CommitPdfFile(bool drawn)
{
    if (!m_pdfFile)
        throw EReportError(QStringLiteral("The print job could not be finished."));
    const QString shown = QDir::toNativeSeparators(m_outputFile);
    m_pdfWriter.reset();
    // What the writer's document is missing, if anything.
    const bool documentWritten = m_pdfDevice &&
                                 !static_cast<TCheckedWrites *>(m_pdfDevice.get())->Failed() &&
                                 m_pdfDocument->error() == QFileDevice::NoError;
    QString why = m_pdfDocument->error() != QFileDevice::NoError
                      ? m_pdfDocument->errorString()
                      : QStringLiteral("the disk did not take all of it");
    m_pdfDevice.reset();
    bool complete = drawn && documentWritten;
    if (complete) {
        complete = JoinParts(*m_pdfDocument, *m_pdfFile, &why);
        if (complete && m_pdfFile->error() != QFileDevice::NoError) {
            complete = false;
            why = m_pdfFile->errorString();
        }
    }
    m_pdfDocument.reset();
    if (!complete) {
        DiscardPdfFile();
        throw EReportError(
            QStringLiteral("The file \"%1\" could not be written (%2); nothing was printed.")
                .arg(shown, why));
    }
    const bool committed = m_pdfFile->commit();
    why = m_pdfFile->errorString();
    m_pdfFile.reset();
    if (!committed)
        throw EReportError(
            QStringLiteral("The file \"%1\" could not be written (%2); nothing was printed.")
                .arg(shown, why));
}

void TCanvasReport::DiscardSpool()
{
    if (m_spoolFile.isEmpty())
        return;
    QFile::remove(m_spoolFile);
    m_spoolFile.clear();
    m_printer->setOutputFileName(QString()); // back to the queue itself
}

void TCanvasReport::AbortDevice()
{
    if (!m_deviceOpen)
        return;
    m_devicePainter.end();
    m_deviceOpen = false;
    // An abandoned file is not a finished document: it never takes the name.
    DiscardPdfFile();
    DiscardSpool();
}

void TCanvasReport::EndJob(bool abandon)
{
    if (!m_deviceOpen)
        return;
    if (abandon) {
        AbortDevice();
        return;
    }
    m_deviceOpen = false;
#ifdef __GLIBC__
    // The page's drawing freed what it prepared; the writer now copies the
    // whole page into buffers of its own to compress it. What was freed goes
    // back to the system first, so the two do not add up.
    malloc_trim(0);
#endif
    const bool ok = m_devicePainter.end();
    if (!m_spoolFile.isEmpty()) {
        const QString spool = m_spoolFile;
        m_spoolFile.clear();
        m_printer->setOutputFileName(QString());
        if (!ok || QFileInfo(spool).size() <= 0) {
            QFile::remove(spool);
            throw EReportError(QStringLiteral("The print job could not be finished."));
        }
        SubmitToQueue(JoinedSpool(spool));
        return;
    }
    try {
        CommitPdfFile(ok);
    } catch (...) {
        DiscardPdfFile();
        throw;
    }
}

QString TCanvasReport::JoinedSpool(const QString &spool) const
{
    if (!PagesInParts())
        return spool;
    // The drawn spool goes in any case; the joined one stays only for lp.
    struct TRemoveSpool
    {
        const QString &path;
        ~TRemoveSpool() { QFile::remove(path); }
    } removeSpool{spool};
    QFile document(spool);
    QTemporaryFile joined(QDir::temp().filePath(QStringLiteral("tessaro-XXXXXX.job")));
    QString why;
    bool ok = false;
    if (!document.open(QIODevice::ReadOnly))
        why = document.errorString();
    else if (!joined.open())
        why = joined.errorString();
    else if (!JoinParts(document, joined, &why))
        ok = false;
    else if (!(ok = joined.flush()))
        why = joined.errorString();
    if (!ok)
        throw EReportError(
            QStringLiteral("The print job could not be finished (%1); nothing was printed.").arg(why));
    joined.setAutoRemove(false);
    joined.close();
    return joined.fileName();
}

void TCanvasReport::SubmitToQueue(const QString &spool)
{
    const QString queue = m_printer->printerName();
    QStringList args{QStringLiteral("-d"), queue,
                     QStringLiteral("-n"), QString::number(std::max(1, Copies())),
                     QStringLiteral("-t"), Title().isEmpty() ? QStringLiteral("Tessaro") : Title()};
    for (const QString &option : JobOptions())
        args << QStringLiteral("-o") << option;
    args << spool;
    QProcess lp;
    lp.start(QStringLiteral("lp"), args);
    const bool started = lp.waitForStarted(10000);
    const bool finished = started && lp.waitForFinished(60000);
    const QString why = QString::fromLocal8Bit(lp.readAllStandardError()).trimmed();
    QFile::remove(spool);
    if (!started)
        throw EReportError(
            QStringLiteral("The print job could not be sent to \"%1\": the lp command is missing.")
                .arg(queue));
    if (!finished || lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0)
        throw EReportError(
            QStringLiteral("The printer \"%1\" did not accept the print job%2")
                .arg(queue, why.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + why));
}
