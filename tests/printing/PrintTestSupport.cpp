#include "PrintTestSupport.h"

#include "objects/gbclabel32.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPointer>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QXmlStreamReader>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

int RunProgram(const QString &program, const QStringList &args, QString *out, QString *err,
               int timeoutMs)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted(10000))
        return -1;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (out)
        *out = QString::fromUtf8(process.readAllStandardOutput());
    if (err)
        *err = QString::fromUtf8(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QList<QImage> RenderPdf(const QString &pdf, int dpi)
{
    QList<QImage> pages;
    QTemporaryDir dir;
    if (RunProgram(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), pdf,
                    dir.path() + QStringLiteral("/page")}) != 0)
        return pages;
    QStringList files = QDir(dir.path()).entryList({QStringLiteral("page-*.png")}, QDir::Files);
    // page-1.png or page-01.png: the number decides the order.
    std::sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        static const QRegularExpression digits(QStringLiteral("(\\d+)\\.png$"));
        return digits.match(a).captured(1).toInt() < digits.match(b).captured(1).toInt();
    });
    for (const QString &f : files)
        pages << QImage(dir.filePath(f)).convertToFormat(QImage::Format_RGB32);
    return pages;
}

int PdfPageCount(const QString &pdf)
{
    QString out;
    if (RunProgram(QStringLiteral("pdfinfo"), {pdf}, &out) != 0)
        return -1;
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                          QRegularExpression::MultilineOption);
    const auto m = pages.match(out);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QList<TPdfWord> PdfWords(const QString &pdf)
{
    QList<TPdfWord> words;
    QString out;
    if (RunProgram(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")},
                   &out) != 0)
        return words;
    QXmlStreamReader xml(out);
    int page = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("page")) {
            ++page;
        } else if (xml.name() == QLatin1String("word")) {
            const auto a = xml.attributes();
            // pdftotext gives points.
            const double x1 = a.value(QLatin1String("xMin")).toDouble() / 72.0;
            const double y1 = a.value(QLatin1String("yMin")).toDouble() / 72.0;
            const double x2 = a.value(QLatin1String("xMax")).toDouble() / 72.0;
            const double y2 = a.value(QLatin1String("yMax")).toDouble() / 72.0;
            TPdfWord w;
            w.page = page;
            w.text = xml.readElementText();
            w.inches = QRectF(QPointF(x1, y1), QPointF(x2, y2));
            words << w;
        }
    }
    return words;
}

bool IsDark(const QImage &page, int x, int y)
{
    if (!page.valid(x, y))
        return false;
    return qGray(page.pixel(x, y)) < 160;
}

namespace {

// Samples along the middle half of a line.
QList<int> Samples(int from, int to)
{
    QList<int> s;
    const int a = from + (to - from) / 4;
    const int b = to - (to - from) / 4;
    for (int i = 0; i <= 8; ++i)
        s << a + (b - a) * i / 8;
    return s;
}

} // namespace

int FindVerticalLine(const QImage &page, int dpi, double inchX, double inchY1, double inchY2,
                     int tolerance)
{
    const int x0 = int(std::lround(inchX * dpi));
    const QList<int> ys = Samples(int(inchY1 * dpi), int(inchY2 * dpi));
    for (int d = 0; d <= tolerance; ++d) {
        for (int x : {x0 - d, x0 + d}) {
            bool all = true;
            for (int y : ys)
                all = all && IsDark(page, x, y);
            if (all)
                return x;
        }
    }
    return -1;
}

int FindHorizontalLine(const QImage &page, int dpi, double inchY, double inchX1, double inchX2,
                       int tolerance)
{
    const int y0 = int(std::lround(inchY * dpi));
    const QList<int> xs = Samples(int(inchX1 * dpi), int(inchX2 * dpi));
    for (int d = 0; d <= tolerance; ++d) {
        for (int y : {y0 - d, y0 + d}) {
            bool all = true;
            for (int x : xs)
                all = all && IsDark(page, x, y);
            if (all)
                return y;
        }
    }
    return -1;
}

int DarkPixelsIn(const QImage &page, int dpi, const QRectF &inches)
{
    int count = 0;
    const int x1 = int(std::lround(inches.left() * dpi));
    const int x2 = int(std::lround(inches.right() * dpi));
    const int y1 = int(std::lround(inches.top() * dpi));
    const int y2 = int(std::lround(inches.bottom() * dpi));
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x)
            count += IsDark(page, x, y) ? 1 : 0;
    return count;
}

QString CupsQueue()
{
    return qEnvironmentVariable("TESSARO_CUPS_QUEUE");
}

QString CupsPdfFolder()
{
    return qEnvironmentVariable("TESSARO_CUPS_PDF_DIR");
}

QStringList CupsPdfFiles()
{
    const QString folder = CupsPdfFolder();
    if (folder.isEmpty())
        return {};
    QStringList files;
    for (const QString &f : QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files))
        files << QDir(folder).filePath(f);
    return files;
}

int CupsSheetsOfLastJob(const QString &title)
{
    QFile log(qEnvironmentVariable("TESSARO_CUPS_PAGE_LOG"));
    if (!log.open(QIODevice::ReadOnly))
        return -1;
    // "queue user job [date] total N - host title - -"
    static const QRegularExpression line(QStringLiteral("\\] total (\\d+) \\S+ \\S+ (\\S+) "));
    int sheets = -1;
    for (const QString &text : QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'))) {
        const auto m = line.match(text);
        if (m.hasMatch() && m.captured(2) == title)
            sheets = m.captured(1).toInt();
    }
    return sheets;
}

bool WaitForIdleCupsQueue(int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 100) {
        QString out;
        if (RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-o"), CupsQueue()}, &out) == 0 &&
            out.trimmed().isEmpty())
            return true;
        QThread::msleep(100);
    }
    return false;
}

QString WaitForNewCupsPdf(const QStringList &before, int timeoutMs)
{
    // The backend has written its file when the queue has no job left.
    WaitForIdleCupsQueue(timeoutMs);
    QString found;
    qint64 lastSize = -1;
    for (int waited = 0; waited < timeoutMs; waited += 100) {
        if (found.isEmpty()) {
            // cups-pdf names its files "job_<id>-<title>...": only this
            // program's jobs count.
            for (const QString &f : CupsPdfFiles())
                if (!before.contains(f) &&
                    QFileInfo(f).fileName().contains(QLatin1String("-Tessaro")))
                    found = f;
        }
        if (!found.isEmpty()) {
            // cups-pdf writes the file in place: wait until it stops growing
            // and reads as a whole document.
            const qint64 size = QFileInfo(found).size();
            if (size > 0 && size == lastSize && PdfPageCount(found) > 0)
                return found;
            lastSize = size;
        }
        QThread::msleep(100);
    }
    return QString();
}

namespace {

// Written from the PPD format: page sizes with their printable areas
// ("left bottom right top" in points), two-sided printing and trays.
const char kPausedQueuePpd[] = R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "TESSTEST.PPD"
*Manufacturer: "Tessaro"
*Product: "(Tessaro Test Printer)"
*ModelName: "Tessaro Test Printer"
*ShortNickName: "Tessaro Test Printer"
*NickName: "Tessaro Test Printer"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: Letter
*PageSize Letter/US Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*PageSize A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: Letter
*PageRegion Letter/US Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*PageRegion A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: Letter
*ImageableArea Letter/US Letter: "18 48 594 774"
*ImageableArea A4/A4: "18 48 577 824"
*DefaultPaperDimension: Letter
*PaperDimension Letter/US Letter: "612 792"
*PaperDimension A4/A4: "595 842"
*OpenUI *Duplex/Two-Sided: PickOne
*OrderDependency: 20 AnySetup *Duplex
*DefaultDuplex: None
*Duplex None/Off: "<</Duplex false>>setpagedevice"
*Duplex DuplexNoTumble/Long Edge: "<</Duplex true/Tumble false>>setpagedevice"
*Duplex DuplexTumble/Short Edge: "<</Duplex true/Tumble true>>setpagedevice"
*CloseUI: *Duplex
*OpenUI *InputSlot/Paper Source: PickOne
*OrderDependency: 20 AnySetup *InputSlot
*DefaultInputSlot: Auto
*InputSlot Auto/Automatic: "<</ManualFeed false>>setpagedevice"
*InputSlot Upper/Upper Tray: "<</ManualFeed false/MediaPosition 0>>setpagedevice"
*InputSlot Manual/Manual Feed: "<</ManualFeed true>>setpagedevice"
*CloseUI: *InputSlot
*DefaultFont: Courier
*Font Courier: Standard "(002.004S)" Standard ROM
)PPD";

// The server's address as an ipp URI host: a socket path is written with
// its slashes escaped.
QString CupsServerHost()
{
    const QString server = qEnvironmentVariable("CUPS_SERVER");
    if (server.startsWith(QLatin1Char('/')))
        return QString(server).replace(QLatin1Char('/'), QStringLiteral("%2F"));
    return server;
}

QStringList JobIds(const QString &queue)
{
    QString out;
    RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue}, &out);
    QStringList ids;
    static const QRegularExpression job(QStringLiteral("^\\S+-(\\d+)\\s"));
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        const auto m = job.match(line);
        if (m.hasMatch())
            ids << m.captured(1);
    }
    return ids;
}

} // namespace

TPausedCupsQueue::TPausedCupsQueue()
    : m_name(QStringLiteral("TessaroPaused%1").arg(QCoreApplication::applicationPid()))
{
    // Only on the test script's own server, never on the machine's.
    if (CupsQueue().isEmpty() || qEnvironmentVariable("CUPS_SERVER").isEmpty())
        return;
    QTemporaryDir dir;
    QFile ppd(dir.filePath(QStringLiteral("test.ppd")));
    if (!ppd.open(QIODevice::WriteOnly) || ppd.write(kPausedQueuePpd) < 0)
        return;
    ppd.close();
    QString err;
    if (RunProgram(QStringLiteral("lpadmin"),
                   {QStringLiteral("-p"), m_name, QStringLiteral("-E"), QStringLiteral("-v"),
                    QStringLiteral("file:/dev/null"), QStringLiteral("-P"), ppd.fileName()},
                   nullptr, &err) != 0) {
        ADD_FAILURE() << "lpadmin: " << err.toStdString();
        return;
    }
    m_ok = RunProgram(QStringLiteral("cupsdisable"), {m_name}) == 0;
}

TPausedCupsQueue::~TPausedCupsQueue()
{
    if (CupsQueue().isEmpty() || qEnvironmentVariable("CUPS_SERVER").isEmpty())
        return;
    RunProgram(QStringLiteral("cancel"), {QStringLiteral("-a"), m_name});
    RunProgram(QStringLiteral("lpadmin"), {QStringLiteral("-x"), m_name});
}

int TPausedCupsQueue::JobCount() const
{
    return int(JobIds(m_name).size());
}

QMap<QString, QString> TPausedCupsQueue::LastJobAttributes() const
{
    QMap<QString, QString> attributes;
    const QStringList ids = JobIds(m_name);
    if (ids.isEmpty())
        return attributes;
    QString out;
    RunProgram(QStringLiteral("ipptool"),
               {QStringLiteral("-tv"),
                QStringLiteral("ipp://%1/jobs/%2").arg(CupsServerHost(), ids.last()),
                QStringLiteral("get-job-attributes.test")},
               &out);
    // "    name (type) = value"
    static const QRegularExpression line(QStringLiteral("^\\s+(\\S+) \\([^)]*\\) = (.*)$"));
    for (const QString &text : out.split(QLatin1Char('\n'))) {
        const auto m = line.match(text);
        if (m.hasMatch())
            attributes.insert(m.captured(1), m.captured(2));
    }
    return attributes;
}

namespace {

// A watcher that a test left waiting would act on the next test's dialog
// with what the first test has freed: each goes when its test ends.
class TModalWatchers : public testing::EmptyTestEventListener
{
public:
    static void Add(QTimer *timer)
    {
        static TModalWatchers *listener = [] {
            auto *made = new TModalWatchers;
            testing::UnitTest::GetInstance()->listeners().Append(made);
            return made;
        }();
        listener->m_timers.append(timer);
    }

private:
    void OnTestEnd(const testing::TestInfo &) override
    {
        for (const QPointer<QTimer> &timer : std::as_const(m_timers))
            delete timer.data();
        m_timers.clear();
    }
    QList<QPointer<QTimer>> m_timers;
};

} // namespace

void WhenModal(std::function<bool(QWidget *)> ready, std::function<void(QWidget *)> action,
               int timeoutMs)
{
    auto *timer = new QTimer;
    TModalWatchers::Add(timer);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && ready(modal)) {
            timer->stop();
            timer->deleteLater();
            action(modal);
            return;
        }
        *waited += 10;
        if (*waited > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

TBatchRun RunBatch(const QStringList &args, const std::function<void()> &childSetup, int timeoutMs)
{
    static const QString batchPath = QStringLiteral(TESSARO_BINARY_DIR "/tessaro-batch");
    TBatchRun run;
    if (!QFile::exists(batchPath)) {
        ADD_FAILURE() << "build the tessaro-batch target first: " << batchPath.toStdString();
        return run;
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    process.setProcessEnvironment(env);
    if (childSetup)
        process.setChildProcessModifier(childSetup);
    process.start(batchPath, args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void TestCard::WriteDesign(const QString &path, const QString &caption)
{
    TGBusinessCardPanel32 panel;
    panel.SetOwner(&panel);
    panel.setFixedSize(336, 192);
    auto *label = new TGBusinessCardLabel(&panel);
    label->MakeReady();
    label->SetCaption(caption);
    label->SetAlignment(taLeftJustify);
    label->Font()->SetName(QStringLiteral("Arial"));
    label->Font()->SetSize(LabelPoints);
    panel.PlaceObject(label, TRect::FromBounds(LabelLeft, LabelTop, LabelWidth, LabelHeight));
    label->SetBounds(LabelLeft, LabelTop, LabelWidth, LabelHeight);
    panel.SaveToFile(path);
}

TPixelComparison ComparePixels(const QImage &a, const QImage &b, const QRect &area)
{
    TPixelComparison result;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pa = a.pixel(x, y);
            if (pa != b.pixel(x, y))
                ++result.differing;
            if (qGray(pa) < 250)
                ++result.ink;
        }
    }
    return result;
}
