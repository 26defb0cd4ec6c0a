#include "effects/Gsshape.h"

#include "objects/Placeholder.h"

#include <QScopedValueRollback>

const QStringList &FillDirectionIdentifiers()
{
    static const QStringList names{QStringLiteral("gdUp"), QStringLiteral("gdDown"),
                                   QStringLiteral("gdLeft"), QStringLiteral("gdRight")};
    return names;
}

const QStringList &TSuperShape::PenStyleIdentifiers()
{
    static const QStringList names{
        QStringLiteral("psSolid"),       QStringLiteral("psDash"),       QStringLiteral("psDot"),
        QStringLiteral("psDashDot"),     QStringLiteral("psDashDotDot"), QStringLiteral("psClear"),
        QStringLiteral("psInsideFrame"),
    };
    return names;
}

const QStringList &TSuperShape::BrushStyleIdentifiers()
{
    static const QStringList names{
        QStringLiteral("bsSolid"),    QStringLiteral("bsClear"),     QStringLiteral("bsHorizontal"),
        QStringLiteral("bsVertical"), QStringLiteral("bsFDiagonal"), QStringLiteral("bsBDiagonal"),
        QStringLiteral("bsCross"),    QStringLiteral("bsDiagCross"),
    };
    return names;
}

const QStringList &TSuperShape::ShapeTypeIdentifiers()
{
    static const QStringList names{
        QStringLiteral("gstRectangle"),     QStringLiteral("gstRoundRect"),
        QStringLiteral("gstEllipse"),       QStringLiteral("gstDiamond"),
        QStringLiteral("gstStar"),          QStringLiteral("gstTriangleLeft"),
        QStringLiteral("gstTriangleRight"), QStringLiteral("gstTriangleUp"),
        QStringLiteral("gstTriangleDown"),  QStringLiteral("gstPolyGon"),
    };
    return names;
}

const QStringList &TSuperShape::SurfaceTypeIdentifiers()
{
    static const QStringList names{
        QStringLiteral("stBrushTransparent"),
        QStringLiteral("stBrushPattern"),
        QStringLiteral("stBrushImage"),
        QStringLiteral("stGradientFill"),
    };
    return names;
}

const QStringList &TSuperShape::ShadowOrientIdentifiers()
{
    static const QStringList names{
        QStringLiteral("soNone"),       QStringLiteral("soLowerRight"),
        QStringLiteral("soUpperRight"), QStringLiteral("soUpperLeft"),
        QStringLiteral("soLowerLeft"),
    };
    return names;
}

TSuperShape::TSuperShape(QObject *owner)
    : TGGraphicControl(owner)
{
    SetLoading(true); // the creation size is no move on the card
    SetBounds(0, 0, 25, 25);
    SetLoading(false);
    m_image.OnChange = [this] {
        if (!m_quietGroups)
            DesignChanged();
    };
}

void TSuperShape::DesignChanged()
{
    if (IsLoading())
        return;
    Repaint();
    ReportChange();
}

void TSuperShape::InvalidateGradient()
{
    if (m_surfaceType == stGradientFill)
        m_gradientPicture = QImage();
}

void TSuperShape::InvalidateSolidFill()
{
    m_solidFillPicture = QImage();
}

void TSuperShape::SetBackColor(TColor color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    InvalidateGradient();
    InvalidateSolidFill();
    DesignChanged();
}

void TSuperShape::SetFillDirection(TFillDirection direction)
{
    if (direction == m_fillDirection || direction < gdUp || direction > gdRight)
        return;
    m_fillDirection = direction;
    InvalidateGradient();
    DesignChanged();
}

void TSuperShape::SetForeColor(TColor color)
{
    if (color == m_foreColor)
        return;
    m_foreColor = color;
    InvalidateSolidFill();
    DesignChanged();
}

void TSuperShape::SetGradientToColor(TColor color)
{
    if (color == m_gradientToColor)
        return;
    m_gradientToColor = color;
    InvalidateGradient();
    DesignChanged();
}

void TSuperShape::SetImage(const TGBitmap *bitmap)
{
    const bool empty = !bitmap || bitmap->IsEmpty();
    if (empty ? m_image.IsEmpty() : bitmap->BmpBytes() == m_image.BmpBytes())
        return;
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        if (empty)
            m_image.Clear();
        else
            m_image.Assign(*bitmap);
    }
    DesignChanged();
}

void TSuperShape::SetInVectorPercent(int percent)
{
    if (percent == m_inVectorPercent || percent < 0 || percent > 100)
        return;
    m_inVectorPercent = percent;
    DesignChanged();
}

void TSuperShape::SetOutlineColor(TColor color)
{
    if (color == m_outlineColor)
        return;
    m_outlineColor = color;
    DesignChanged();
}

void TSuperShape::SetOutlineStyle(TPenStyle style)
{
    if (style == m_outlineStyle || style < psSolid || style > psInsideFrame)
        return;
    m_outlineStyle = style;
    DesignChanged();
}

void TSuperShape::SetOutlineWidth(int width)
{
    if (width == m_outlineWidth)
        return;
    m_outlineWidth = width;
    DesignChanged();
}

void TSuperShape::SetPattern(TBrushStyle pattern)
{
    if (pattern == m_pattern || pattern < bsSolid || pattern > bsDiagCross)
        return;
    m_pattern = pattern;
    InvalidateSolidFill();
    DesignChanged();
}

void TSuperShape::SetRoundPerc(int percent)
{
    if (percent == m_roundPerc)
        return;
    m_roundPerc = percent;
    DesignChanged();
}

void TSuperShape::SetShadowColor(TColor color)
{
    if (color == m_shadowColor)
        return;
    m_shadowColor = color;
    InvalidateGradient();
    DesignChanged();
}

void TSuperShape::SetShadowDepth(int depth)
{
    if (depth == m_shadowDepth)
        return;
    // A depth that already exceeds half the object's width or height may not
    // grow further, but it may always shrink; a stored depth is taken as it is.
    const bool heldTooDeep = m_shadowDepth > Width() / 2 || m_shadowDepth > Height() / 2;
    if (!IsLoading() && heldTooDeep && depth > m_shadowDepth)
        return;
    m_shadowDepth = depth;
    InvalidateGradient();
    DesignChanged();
}

void TSuperShape::SetShadowOrient(TShadowOrient orient)
{
    if (orient == m_shadowOrient || orient < soNone || orient > soLowerLeft)
        return;
    m_shadowOrient = orient;
    InvalidateGradient();
    DesignChanged();
}

void TSuperShape::SetShape(TGPShapeType shape)
{
    if (shape == m_shape || shape < gstRectangle || shape > gstPolyGon)
        return;
    m_shape = shape;
    if (shape == gstStar && !IsLoading()) {
        if (m_inVectorPercent == 0)
            m_inVectorPercent = 50;
        if (m_vectors < 10)
            m_vectors = 10;
        m_startingAngle = 90;
    }
    DesignChanged();
}

void TSuperShape::SetStartingAngle(int degrees)
{
    if (degrees == m_startingAngle || degrees < 0 || degrees > 359)
        return;
    m_startingAngle = degrees;
    DesignChanged();
}

void TSuperShape::SetSurfaceType(TSurfaceType type)
{
    if (type == m_surfaceType || type < stBrushTransparent || type > stGradientFill)
        return;
    m_surfaceType = type;
    if (IsLoading())
        return;
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        if (type != stBrushImage)
            m_image.Clear();
    }
    switch (type) {
    case stGradientFill:
        InvalidateGradient();
        break;
    case stBrushPattern:
        InvalidateSolidFill();
        break;
    case stBrushTransparent:
        // Without a fill the figure must stay visible: no shadow, a drawn outline.
        m_shadowOrient = soNone;
        m_pattern = bsClear;
        if (m_outlineStyle == psClear)
            m_outlineStyle = psSolid;
        break;
    case stBrushImage:
        break;
    }
    DesignChanged();
}

void TSuperShape::SetVectors(int count)
{
    if (count == m_vectors || count < 3 || count > 60)
        return;
    m_vectors = count;
    DesignChanged();
}

void TSuperShape::SetLastBitmapFileNameandPath(const QString &path)
{
    if (path == m_lastBitmapFile)
        return;
    m_lastBitmapFile = path;
    if (!IsLoading())
        ReportChange();
}

void TSuperShape::CopyProperties(const TSuperShape &other)
{
    SetBackColor(other.BackColor());
    SetFillDirection(other.FillDirection());
    SetForeColor(other.ForeColor());
    SetGradientToColor(other.GradientToColor());
    SetImage(&other.ImageBitmap());
    SetInVectorPercent(other.InVectorPercent());
    SetOutlineColor(other.OutlineColor());
    SetOutlineStyle(other.OutlineStyle());
    SetOutlineWidth(other.OutlineWidth());
    SetPattern(other.Pattern());
    SetRoundPerc(other.RoundPerc());
    SetShadowColor(other.ShadowColor());
    SetShadowDepth(other.ShadowDepth());
    SetShadowOrient(other.ShadowOrient());
    SetShape(other.Shape());
    SetStartingAngle(other.StartingAngle());
    SetSurfaceType(other.SurfaceType());
    SetVectors(other.Vectors());
    SetBounds(Left(), Top(), other.Width(), other.Height());
}

void TSuperShape::BoundsChanged()
{
    Inherited::BoundsChanged();
    // The gradient is as large as the object; the solid fill is one colour and
    // still covers any size when tiled.
    if (m_gradientPicture.size() != QSize(Width(), Height()))
        InvalidateGradient();
}

const TPropertyTable &TSuperShape::PropertyTable() const
{
    using T = TSuperShape;
    static const TPropertyTable table = [] {
        using namespace props;
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(Color<T>(QStringLiteral("BackColor"), &T::BackColor, &T::SetBackColor));
        t.push_back(Enum<T, TFillDirection>(QStringLiteral("FillDirection"),
                                            FillDirectionIdentifiers(), &T::FillDirection,
                                            &T::SetFillDirection));
        t.push_back(Color<T>(QStringLiteral("ForeColor"), &T::ForeColor, &T::SetForeColor));
        t.push_back(Color<T>(QStringLiteral("GradientToColor"), &T::GradientToColor,
                             &T::SetGradientToColor));
        t.push_back(Object<T>(QStringLiteral("Image"), &T::Image));
        t.push_back(Integer<T>(QStringLiteral("InVectorPercent"), &T::InVectorPercent,
                               &T::SetInVectorPercent));
        t.push_back(
            Color<T>(QStringLiteral("OutlineColor"), &T::OutlineColor, &T::SetOutlineColor));
        t.push_back(Enum<T, TPenStyle>(QStringLiteral("OutlineStyle"), PenStyleIdentifiers(),
                                       &T::OutlineStyle, &T::SetOutlineStyle));
        t.push_back(
            Integer<T>(QStringLiteral("OutlineWidth"), &T::OutlineWidth, &T::SetOutlineWidth));
        t.push_back(Enum<T, TBrushStyle>(QStringLiteral("Pattern"), BrushStyleIdentifiers(),
                                         &T::Pattern, &T::SetPattern));
        t.push_back(Integer<T>(QStringLiteral("RoundPerc"), &T::RoundPerc, &T::SetRoundPerc));
        t.push_back(Color<T>(QStringLiteral("ShadowColor"), &T::ShadowColor, &T::SetShadowColor));
        t.push_back(Integer<T>(QStringLiteral("ShadowDepth"), &T::ShadowDepth, &T::SetShadowDepth));
        t.push_back(Enum<T, TShadowOrient>(QStringLiteral("ShadowOrient"),
                                           ShadowOrientIdentifiers(), &T::ShadowOrient,
                                           &T::SetShadowOrient));
        t.push_back(Enum<T, TGPShapeType>(QStringLiteral("Shape"), ShapeTypeIdentifiers(),
                                          &T::Shape, &T::SetShape, gstStar));
        t.push_back(
            Integer<T>(QStringLiteral("StartingAngle"), &T::StartingAngle, &T::SetStartingAngle));
        t.push_back(Enum<T, TSurfaceType>(QStringLiteral("SurfaceType"), SurfaceTypeIdentifiers(),
                                          &T::SurfaceType, &T::SetSurfaceType));
        t.push_back(Integer<T>(QStringLiteral("Vectors"), &T::Vectors, &T::SetVectors));
        t.push_back(String<T>(QStringLiteral("LastBitmapFileNameandPath"),
                              &T::LastBitmapFileNameandPath, &T::SetLastBitmapFileNameandPath));
        return t;
    }();
    return table;
}

void TSuperShape::Paint(QPainter &painter)
{
    PaintPlaceholderBox(painter, Width(), Height(), QStringLiteral("Super shape"));
}
