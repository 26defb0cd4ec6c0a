#pragma once

#include "objects/Glshapes.h"

// The shape the card surface's rectangle, ellipse and rounded rectangle tools
// create; it behaves exactly as TGLabelShapes.
class TBCShapes : public TGLabelShapes
{
    Q_OBJECT

public:
    using Inherited = TGLabelShapes;

    explicit TBCShapes(QObject *owner = nullptr);
};
