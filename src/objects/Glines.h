#pragma once

#include "document/Groups.h"
#include "surface/GGraphc.h"

#include <QStringList>
#include <array>

// A horizontal, vertical or diagonal line across the object's bounds.
class TGLineShape : public TGGraphicControl
{
    Q_OBJECT

public:
    using Inherited = TGGraphicControl;

    // A horizontal line runs along the top of the bounds, a vertical one along
    // the left side; the sloping kinds run corner to corner.
    enum TLineStyle { stHorizontal, stVertical, stAngleSlopingUp, stAngleSlopingDown };
    static const QStringList &LineStyleIdentifiers();

    explicit TGLineShape(QObject *owner = nullptr);

    TLineStyle LineStyle() const { return m_lineStyle; }
    void SetLineStyle(TLineStyle style);

    TGPen *Pen() { return &m_pen; }
    void SetPen(const TGPen &pen); // copies every attribute

    const TPropertyTable &PropertyTable() const override;
    void Paint(QPainter &painter) override;
    void PrintTo(TBaseReport *report, double x, double y) override;
    void RefreshMenu() override;

    // The menu's actions.
    void ChooseColor(); // the standard colour dialog
    void SetThicknessFromMenu(int width);
    // A horizontal line takes the surface's width, a vertical one its height;
    // diagonals and lines on no surface stay as they are.
    void StretchToEdges();

protected:
    void BuildObjectMenu() override;

private:
    TLineStyle m_lineStyle = stHorizontal;
    TGPen m_pen;
    std::array<QAction *, 4> m_styleItems{};
    std::array<QAction *, 10> m_thicknessItems{};
};
