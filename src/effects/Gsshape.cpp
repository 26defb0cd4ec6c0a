#include "effects/Gsshape.h"

#include "objects/Placeholder.h"

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
    , m_fill([this] { return m_surfaceType == stGradientFill; }, 0x0000FF, 0xFF0000, gdUp)
{
    SetCreationBounds(25, 25);
    m_fill.OnChange = [this] { DesignChanged(); };
    m_fill.OnFileChange = [this] {
        if (!IsLoading())
            ReportChange();
    };
}

void TSuperShape::InvalidateSolidFill()
{
    m_solidFillPicture = QImage();
}

void TSuperShape::SetBackColor(TColor color)
{
    // The back colour is the solid fill's colour too.
    if (color != m_fill.FromColor())
        InvalidateSolidFill();
    m_fill.SetFromColor(color);
}

void TSuperShape::SetForeColor(TColor color)
{
    StoreDesignValue(m_foreColor, color, [this] { InvalidateSolidFill(); });
}

void TSuperShape::SetInVectorPercent(int percent)
{
    if (percent >= 0 && percent <= 100)
        StoreDesignValue(m_inVectorPercent, percent);
}

void TSuperShape::SetOutlineStyle(TPenStyle style)
{
    if (style >= psSolid && style <= psInsideFrame)
        StoreDesignValue(m_outlineStyle, style);
}

void TSuperShape::SetPattern(TBrushStyle pattern)
{
    if (pattern >= bsSolid && pattern <= bsDiagCross)
        StoreDesignValue(m_pattern, pattern, [this] { InvalidateSolidFill(); });
}

// The shadow is part of the gradient picture.
void TSuperShape::SetShadowColor(TColor color)
{
    StoreDesignValue(m_shadowColor, color, [this] { m_fill.InvalidateGradient(); });
}

void TSuperShape::SetShadowDepth(int depth)
{
    // A depth that already exceeds half the object's width or height may not
    // grow further, but it may always shrink; a stored depth is taken as it is.
    const bool heldTooDeep = m_shadowDepth > Width() / 2 || m_shadowDepth > Height() / 2;
    if (!IsLoading() && heldTooDeep && depth > m_shadowDepth)
        return;
    StoreDesignValue(m_shadowDepth, depth, [this] { m_fill.InvalidateGradient(); });
}

void TSuperShape::SetShadowOrient(TShadowOrient orient)
{
    if (orient >= soNone && orient <= soLowerLeft)
        StoreDesignValue(m_shadowOrient, orient, [this] { m_fill.InvalidateGradient(); });
}

void TSuperShape::SetShape(TGPShapeType shape)
{
    if (shape < gstRectangle || shape > gstPolyGon)
        return;
    StoreDesignValue(m_shape, shape, [this, shape] {
        if (shape != gstStar || IsLoading())
            return;
        if (m_inVectorPercent == 0)
            m_inVectorPercent = 50;
        if (m_vectors < 10)
            m_vectors = 10;
        m_startingAngle = 90;
    });
}

void TSuperShape::SetStartingAngle(int degrees)
{
    if (degrees >= 0 && degrees <= 359)
        StoreDesignValue(m_startingAngle, degrees);
}

void TSuperShape::SetSurfaceType(TSurfaceType type)
{
    if (type == m_surfaceType || type < stBrushTransparent || type > stGradientFill)
        return;
    m_surfaceType = type;
    if (IsLoading())
        return;
    m_fill.FollowSurfaceType(type == stBrushImage);
    switch (type) {
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
    case stGradientFill:
    case stBrushImage:
        break;
    }
    DesignChanged();
}

void TSuperShape::SetVectors(int count)
{
    if (count >= 3 && count <= 60)
        StoreDesignValue(m_vectors, count);
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
    m_fill.FitGradientTo(QSize(Width(), Height()));
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
