#pragma once

#include "graphics/Picture.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QRegion>
#include <QSize>

class QPainter;
class TCardModel;
class TGGraphicControl;

enum TLabelShapeType { lsRectangle, lsRoundRect, lsEllipse };
enum TGridSize { gs4x4, gs8x8 };

// How the card itself looks behind its objects.
struct TCardLook
{
    TLabelShapeType Shape = lsRoundRect;
    bool DrawOutline = true;
    bool ShowGrid = false;
    TGridSize Grid = gs4x4;
    const TPicture *Picture = nullptr; // under the art; may be null
    const TPicture *Art = nullptr;     // the background art; may be null
    // Radius of a rectangle's corners in pixels (a card stock's round
    // corners); outside them is off the card. 0: square.
    double CornerRadius = 0.0;
};

// The card's background (white, the pictures clipped to the card's shape, the
// outline, the grid dots) at the given size in pixels, or only the given part
// of it (an image of that part's size).
QImage RenderCardBackground(const TCardLook &look, QSize size, const QRect &exposed = QRect());

// Paints the visible objects in order, each translated to its place and
// clipped to its bounds; with an exposed region, only those that meet it.
void PaintCardObjects(QPainter &painter, const QList<TGGraphicControl *> &objects,
                      const QRegion &exposed = QRegion());

// The card of a model as the design surface shows it without selection, at
// the given zoom, the card being cardSize pixels at 100 %: tessaro-batch's
// picture of a card, drawn without any window. The model's objects are shown
// at that zoom from then on.
QImage RenderCard(TCardModel &model, const TCardLook &look, QSize cardSize, float zoom);
