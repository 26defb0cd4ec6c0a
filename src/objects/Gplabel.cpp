#include "objects/Gplabel.h"

TGPLabel::TGPLabel(QObject *owner)
    : TGBaseLabel(owner)
{
}
