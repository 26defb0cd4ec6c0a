#pragma once

#include "surface/GGraphc.h"

// Paints the framed box that stands in for a kind whose own drawing is not
// there yet, naming the kind or tool.
void PaintPlaceholderBox(QPainter &painter, int width, int height, const QString &caption);

// A bare object painted as such a box (tests and tools without a kind of their own).
class TGPlaceholderObject : public TGGraphicControl
{
    Q_OBJECT

public:
    TGPlaceholderObject(QObject *owner, const QString &caption);
    QString Caption() const { return m_caption; }
    void Paint(QPainter &painter) override;

private:
    QString m_caption;
};
