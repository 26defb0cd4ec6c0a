#include "objects/Gpbasel.h"

#include "objects/Placeholder.h"

#include <QPainter>

TGBaseLabel::TGBaseLabel(QObject *owner)
    : TGGraphicControl(owner)
{
    // A new label is 142 x 33; the first bounds check after placing it only records.
    SetLoading(true);
    SetBounds(0, 0, 142, 33);
    SetLoading(false);
    m_font.SetName(QStringLiteral("Arial"));
    m_font.SetSize(10);
    m_font.SetColor(0);
    m_font.OnChange = [this] { FontChanged(); };
    // The label sets its own font, so the font is always stored.
    m_parentFont = false;
}

TPropertyTable TGBaseLabel::LabelProperties()
{
    using T = TGBaseLabel;
    using namespace props;
    TPropertyTable table = BaseProperties();
    const TPropertyTable own = {
        Enum<T, TAlignment>(QStringLiteral("Alignment"),
                            {QStringLiteral("taLeftJustify"), QStringLiteral("taRightJustify"),
                             QStringLiteral("taCenter")},
                            &T::Alignment, &T::SetAlignment, taLeftJustify),
        Integer<T>(QStringLiteral("DepthHighlight"), &T::DepthHighlight, &T::SetDepthHighlight, 0),
        Integer<T>(QStringLiteral("DepthShadow"), &T::DepthShadow, &T::SetDepthShadow, 0),
        Enum<T, THighlightDirection>(QStringLiteral("DirectionHighlight"),
                                     {QStringLiteral("hdNone"), QStringLiteral("hdright"),
                                      QStringLiteral("hdLeft"), QStringLiteral("hdUpRight"),
                                      QStringLiteral("hdUpLeft"), QStringLiteral("hdUp")},
                                     &T::DirectionHighlight, &T::SetDirectionHighlight, hdUpLeft),
        Enum<T, TShadowDirection>(QStringLiteral("DirectionShadow"),
                                  {QStringLiteral("sdNone"), QStringLiteral("sdRight"),
                                   QStringLiteral("sdLeft"), QStringLiteral("sdDownRight"),
                                   QStringLiteral("sdDownLeft"), QStringLiteral("sdDown")},
                                  &T::DirectionShadow, &T::SetDirectionShadow, sdDownRight),
        Color<T>(QStringLiteral("colorHighlight"), &T::ColorHighlight, &T::SetColorHighlight,
                 16776960),
        Color<T>(QStringLiteral("colorShadow"), &T::ColorShadow, &T::SetColorShadow, 8421504),
        Integer<T>(QStringLiteral("Angle"), &T::Angle, &T::SetAngle, 0),
        String<T>(QStringLiteral("Caption"), &T::Caption, &T::SetCaption),
        StoredWhen(Object<T>(QStringLiteral("Font"), &T::Font),
                   [](const TPersistent &p) { return !As<T>(p).ParentFont(); }),
        Boolean<T>(QStringLiteral("Transparent"), &T::Transparent, &T::SetTransparent),
        Color<T>(QStringLiteral("BackColor"), &T::BackColor, &T::SetBackColor),
        Enum<T, TBorderStyle>(QStringLiteral("BorderStyle"),
                              {QStringLiteral("bsNone"), QStringLiteral("bsSingle")},
                              &T::BorderStyle, &T::SetBorderStyle),
    };
    table.insert(table.end(), own.begin(), own.end());
    return table;
}

const TPropertyTable &TGBaseLabel::PropertyTable() const
{
    static const TPropertyTable table = LabelProperties();
    return table;
}

void TGBaseLabel::Changed(bool report)
{
    if (IsLoading())
        return;
    Repaint();
    if (report)
        ReportChange();
}

void TGBaseLabel::FontChanged()
{
    m_parentFont = false;
    m_layoutNeeded = true;
    if (IsLoading())
        return;
    ReportChange();
    Repaint();
}

void TGBaseLabel::SetAlignment(TAlignment value)
{
    if (value < taLeftJustify || value > taCenter || value == m_alignment)
        return;
    m_alignment = value;
    m_layoutNeeded = true;
    Changed(true);
}

void TGBaseLabel::UpdateShadowOffset()
{
    const int d = m_depthShadow;
    switch (m_directionShadow) {
    case sdNone:
        m_shadowOffset = QPoint(0, 0);
        break;
    case sdRight:
        m_shadowOffset = QPoint(d, 0);
        break;
    case sdLeft:
        m_shadowOffset = QPoint(-d, 0);
        break;
    case sdDownRight:
        m_shadowOffset = QPoint(d, d);
        break;
    case sdDownLeft:
        m_shadowOffset = QPoint(-d, d);
        break;
    case sdDown:
        m_shadowOffset = QPoint(0, d);
        break;
    }
}

void TGBaseLabel::UpdateHighlightOffset()
{
    const int d = m_depthHighlight;
    switch (m_directionHighlight) {
    case hdNone:
        m_highlightOffset = QPoint(0, 0);
        break;
    case hdright:
        m_highlightOffset = QPoint(d, 0);
        break;
    case hdLeft:
        m_highlightOffset = QPoint(-d, 0);
        break;
    case hdUpRight:
        m_highlightOffset = QPoint(d, -d);
        break;
    case hdUpLeft:
        m_highlightOffset = QPoint(-d, -d);
        break;
    case hdUp:
        m_highlightOffset = QPoint(0, -d);
        break;
    }
}

// Depth and direction change the look, not the design's content: no report.
void TGBaseLabel::SetDepthHighlight(int value)
{
    if (value == m_depthHighlight)
        return;
    m_depthHighlight = value;
    UpdateHighlightOffset();
    m_layoutNeeded = true;
    Changed(false);
}

void TGBaseLabel::SetDepthShadow(int value)
{
    if (value == m_depthShadow)
        return;
    m_depthShadow = value;
    UpdateShadowOffset();
    m_layoutNeeded = true;
    Changed(false);
}

void TGBaseLabel::SetDirectionHighlight(THighlightDirection value)
{
    if (value < hdNone || value > hdUp || value == m_directionHighlight)
        return;
    m_directionHighlight = value;
    UpdateHighlightOffset();
    m_layoutNeeded = true;
    Changed(false);
}

void TGBaseLabel::SetDirectionShadow(TShadowDirection value)
{
    if (value < sdNone || value > sdDown || value == m_directionShadow)
        return;
    m_directionShadow = value;
    UpdateShadowOffset();
    m_layoutNeeded = true;
    Changed(false);
}

void TGBaseLabel::SetColorHighlight(TColor value)
{
    if (value == m_colorHighlight)
        return;
    m_colorHighlight = value;
    Changed(false);
}

void TGBaseLabel::SetColorShadow(TColor value)
{
    if (value == m_colorShadow)
        return;
    m_colorShadow = value;
    Changed(false);
}

void TGBaseLabel::SetAngle(int value)
{
    if (value != 0 && value != 90 && value != 180 && value != 270)
        return;
    if (value == m_angle)
        return;
    m_angle = value;
    m_layoutNeeded = true;
    if (IsLoading())
        return;
    if (value != 0)
        m_alignment = taLeftJustify;
    const bool upright = value == 0 || value == 180;
    if ((upright && Height() > Width()) || (!upright && Width() > Height()))
        SetBounds(Left(), Top(), Height(), Width());
    Repaint();
}

void TGBaseLabel::SetCaption(const QString &value)
{
    if (value == m_caption)
        return;
    m_caption = value;
    Changed(true);
}

void TGBaseLabel::SetTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    Changed(true);
}

void TGBaseLabel::SetBackColor(TColor value)
{
    if (value == m_backColor)
        return;
    m_backColor = value;
    Changed(true);
}

void TGBaseLabel::SetBorderStyle(TBorderStyle value)
{
    if (value < bsNone || value > bsSingle || value == m_borderStyle)
        return;
    m_borderStyle = value;
    Changed(true);
}

void TGBaseLabel::BoundsChanged()
{
    TGGraphicControl::BoundsChanged();
    m_layoutNeeded = true;
    if (Width() <= 0 || Height() <= 0)
        SetBounds(Left(), Top(), std::max(1, Width()), std::max(1, Height()));
}

void TGBaseLabel::AssignFont(const QFont &font)
{
    m_font.Assign(font);
    m_layoutNeeded = true;
}

void TGBaseLabel::Loaded()
{
    TGGraphicControl::Loaded();
    UpdateShadowOffset();
    UpdateHighlightOffset();
    m_layoutNeeded = true;
}

void TGBaseLabel::Paint(QPainter &painter)
{
    PaintPlaceholderBox(painter, Width(), Height(), m_caption);
}
