#include "objects/Glines.h"

#include "objects/Placeholder.h"

#include <QScopedValueRollback>

TGLineShape::TGLineShape(QObject *owner)
    : TGGraphicControl(owner)
{
    SetLoading(true); // the creation size is no move on the card
    SetBounds(0, 0, 10, 10);
    SetLoading(false);
    m_pen.OnChange = [this] {
        if (!m_quietGroups)
            DesignChanged();
    };
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

void TGLineShape::DesignChanged()
{
    if (IsLoading())
        return;
    Repaint();
    ReportChange();
}

void TGLineShape::SetLineStyle(TLineStyle style)
{
    if (style == m_lineStyle || style < stHorizontal || style > stAngleSlopingDown)
        return;
    m_lineStyle = style;
    DesignChanged();
}

void TGLineShape::SetPen(const TGPen &pen)
{
    if (pen.Color() == m_pen.Color() && pen.Mode() == m_pen.Mode() &&
        pen.Style() == m_pen.Style() && pen.Width() == m_pen.Width())
        return;
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_pen.Assign(pen);
    }
    DesignChanged();
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
