#include "objects/Glshapes.h"

#include "objects/Placeholder.h"

#include <QScopedValueRollback>

TGLabelShapes::TGLabelShapes(QObject *owner)
    : TGGraphicControl(owner)
{
    // The creation size is no move on the card: keep the first bounds check
    // for the placing.
    SetLoading(true);
    SetBounds(0, 0, 25, 25);
    SetLoading(false);
    m_brush.OnChange = [this] { GroupChanged(); };
    m_pen.OnChange = [this] { GroupChanged(); };
}

const QStringList &TGLabelShapes::ShapeTypeIdentifiers()
{
    static const QStringList names{
        QStringLiteral("stRectangle"),   QStringLiteral("stSquare"),  QStringLiteral("stRoundRect"),
        QStringLiteral("stRoundSquare"), QStringLiteral("stEllipse"), QStringLiteral("stCircle"),
    };
    return names;
}

void TGLabelShapes::DesignChanged()
{
    if (IsLoading())
        return;
    Repaint();
    ReportChange();
}

void TGLabelShapes::GroupChanged()
{
    if (!m_quietGroups)
        DesignChanged();
}

void TGLabelShapes::SetTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    // While reading, Brush.Style follows in the stream and is taken as stored.
    if (IsLoading())
        return;
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_brush.SetStyle(value ? bsClear : bsSolid);
    }
    DesignChanged();
}

void TGLabelShapes::SetBrush(const TGBrush &brush)
{
    if (brush.Color() == m_brush.Color() && brush.Style() == m_brush.Style())
        return;
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_brush.Assign(brush);
    }
    DesignChanged();
}

void TGLabelShapes::SetPen(const TGPen &pen)
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

void TGLabelShapes::SetRoundPerc(int percent)
{
    if (percent == m_roundPerc)
        return;
    m_roundPerc = percent;
    DesignChanged();
}

void TGLabelShapes::SetShape(TShapeType shape)
{
    if (shape == m_shape || shape < stRectangle || shape > stCircle)
        return;
    m_shape = shape;
    DesignChanged();
}

const TPropertyTable &TGLabelShapes::PropertyTable() const
{
    using T = TGLabelShapes;
    static const TPropertyTable table = [] {
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(
            props::Boolean<T>(QStringLiteral("Transparent"), &T::Transparent, &T::SetTransparent));
        t.push_back(props::Object<T>(QStringLiteral("Brush"), &T::Brush));
        t.push_back(props::Object<T>(QStringLiteral("Pen"), &T::Pen));
        t.push_back(
            props::Integer<T>(QStringLiteral("RoundPerc"), &T::RoundPerc, &T::SetRoundPerc, 25));
        t.push_back(props::Enum<T, TShapeType>(QStringLiteral("Shape"), ShapeTypeIdentifiers(),
                                               &T::Shape, &T::SetShape, stRectangle));
        return t;
    }();
    return table;
}

void TGLabelShapes::Paint(QPainter &painter)
{
    PaintPlaceholderBox(painter, Width(), Height(), QStringLiteral("Shape"));
}
