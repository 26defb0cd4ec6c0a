#include "objects/Glines.h"

#include "objects/Placeholder.h"

TGLineShape::TGLineShape(QObject *owner)
    : TGGraphicControl(owner)
{
    SetCreationBounds(10, 10);
    m_pen.OnChange = [this] { DesignChanged(); };
}

const QStringList &TGLineShape::LineStyleIdentifiers()
{
    static const QStringList names{
        QStringLiteral("stHorizontal"),
        QStringLiteral("stVertical"),
        QStringLiteral("stAngleSlopingUp"),
        QStringLiteral("stAngleSlopingDown"),
    };
    return names;
}

void TGLineShape::SetLineStyle(TLineStyle style)
{
    if (style >= stHorizontal && style <= stAngleSlopingDown)
        StoreDesignValue(m_lineStyle, style);
}

void TGLineShape::SetPen(const TGPen &pen)
{
    // An equal pen is no change; a different one reports itself, once.
    m_pen.Assign(pen);
}

const TPropertyTable &TGLineShape::PropertyTable() const
{
    using T = TGLineShape;
    static const TPropertyTable table = [] {
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(props::Enum<T, TLineStyle>(QStringLiteral("LineStyle"), LineStyleIdentifiers(),
                                               &T::LineStyle, &T::SetLineStyle, stHorizontal));
        t.push_back(props::Object<T>(QStringLiteral("Pen"), &T::Pen));
        return t;
    }();
    return table;
}

void TGLineShape::Paint(QPainter &painter)
{
    PaintPlaceholderBox(painter, Width(), Height(), QStringLiteral("Line"));
}
