#include "effects/SurfaceFill.h"

#include <QScopedValueRollback>

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

void TSurfaceFill::FitGradientTo(const QSize &size)
{
    if (m_gradientPicture.size() != size)
        InvalidateGradient();
}
