// The report's pen and brush with their raster modes, the figures it draws
// (rectangles, ellipses, rounded rectangles, lines) and pictures.
#include "graphics/Picture.h"
#include "report/RPBase.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPicture>
#include <cmath>

namespace {

// Raster operations only where the device has them (not in PDF or QPicture
// playback on a printer); elsewhere the pen simply copies.
QPainter::CompositionMode CompositionOf(TPenMode m)
{
    switch (m) {
    case pmXor:
        return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor:
        return QPainter::RasterOp_NotSourceXorDestination;
    case pmMask:
        return QPainter::RasterOp_SourceAndDestination;
    case pmMerge:
        return QPainter::RasterOp_SourceOrDestination;
    case pmNotCopy:
        return QPainter::RasterOp_NotSource;
    case pmNot:
        return QPainter::RasterOp_NotDestination;
    default:
        break;
    }
    return QPainter::CompositionMode_SourceOver;
}

} // namespace

bool PlayPicture(QPainter &painter, const QPicture &picture)
{
    QPaintDevice *device = painter.device();
    painter.save();
    if (device && device->logicalDpiX() > 0 && device->logicalDpiY() > 0)
        painter.scale(double(picture.logicalDpiX()) / device->logicalDpiX(),
                      double(picture.logicalDpiY()) / device->logicalDpiY());
    QPicture shared(picture); // play() is not const; the copy shares the data
    const bool ok = shared.play(&painter);
    painter.restore();
    return ok;
}

void TBaseReport::ApplyPenMode(QPainter *painter, TPenMode m)
{
    QPaintEngine *engine = painter->paintEngine();
    if (engine && engine->hasFeature(QPaintEngine::RasterOpModes))
        painter->setCompositionMode(CompositionOf(m));
}

// ---------------------------------------------------------------- drawing state

void TBaseReport::SetPen(TColor color, TPenStyle style, int width, TPenMode mode)
{
    RestorePage(TClipRestore::Keep); // state alone: the clip may wait
    m_penColor = color;
    m_penStyle = style;
    m_penWidth = width;
    m_penMode = mode;
    if (m_painter) {
        m_painter->setPen(MakePen());
        ApplyPenMode(m_painter, mode);
    }
}

void TBaseReport::SetBrush(TColor color, TBrushStyle style, const QImage &pattern)
{
    RestorePage(TClipRestore::Keep); // state alone: the clip may wait
    m_brushColor = color;
    m_brushStyle = style;
    m_brushPattern = pattern;
    if (m_painter)
        m_painter->setBrush(MakeBrush());
}

int TBaseReport::PenDeviceWidth() const
{
    if (m_penWidth < 0)
        return HundredthsToPixels(-m_penWidth);
    return m_penWidth;
}

QPen TBaseReport::MakePen() const
{
    if (m_penMode == pmNop)
        return QPen(Qt::NoPen);
    QColor c = ColorFromTColor(m_penColor);
    if (m_penMode == pmBlack)
        c = Qt::black;
    else if (m_penMode == pmWhite)
        c = Qt::white;
    QPen pen(c);
    pen.setStyle(QtPenStyle(m_penStyle));
    pen.setWidth(PenDeviceWidth());
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QBrush TBaseReport::MakeBrush() const
{
    if (!m_brushPattern.isNull())
        return QBrush(m_brushPattern);
    return QBrush(ColorFromTColor(m_brushColor), QtBrushStyle(m_brushStyle));
}

// ---------------------------------------------------------------- figures

// Figures follow the device convention that the right and bottom edges are
// outside: the outline runs through the last pixel inside.
void TBaseReport::Rectangle(double x1, double y1, double x2, double y2)
{
    RestorePage();
    if (!m_painter)
        return;
    const QRect r = InchRect(x1, y1, x2, y2);
    m_painter->setPen(MakePen());
    m_painter->setBrush(MakeBrush());
    if (m_painter->pen().style() == Qt::NoPen)
        m_painter->fillRect(r, m_painter->brush());
    else
        m_painter->drawRect(r.adjusted(0, 0, -1, -1));
}

void TBaseReport::Ellipse(double x1, double y1, double x2, double y2)
{
    RestorePage();
    if (!m_painter)
        return;
    const QRect r = InchRect(x1, y1, x2, y2);
    m_painter->setPen(MakePen());
    m_painter->setBrush(MakeBrush());
    m_painter->drawEllipse(r.adjusted(0, 0, -1, -1));
}

void TBaseReport::RoundRect(double x1, double y1, double x2, double y2, double cornerW,
                            double cornerH)
{
    RestorePage();
    if (!m_painter)
        return;
    const QRect r = InchRect(x1, y1, x2, y2);
    const double zx = m_scaleX * ZoomPercent() / 10000.0 / m_unitsFactor;
    const double zy = m_scaleY * ZoomPercent() / 10000.0 / m_unitsFactor;
    const double cw = std::abs(cornerW) * zx * m_xdpi;
    const double ch = std::abs(cornerH) * zy * m_ydpi;
    m_painter->setPen(MakePen());
    m_painter->setBrush(MakeBrush());
    m_painter->drawRoundedRect(QRectF(r.adjusted(0, 0, -1, -1)), cw / 2, ch / 2, Qt::AbsoluteSize);
}

void TBaseReport::MoveTo(double x, double y)
{
    m_penX = x;
    m_penY = y;
}

void TBaseReport::LineTo(double x, double y)
{
    RestorePage();
    if (m_painter) {
        m_painter->setPen(MakePen());
        m_painter->drawLine(QPoint(XI2D(m_penX), YI2D(m_penY)), QPoint(XI2D(x), YI2D(y)));
    }
    m_penX = x;
    m_penY = y;
}

// ---------------------------------------------------------------- pictures

QImage PrintableImage(const TPicture &picture, const QString &owner, QSize devicePixels)
{
    QImage image = devicePixels.isValid() ? picture.ImageAtLeast(devicePixels) : picture.Image();
    if (!image.isNull())
        return image;
    const QSize size = picture.NaturalSize();
    switch (picture.LastDecodeFailure()) {
    case TPicture::DecodeFailure::Memory:
        throw EReportError(QStringLiteral("There is not enough memory for the picture of %1 (%2 x %3).")
                               .arg(owner)
                               .arg(size.width())
                               .arg(size.height()));
    case TPicture::DecodeFailure::Damaged:
        throw EReportError(QStringLiteral("The picture of %1 (%2 x %3) is damaged and cannot be "
                                          "printed.")
                               .arg(owner)
                               .arg(size.width())
                               .arg(size.height()));
    case TPicture::DecodeFailure::None:
        break;
    }
    return image;
}

void TBaseReport::PrintBitmapRect(double x1, double y1, double x2, double y2, const QImage &bitmap)
{
    StretchDraw(InchRect(x1, y1, x2, y2), bitmap);
}

void TBaseReport::PrintBitmapRect(double x1, double y1, double x2, double y2,
                                  const TGBitmap &bitmap)
{
    StretchDraw(InchRect(x1, y1, x2, y2), bitmap.Image());
}

void TBaseReport::StretchDraw(const QRect &deviceRect, const QImage &bitmap)
{
    RestorePage();
    if (!m_painter || bitmap.isNull() || deviceRect.isEmpty())
        return;
    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    m_painter->drawImage(deviceRect, bitmap);
    m_painter->restore();
}

void TBaseReport::StretchDraw(const QRect &deviceRect, const QPicture &picture)
{
    StretchDraw(deviceRect, picture, QRectF(picture.boundingRect()));
}

void TBaseReport::StretchDraw(const QRect &deviceRect, const QPicture &picture, const QRectF &frame)
{
    RestorePage();
    if (!m_painter || picture.isNull() || deviceRect.isEmpty() || frame.width() <= 0 ||
        frame.height() <= 0)
        return;
    m_painter->save();
    m_painter->translate(deviceRect.left(), deviceRect.top());
    m_painter->scale(deviceRect.width() / frame.width(), deviceRect.height() / frame.height());
    m_painter->translate(-frame.left(), -frame.top());
    PlayPicture(*m_painter, picture);
    m_painter->restore();
}

void TBaseReport::StretchDraw(const QRect &deviceRect, const TPicture &picture)
{
    RestorePage();
    if (!m_painter || picture.IsEmpty() || deviceRect.isEmpty())
        return;
    m_painter->save();
    picture.Draw(*m_painter, deviceRect);
    m_painter->restore();
}

void TBaseReport::PrintPictureRect(double x1, double y1, double x2, double y2,
                                   const QPicture &picture, const QRectF &frame)
{
    StretchDraw(InchRect(x1, y1, x2, y2), picture, frame);
}

void TBaseReport::PrintPictureRect(double x1, double y1, double x2, double y2,
                                   const TPicture &picture)
{
    StretchDraw(InchRect(x1, y1, x2, y2), picture);
}
