#include "objects/Gprichl.h"

#include "objects/Placeholder.h"

#include <QScopedValueRollback>

TGPRichBaseLabel::TGPRichBaseLabel(QObject *owner)
    : TGGraphicControl(owner)
{
    SetLoading(true); // the creation size is no move on the card
    SetBounds(0, 0, 190, 33);
    SetLoading(false);
    m_rtfText.OnChange = [this] {
        if (!m_quietGroups)
            DesignChanged();
    };
}

const QStringList &TGPRichBaseLabel::BorderStyleIdentifiers()
{
    static const QStringList names{QStringLiteral("bsNone"), QStringLiteral("bsSingle")};
    return names;
}

void TGPRichBaseLabel::DesignChanged()
{
    if (IsLoading())
        return;
    Repaint();
    ReportChange();
}

void TGPRichBaseLabel::SetRTFText(const QByteArray &rtf)
{
    if (rtf == m_rtfText.Rtf())
        return;
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_rtfText.SetRtf(rtf);
    }
    DesignChanged();
}

void TGPRichBaseLabel::SetBorderStyle(TBorderStyle style)
{
    if (style == m_borderStyle || (style != bsNone && style != bsSingle))
        return;
    m_borderStyle = style;
    DesignChanged();
}

void TGPRichBaseLabel::SetTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    DesignChanged();
}

void TGPRichBaseLabel::SetBGColor(TColor color)
{
    if (color == m_bgColor)
        return;
    m_bgColor = color;
    DesignChanged();
}

const TPropertyTable &TGPRichBaseLabel::PropertyTable() const
{
    using T = TGPRichBaseLabel;
    static const TPropertyTable table = [] {
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(props::Object<T>(QStringLiteral("RTFText"), &T::RTFText));
        t.push_back(props::Enum<T, TBorderStyle>(QStringLiteral("BorderStyle"),
                                                 BorderStyleIdentifiers(), &T::BorderStyle,
                                                 &T::SetBorderStyle));
        t.push_back(
            props::Boolean<T>(QStringLiteral("Transparent"), &T::Transparent, &T::SetTransparent));
        t.push_back(props::Color<T>(QStringLiteral("BGColor"), &T::BGColor, &T::SetBGColor));
        return t;
    }();
    return table;
}

void TGPRichBaseLabel::Paint(QPainter &painter)
{
    PaintPlaceholderBox(painter, Width(), Height(), QStringLiteral("Rich text"));
}
