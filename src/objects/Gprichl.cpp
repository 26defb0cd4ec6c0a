#include "objects/Gprichl.h"

#include "objects/Placeholder.h"

TGPRichBaseLabel::TGPRichBaseLabel(QObject *owner)
    : TGGraphicControl(owner)
{
    SetCreationBounds(190, 33);
    m_rtfText.OnChange = [this] { DesignChanged(); };
}

void TGPRichBaseLabel::SetRTFText(const QByteArray &rtf)
{
    // Equal text is no change; other text reports itself, once.
    m_rtfText.SetRtf(rtf);
}

void TGPRichBaseLabel::SetBorderStyle(TBorderStyle style)
{
    if (style == bsNone || style == bsSingle)
        StoreDesignValue(m_borderStyle, style);
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
