#include "report/RPImage.h"

#include <cmath>

TImageReport::TImageReport(const QSizeF &pageInches, int dpi)
    : m_inches(pageInches)
    , m_dpi(dpi)
    , m_pixels(int(std::lround(pageInches.width() * dpi)),
               int(std::lround(pageInches.height() * dpi)))
{
    SetMetrics(0, 0, 0, pageInches.width(), pageInches.height(), dpi, dpi);
}

TImageReport::~TImageReport()
{
    if (m_painter.isActive())
        m_painter.end();
}

bool TImageReport::BeginJob()
{
    if (m_pixels.width() < 1 || m_pixels.height() < 1 ||
        qint64(m_pixels.width()) * m_pixels.height() > MaxPagePixels)
        throw EReportError(QStringLiteral("An image of %1 x %2 pixels is too large to make.")
                               .arg(m_pixels.width())
                               .arg(m_pixels.height()));
    SetMetrics(0, 0, 0, m_inches.width(), m_inches.height(), m_dpi, m_dpi);
    m_pages.clear();
    return true;
}

QPainter *TImageReport::BeginPage()
{
    m_page = QImage(m_pixels, QImage::Format_RGB32);
    if (m_page.isNull())
        throw EReportError(QStringLiteral("There is not enough memory for an image of %1 x %2 "
                                          "pixels.")
                               .arg(m_pixels.width())
                               .arg(m_pixels.height()));
    m_page.setDotsPerMeterX(int(std::lround(m_dpi / 0.0254)));
    m_page.setDotsPerMeterY(int(std::lround(m_dpi / 0.0254)));
    m_page.fill(Qt::white);
    m_painter.begin(&m_page);
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
    return &m_painter;
}

void TImageReport::EndPage()
{
    if (!m_painter.isActive())
        return;
    m_painter.end();
    m_pages.append(m_page);
    m_page = QImage();
}

void TImageReport::EndJob(bool)
{
    if (m_painter.isActive())
        m_painter.end();
}

void TImageReport::AbortDevice()
{
    if (m_painter.isActive())
        m_painter.end(); // the unfinished page is dropped
}
