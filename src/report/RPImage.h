#pragma once

#include "report/RPBase.h"

#include <QImage>
#include <QList>
#include <QPainter>
#include <QSizeF>

// A report whose pages are pictures: each page is drawn, at a resolution of
// its own, onto a white image of the page's size, by the same operations as
// on paper. A card exported as an image so looks as it prints.
class TImageReport : public TBaseReport
{
public:
    // The page in inches and the pixels per inch; the image of a page is
    // the page's size at that resolution, rounded to whole pixels.
    TImageReport(const QSizeF &pageInches, int dpi);
    ~TImageReport() override;

    const QList<QImage> &Pages() const { return m_pages; }
    QSize PagePixels() const { return m_pixels; }

    // The most pixels a page may have (some 100 megapixels, 400 MB): a
    // larger request is refused when the job starts.
    static constexpr qint64 MaxPagePixels = qint64(100) * 1000 * 1000;

protected:
    bool BeginJob() override;
    QPainter *BeginPage() override;
    void EndPage() override;
    void EndJob(bool abandon) override;
    void AbortDevice() override;

private:
    QSizeF m_inches;
    int m_dpi;
    QSize m_pixels;
    QImage m_page;
    QPainter m_painter;
    QList<QImage> m_pages;
};
