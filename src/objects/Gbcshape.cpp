#include "objects/Gbcshape.h"

TBCShapes::TBCShapes(QObject *owner)
    : TGLabelShapes(owner)
{
}
