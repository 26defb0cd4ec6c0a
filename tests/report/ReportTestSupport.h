#pragma once

#include "report/RPBase.h"

#include <QImage>
#include <QList>
#include <QPainter>
#include <cmath>

// A report that draws each page into an image, so tests can set the device
// resolution and offsets and look at the pixels.
class TProbeReport : public TBaseReport
{
public:
    explicit TProbeReport(int dpi = 100, double leftOffset = 0, double topOffset = 0,
                          double pageW = 8.5, double pageH = 11)
    {
        SetMetrics(leftOffset, topOffset, 0, pageW, pageH, dpi, dpi);
    }
    double ZoomPercent() const override { return zoom; }

    double zoom = 100;
    QList<QImage> pages;
    bool ended = false;
    bool abandoned = false;
    int beginPages = 0;

protected:
    bool BeginJob() override
    {
        pages.clear();
        ended = abandoned = false;
        return true;
    }
    QPainter *BeginPage() override
    {
        ++beginPages;
        m_image = QImage(int(std::ceil(PageWidth() * XDPI())),
                         int(std::ceil(PageHeight() * YDPI())), QImage::Format_RGB32);
        m_image.fill(Qt::white);
        m_device.begin(&m_image);
        return &m_device;
    }
    void EndPage() override
    {
        m_device.end();
        pages.append(m_image);
    }
    void EndJob(bool abandon) override
    {
        if (m_device.isActive())
            m_device.end();
        ended = true;
        abandoned = abandon;
    }

private:
    QImage m_image;
    QPainter m_device;
};

inline bool IsColor(const QImage &img, int x, int y, QRgb rgb)
{
    return x >= 0 && y >= 0 && x < img.width() && y < img.height() &&
           (img.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF);
}
