#include "report/RPFiler.h"

#include <QBuffer>
#include <QDataStream>
#include <QIODevice>
#include <cmath>

namespace {

constexpr quint32 kMagic = 0x46505254; // "TRPF" little-endian on disk order of a quint32
constexpr quint16 kVersion = 1;
constexpr qint32 kMaxPages = 100000;

} // namespace

bool ReadRecordedReport(QIODevice &stream, TRecordedReport &out, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QDataStream ds(&stream);
    ds.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint16 version = 0;
    double w = 0, h = 0;
    qint32 dpi = 0, count = 0;
    ds >> magic >> version;
    if (ds.status() != QDataStream::Ok || magic != kMagic)
        return fail(QStringLiteral("The data is not a recorded print job."));
    if (version != kVersion)
        return fail(
            QStringLiteral("The recorded print job has an unknown version (%1).").arg(version));
    ds >> w >> h >> dpi >> count;
    if (ds.status() != QDataStream::Ok || !std::isfinite(w) || !std::isfinite(h) || w <= 0 ||
        h <= 0 || w > 1000 || h > 1000 || dpi < 1 || dpi > 10000 || count < 0 || count > kMaxPages)
        return fail(QStringLiteral("The recorded print job is damaged."));
    TRecordedReport result;
    result.PageWidth = w;
    result.PageHeight = h;
    result.Resolution = dpi;
    for (qint32 i = 0; i < count; ++i) {
        QByteArray page;
        ds >> page; // Qt reads a length prefix larger than the data as a failure
        if (ds.status() != QDataStream::Ok)
            return fail(QStringLiteral("The recorded print job is damaged (page %1).").arg(i + 1));
        result.Pages.append(page);
    }
    out = std::move(result);
    return true;
}

bool ReadRecordedReport(const QByteArray &data, TRecordedReport &out, QString *error)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return ReadRecordedReport(buffer, out, error);
}

bool PlayRecordedPage(QPainter &painter, const TRecordedReport &report, int page,
                      double pixelsPerInchX, double pixelsPerInchY)
{
    if (page < 0 || page >= report.Pages.size() || report.Resolution <= 0)
        return false;
    QPicture picture;
    picture.setData(report.Pages[page].constData(), uint(report.Pages[page].size()));
    if (picture.isNull())
        return false;
    painter.save();
    painter.scale(pixelsPerInchX / report.Resolution, pixelsPerInchY / report.Resolution);
    const bool ok = PlayPicture(painter, picture); // checks the picture's checksum first
    painter.restore();
    return ok;
}

TReportFiler::TReportFiler()
{
    SetStreamMode(smUser);
    SetMetrics(0, 0, 0, PageWidth(), PageHeight(), kRecordResolution, kRecordResolution);
}

TReportFiler::~TReportFiler()
{
    if (m_recorder.isActive())
        m_recorder.end();
}

bool TReportFiler::BeginJob()
{
    SetPaperSize(PaperSize()); // page size from paper code and orientation
    SetMetrics(0, 0, 0, PageWidth(), PageHeight(), kRecordResolution, kRecordResolution);
    m_pages.clear();
    m_data.clear();
    return true;
}

QPainter *TReportFiler::BeginPage()
{
    m_picture = QPicture();
    if (!m_recorder.begin(&m_picture))
        throw EReportError(QStringLiteral("The preview page could not be recorded."));
    return &m_recorder;
}

void TReportFiler::EndPage()
{
    if (!m_recorder.isActive())
        return;
    m_recorder.end();
    m_picture.setBoundingRect(
        QRect(0, 0, int(std::ceil(PageWidth() * XDPI())), int(std::ceil(PageHeight() * YDPI()))));
    m_pages.append(QByteArray(m_picture.data(), int(m_picture.size())));
}

void TReportFiler::AbortDevice()
{
    if (m_recorder.isActive())
        m_recorder.end(); // the unfinished page is dropped
}

void TReportFiler::EndJob(bool)
{
    if (m_recorder.isActive())
        m_recorder.end();
    // What was recorded is written even for an abandoned job; the caller
    // decides from Aborted() whether to show it.
    QBuffer buffer(&m_data);
    buffer.open(QIODevice::WriteOnly);
    QDataStream ds(&buffer);
    ds.setVersion(QDataStream::Qt_6_0);
    ds << kMagic << kVersion << PageWidth() << PageHeight() << qint32(XDPI())
       << qint32(m_pages.size());
    for (const QByteArray &page : m_pages)
        ds << page;
    buffer.close();
    if (m_stream) {
        if (!m_stream->isOpen())
            m_stream->open(QIODevice::ReadWrite);
        if (m_stream->write(m_data) != m_data.size())
            throw EReportError(QStringLiteral("The preview pages could not be stored: %1")
                                   .arg(m_stream->errorString()));
    }
}
