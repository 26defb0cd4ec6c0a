#include "objects/gbclabel32.h"

TGBusinessCardLabel::TGBusinessCardLabel(QObject *owner)
    : TGPLabel(owner)
{
}
