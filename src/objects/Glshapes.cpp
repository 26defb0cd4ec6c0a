#include "objects/Glshapes.h"

#include "objects/Placeholder.h"

#include <QScopedValueRollback>

TGLabelShapes::TGLabelShapes(QObject *owner)
    : TGGraphicControl(owner)
{
    SetCreationBounds(25, 25);
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

// An equal brush or pen is no change; a different one reports itself, once,
// through GroupChanged.
void TGLabelShapes::SetBrush(const TGBrush &brush)
{
    m_brush.Assign(brush);
}

void TGLabelShapes::SetPen(const TGPen &pen)
{
    m_pen.Assign(pen);
}

void TGLabelShapes::SetShape(TShapeType shape)
{
    if (shape >= stRectangle && shape <= stCircle)
        StoreDesignValue(m_shape, shape);
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
