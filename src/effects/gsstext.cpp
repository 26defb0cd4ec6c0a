#include "effects/gsstext.h"

#include "effects/Gsshape.h"
#include "objects/Placeholder.h"

#include <QFont>

const QStringList &TGSuperText::SurfaceTypeIdentifiers()
{
    static const QStringList names{
        QStringLiteral("stNormal"),
        QStringLiteral("stBrushTransparent"),
        QStringLiteral("stBrushImage"),
        QStringLiteral("stGradientFill"),
    };
    return names;
}

const QStringList &TGSuperText::ShadowOrientationIdentifiers()
{
    static const QStringList names{
        QStringLiteral("sdNone"),      QStringLiteral("sdRight"),    QStringLiteral("sdLeft"),
        QStringLiteral("sdDownRight"), QStringLiteral("sdDownLeft"), QStringLiteral("sdDown"),
    };
    return names;
}

TGSuperText::TGSuperText(QObject *owner)
    : TGGraphicControl(owner)
    , m_fill([this] { return m_surfaceType == stGradientFill; }, 0xFF0000, 0x00FFFF, gdRight)
{
    SetCreationBounds(142, 33);
    m_font.SetName(QStringLiteral("Arial"));
    m_font.SetSize(48);
    m_font.SetStyle(fsBold);
    m_font.SetColor(0);
    // The object sets its own font at creation, so the font is always stored.
    m_parentFont = false;
    m_font.OnChange = [this] { FontChanged(); };
    m_fill.OnChange = [this] { DesignChanged(); };
    m_fill.OnFileChange = [this] {
        if (!IsLoading())
            ReportChange();
    };
}

void TGSuperText::FontChanged()
{
    m_parentFont = false;
    m_layoutNeeded = true;
    DesignChanged();
}

void TGSuperText::UpdateShadowOffset()
{
    // Unit steps of each direction, scaled by the depth.
    static constexpr int steps[][2] = {{0, 0}, {1, 0}, {-1, 0}, {1, 1}, {-1, 1}, {0, 1}};
    const auto &step = steps[m_shadowOrientation];
    m_shadowDx = step[0] * m_shadowDepth;
    m_shadowDy = step[1] * m_shadowDepth;
    m_layoutNeeded = true;
}

void TGSuperText::SetShadowDepth(int depth)
{
    StoreDesignValue(m_shadowDepth, depth, [this] { UpdateShadowOffset(); });
}

void TGSuperText::SetShadowOrientation(TShadowOrientation orientation)
{
    // A value outside the enumeration could not be written back; it is ignored.
    if (orientation >= sdNone && orientation <= sdDown)
        StoreDesignValue(m_shadowOrientation, orientation, [this] { UpdateShadowOffset(); });
}

void TGSuperText::SetBorderStyle(TBorderStyle style)
{
    // A border keeps the height from shrinking to the text.
    if (style == bsNone || style == bsSingle)
        StoreDesignValue(m_borderStyle, style, [this] { m_layoutNeeded = true; });
}

void TGSuperText::SetControlTransparent(bool value)
{
    StoreDesignValue(m_controlTransparent, value, [this] { m_layoutNeeded = true; });
}

void TGSuperText::SetCaption(const QString &caption)
{
    StoreDesignValue(m_caption, caption, [this] { m_layoutNeeded = true; });
}

// Setting the font turns ParentFont off even when nothing else changes; a
// real change reports itself through FontChanged.
void TGSuperText::SetFont(const TGFont &font)
{
    m_parentFont = false;
    m_font.Assign(font);
}

void TGSuperText::AssignFont(const QFont &font)
{
    Inherited::AssignFont(font);
    m_parentFont = false;
    m_font.Assign(font);
}

void TGSuperText::SetOutlineStyle(TPenStyle style)
{
    if (style >= psSolid && style <= psInsideFrame)
        StoreDesignValue(m_outlineStyle, style);
}

void TGSuperText::SetSurfaceType(TSurfaceType type)
{
    if (type == m_surfaceType || type < stNormal || type > stGradientFill)
        return;
    m_surfaceType = type;
    if (IsLoading())
        return;
    m_fill.FollowSurfaceType(type == stBrushImage);
    // Transparent glyphs without an outline would vanish.
    if (type == stBrushTransparent && m_outlineStyle == psClear)
        m_outlineStyle = psSolid;
    DesignChanged();
}

void TGSuperText::CopyProperties(const TGSuperText &other)
{
    SetCaption(other.Caption());
    {
        // The font's attributes are taken as they are, without a new layout.
        const bool layoutNeeded = m_layoutNeeded;
        m_font.Assign(other.FontData());
        m_layoutNeeded = layoutNeeded;
    }
    SetControlTransparent(other.ControlTransparent());
    SetBGColor(other.BGColor());
    SetBorderStyle(other.BorderStyle());
    SetCaption(other.Caption());
    SetGradientFromColor(other.GradientFromColor());
    SetFillDirection(other.FillDirection());
    SetGradientToColor(other.GradientToColor());
    SetImage(&other.ImageBitmap());
    SetOutlineColor(other.OutlineColor());
    SetOutlineStyle(other.OutlineStyle());
    SetOutlineWidth(other.OutlineWidth());
    SetShadowcolor(other.Shadowcolor());
    SetShadowDepth(other.ShadowDepth());
    SetShadowOrientation(other.ShadowOrientation());
    SetSurfaceType(other.SurfaceType());
    SetBounds(Left(), Top(), other.Width(), other.Height());
}

void TGSuperText::BoundsChanged()
{
    Inherited::BoundsChanged();
    m_layoutNeeded = true;
    if (Width() <= 0 || Height() <= 0) {
        SetBounds(Left(), Top(), std::max(1, Width()), std::max(1, Height()));
        return;
    }
    m_fill.FitGradientTo(QSize(Width(), Height()));
}

void TGSuperText::Loaded()
{
    Inherited::Loaded();
    UpdateShadowOffset();
    m_fill.InvalidateGradient();
}

const TPropertyTable &TGSuperText::PropertyTable() const
{
    using T = TGSuperText;
    static const TPropertyTable table = [] {
        using namespace props;
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(
            Integer<T>(QStringLiteral("ShadowDepth"), &T::ShadowDepth, &T::SetShadowDepth, 0));
        t.push_back(Enum<T, TShadowOrientation>(
            QStringLiteral("ShadowOrientation"), ShadowOrientationIdentifiers(),
            &T::ShadowOrientation, &T::SetShadowOrientation, sdDownRight));
        t.push_back(
            Color<T>(QStringLiteral("Shadowcolor"), &T::Shadowcolor, &T::SetShadowcolor, 8421504));
        t.push_back(Enum<T, TBorderStyle>(QStringLiteral("BorderStyle"), BorderStyleIdentifiers(),
                                          &T::BorderStyle, &T::SetBorderStyle));
        t.push_back(Boolean<T>(QStringLiteral("ControlTransparent"), &T::ControlTransparent,
                               &T::SetControlTransparent));
        t.push_back(Color<T>(QStringLiteral("BGColor"), &T::BGColor, &T::SetBGColor));
        t.push_back(String<T>(QStringLiteral("Caption"), &T::Caption, &T::SetCaption));
        t.push_back(StoredWhen(Object<T>(QStringLiteral("Font"), &T::Font),
                               [](const TPersistent &p) { return !As<T>(p).ParentFont(); }));
        t.push_back(Enum<T, TFillDirection>(QStringLiteral("FillDirection"),
                                            FillDirectionIdentifiers(), &T::FillDirection,
                                            &T::SetFillDirection));
        t.push_back(Color<T>(QStringLiteral("GradientToColor"), &T::GradientToColor,
                             &T::SetGradientToColor));
        t.push_back(Color<T>(QStringLiteral("GradientFromColor"), &T::GradientFromColor,
                             &T::SetGradientFromColor));
        t.push_back(Object<T>(QStringLiteral("Image"), &T::Image));
        t.push_back(
            Color<T>(QStringLiteral("OutlineColor"), &T::OutlineColor, &T::SetOutlineColor));
        t.push_back(Enum<T, TPenStyle>(QStringLiteral("OutlineStyle"),
                                       TSuperShape::PenStyleIdentifiers(), &T::OutlineStyle,
                                       &T::SetOutlineStyle));
        t.push_back(
            Integer<T>(QStringLiteral("OutlineWidth"), &T::OutlineWidth, &T::SetOutlineWidth));
        t.push_back(Enum<T, TSurfaceType>(QStringLiteral("SurfaceType"), SurfaceTypeIdentifiers(),
                                          &T::SurfaceType, &T::SetSurfaceType));
        t.push_back(String<T>(QStringLiteral("LastBitmapFileNameandPath"),
                              &T::LastBitmapFileNameandPath, &T::SetLastBitmapFileNameandPath));
        return t;
    }();
    return table;
}

void TGSuperText::Paint(QPainter &painter)
{
    PaintPlaceholderBox(painter, Width(), Height(), QStringLiteral("Super text"));
}
