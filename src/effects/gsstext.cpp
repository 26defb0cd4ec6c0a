#include "effects/gsstext.h"

#include "objects/Placeholder.h"

#include <QFont>
#include <QScopedValueRollback>

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

const QStringList &TGSuperText::BorderStyleIdentifiers()
{
    static const QStringList names{QStringLiteral("bsNone"), QStringLiteral("bsSingle")};
    return names;
}

TGSuperText::TGSuperText(QObject *owner)
    : TGGraphicControl(owner)
{
    SetLoading(true); // the creation size is no move on the card
    SetBounds(0, 0, 142, 33);
    SetLoading(false);
    m_font.SetName(QStringLiteral("Arial"));
    m_font.SetSize(48);
    m_font.SetStyle(fsBold);
    m_font.SetColor(0);
    // The object sets its own font at creation, so the font is always stored.
    m_parentFont = false;
    m_font.OnChange = [this] { FontChanged(); };
    m_image.OnChange = [this] {
        if (!m_quietGroups)
            DesignChanged();
    };
}

void TGSuperText::DesignChanged()
{
    if (IsLoading())
        return;
    Repaint();
    ReportChange();
}

void TGSuperText::FontChanged()
{
    m_parentFont = false;
    m_layoutNeeded = true;
    if (!m_quietGroups)
        DesignChanged();
}

void TGSuperText::InvalidateGradient()
{
    if (m_surfaceType == stGradientFill)
        m_gradientPicture = QImage();
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
    if (depth == m_shadowDepth)
        return;
    m_shadowDepth = depth;
    UpdateShadowOffset();
    DesignChanged();
}

void TGSuperText::SetShadowOrientation(TShadowOrientation orientation)
{
    // A value outside the enumeration could not be written back; it is ignored.
    if (orientation == m_shadowOrientation || orientation < sdNone || orientation > sdDown)
        return;
    m_shadowOrientation = orientation;
    UpdateShadowOffset();
    DesignChanged();
}

void TGSuperText::SetShadowcolor(TColor color)
{
    if (color == m_shadowColor)
        return;
    m_shadowColor = color;
    DesignChanged();
}

void TGSuperText::SetBorderStyle(TBorderStyle style)
{
    if (style == m_borderStyle || (style != bsNone && style != bsSingle))
        return;
    m_borderStyle = style;
    m_layoutNeeded = true; // a border keeps the height from shrinking to the text
    DesignChanged();
}

void TGSuperText::SetControlTransparent(bool value)
{
    if (value == m_controlTransparent)
        return;
    m_controlTransparent = value;
    m_layoutNeeded = true;
    DesignChanged();
}

void TGSuperText::SetBGColor(TColor color)
{
    if (color == m_bgColor)
        return;
    m_bgColor = color;
    DesignChanged();
}

void TGSuperText::SetCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    m_layoutNeeded = true;
    DesignChanged();
}

static bool SameFont(const TGFont &a, const TGFont &b)
{
    return a.Color() == b.Color() && a.Height() == b.Height() && a.Name() == b.Name() &&
           a.Pitch() == b.Pitch() && a.Style() == b.Style();
}

void TGSuperText::SetFont(const TGFont &font)
{
    m_parentFont = false;
    if (SameFont(font, m_font))
        return;
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_font.Assign(font);
    }
    m_layoutNeeded = true;
    DesignChanged();
}

void TGSuperText::AssignFont(const QFont &font)
{
    Inherited::AssignFont(font);
    m_parentFont = false;
    TGFont before;
    before.Assign(m_font);
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_font.Assign(font);
    }
    if (SameFont(before, m_font))
        return;
    m_layoutNeeded = true;
    DesignChanged();
}

void TGSuperText::SetFillDirection(TFillDirection direction)
{
    if (direction == m_fillDirection || direction < gdUp || direction > gdRight)
        return;
    m_fillDirection = direction;
    InvalidateGradient();
    DesignChanged();
}

void TGSuperText::SetGradientToColor(TColor color)
{
    if (color == m_gradientToColor)
        return;
    m_gradientToColor = color;
    InvalidateGradient();
    DesignChanged();
}

void TGSuperText::SetGradientFromColor(TColor color)
{
    if (color == m_gradientFromColor)
        return;
    m_gradientFromColor = color;
    InvalidateGradient();
    DesignChanged();
}

void TGSuperText::SetImage(const TGBitmap *bitmap)
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

void TGSuperText::SetOutlineColor(TColor color)
{
    if (color == m_outlineColor)
        return;
    m_outlineColor = color;
    DesignChanged();
}

void TGSuperText::SetOutlineStyle(TPenStyle style)
{
    if (style == m_outlineStyle || style < psSolid || style > psInsideFrame)
        return;
    m_outlineStyle = style;
    DesignChanged();
}

void TGSuperText::SetOutlineWidth(int width)
{
    if (width == m_outlineWidth)
        return;
    m_outlineWidth = width;
    DesignChanged();
}

void TGSuperText::SetSurfaceType(TSurfaceType type)
{
    if (type == m_surfaceType || type < stNormal || type > stGradientFill)
        return;
    m_surfaceType = type;
    if (IsLoading())
        return;
    if (type != stBrushImage) {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_image.Clear();
    }
    if (type == stGradientFill)
        InvalidateGradient();
    // Transparent glyphs without an outline would vanish.
    if (type == stBrushTransparent && m_outlineStyle == psClear)
        m_outlineStyle = psSolid;
    DesignChanged();
}

void TGSuperText::SetLastBitmapFileNameandPath(const QString &path)
{
    if (path == m_lastBitmapFile)
        return;
    m_lastBitmapFile = path;
    if (!IsLoading())
        ReportChange();
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
    if (m_gradientPicture.size() != QSize(Width(), Height()))
        InvalidateGradient();
}

void TGSuperText::Loaded()
{
    Inherited::Loaded();
    UpdateShadowOffset();
    InvalidateGradient();
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
