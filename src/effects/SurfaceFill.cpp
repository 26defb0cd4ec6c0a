#include "effects/SurfaceFill.h"

#include "graphics/Geometry.h"
#include "report/RPBase.h"
#include "surface/GGraphc.h"

#include <QLinearGradient>
#include <QPainter>
#include <QScopedValueRollback>
#include <cmath>

const QStringList &FillDirectionIdentifiers()
{
    static const QStringList names{QStringLiteral("gdUp"), QStringLiteral("gdDown"),
                                   QStringLiteral("gdLeft"), QStringLiteral("gdRight")};
    return names;
}

TSurfaceFill::TSurfaceFill(std::function<bool()> gradientShown, TColor fromColor, TColor toColor,
                           TFillDirection direction)
    : m_gradientShown(std::move(gradientShown))
    , m_fromColor(fromColor)
    , m_toColor(toColor)
    , m_direction(direction)
{
    m_image.SetEmptyWhenInvalid(true);
    m_image.OnChange = [this] {
        if (!m_quietImage)
            Changed();
    };
}

void TSurfaceFill::Changed()
{
    if (OnChange)
        OnChange();
}

void TSurfaceFill::SetFromColor(TColor color)
{
    StoreGradientValue(m_fromColor, color);
}

void TSurfaceFill::SetToColor(TColor color)
{
    StoreGradientValue(m_toColor, color);
}

void TSurfaceFill::SetDirection(TFillDirection direction)
{
    if (direction >= gdUp && direction <= gdRight)
        StoreGradientValue(m_direction, direction);
}

void TSurfaceFill::SetImage(const TGBitmap *bitmap)
{
    // An equal texture is no change; another one reports itself, once.
    if (!bitmap || bitmap->IsEmpty())
        m_image.Clear();
    else
        m_image.Assign(*bitmap);
}

void TSurfaceFill::SetLastBitmapFile(const QString &path)
{
    if (path == m_lastBitmapFile)
        return;
    m_lastBitmapFile = path;
    if (OnFileChange)
        OnFileChange();
}

void TSurfaceFill::FollowSurfaceType(bool textured)
{
    if (!textured) {
        QScopedValueRollback<bool> quiet(m_quietImage, true);
        m_image.Clear();
    }
    InvalidateGradient();
}

void TSurfaceFill::InvalidateGradient()
{
    if (m_gradientShown())
        m_gradientPicture = QImage();
}

const QImage &TSurfaceFill::GradientFor(const QSize &size)
{
    if (size.isEmpty()) {
        m_gradientPicture = QImage();
        return m_gradientPicture;
    }
    if (m_gradientPicture.size() != size) {
        m_gradientPicture = MakeGradientPicture(m_fromColor, m_toColor, m_direction, size);
        ++m_gradientBuilds;
    }
    return m_gradientPicture;
}

void TSurfaceFill::FitGradientTo(const QSize &size)
{
    if (m_gradientPicture.size() != size)
        InvalidateGradient();
}

std::function<bool(const TPropertyDescriptor &)> DialogProperties(const QStringList &leftOut)
{
    static const QStringList common = [] {
        QStringList names;
        for (const TPropertyDescriptor &d : TGGraphicControl::BaseProperties())
            names.append(d.name);
        names.append(QStringLiteral("LastBitmapFileNameandPath"));
        return names;
    }();
    return [leftOut](const TPropertyDescriptor &d) {
        return !common.contains(d.name) && !leftOut.contains(d.name);
    };
}

// ---- drawing ----------------------------------------------------------------

namespace {

// Whether band 0 holds the to-colour (gdUp, gdLeft run toward the top or left).
bool StartsWithToColor(TFillDirection direction)
{
    return direction == gdUp || direction == gdLeft;
}

bool Vertical(TFillDirection direction)
{
    return direction == gdUp || direction == gdDown;
}

int Channel(TColor color, int shift)
{
    return int((color >> shift) & 0xFF);
}

// Tiles that a printed fill sends one by one at most; a finer texture is
// composed into one picture first so the printed file stays small.
constexpr int kMaxSeparateTiles = 2048;

} // namespace

QColor GradientBandColor(TColor fromColor, TColor toColor, TFillDirection direction, int band)
{
    const TColor start = ResolvedColor(StartsWithToColor(direction) ? toColor : fromColor);
    const TColor end = ResolvedColor(StartsWithToColor(direction) ? fromColor : toColor);
    const auto mix = [&](int shift) {
        const int s = Channel(start, shift);
        return s + MulDiv(band, Channel(end, shift) - s, 255);
    };
    return QColor(mix(0), mix(8), mix(16));
}

QRect GradientBand(int band, int width, int height, TFillDirection direction)
{
    if (Vertical(direction)) {
        const int top = MulDiv(band, height, 256);
        return QRect(0, top, width, MulDiv(band + 1, height, 256) - top);
    }
    const int left = MulDiv(band, width, 256);
    return QRect(left, 0, MulDiv(band + 1, width, 256) - left, height);
}

QImage MakeGradientPicture(TColor fromColor, TColor toColor, TFillDirection direction,
                           const QSize &size)
{
    if (size.isEmpty())
        return QImage();
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull())
        return picture; // too large to hold: no fill rather than a failure
    QPainter painter(&picture);
    for (int n = 0; n < 256; ++n) {
        const QRect band = GradientBand(n, size.width(), size.height(), direction);
        if (!band.isEmpty())
            painter.fillRect(band, GradientBandColor(fromColor, toColor, direction, n));
    }
    return picture;
}

void TileFillPicture(QPainter &painter, const QImage &picture, const QSize &area, const QSize &tile)
{
    if (picture.isNull() || tile.isEmpty())
        return;
    const bool stretched = tile != picture.size();
    for (int y = 0; y < area.height(); y += tile.height())
        for (int x = 0; x < area.width(); x += tile.width()) {
            if (stretched)
                painter.drawImage(QRect(QPoint(x, y), tile), picture);
            else
                painter.drawImage(QPoint(x, y), picture);
        }
}

void PrintGradient(TBaseReport &report, TColor fromColor, TColor toColor,
                   TFillDirection direction, const QRect &printedRect)
{
    if (printedRect.isEmpty())
        return;
    // The first band's colour at the middle of the first band, the last
    // band's at the middle of the last; padded beyond.
    const QRectF area(printedRect);
    const bool vertical = Vertical(direction);
    const double run = vertical ? area.height() : area.width();
    const double start = (vertical ? area.top() : area.left()) + run / 512.0;
    const double end = (vertical ? area.top() : area.left()) + run - run / 512.0;
    QLinearGradient gradient = vertical ? QLinearGradient(area.left(), start, area.left(), end)
                                        : QLinearGradient(start, area.top(), end, area.top());
    gradient.setColorAt(0.0, GradientBandColor(fromColor, toColor, direction, 0));
    gradient.setColorAt(1.0, GradientBandColor(fromColor, toColor, direction, 255));
    report.FillDeviceRect(printedRect, QBrush(gradient));
}

void PrintFillTiles(TBaseReport &report, const QImage &picture, double left, double top,
                    double width, double height, double ppi)
{
    if (picture.isNull() || width <= 0 || height <= 0 || ppi <= 0)
        return;
    const double tileW = picture.width() / ppi;
    const double tileH = picture.height() / ppi;
    const double across = std::ceil(width / tileW);
    const double down = std::ceil(height / tileH);
    if (across * down > kMaxSeparateTiles) {
        // Compose at screen size and send once, stretched onto the area.
        const QSize size(std::max(1, int(std::ceil(width * ppi))),
                         std::max(1, int(std::ceil(height * ppi))));
        QImage composed(size, QImage::Format_RGB32);
        if (composed.isNull())
            return;
        QPainter painter(&composed);
        TileFillPicture(painter, picture, size, picture.size());
        painter.end();
        report.PrintBitmapRect(left, top, left + size.width() / ppi, top + size.height() / ppi,
                               composed);
        return;
    }
    for (int row = 0; row < int(down); ++row)
        for (int column = 0; column < int(across); ++column) {
            const double x = left + column * tileW;
            const double y = top + row * tileH;
            report.PrintBitmapRect(x, y, x + tileW + 0.01, y + tileH + 0.01, picture);
        }
}
