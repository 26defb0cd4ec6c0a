#include "objects/Gpmlabel.h"

TGMultiLineLabel::TGMultiLineLabel(QObject *owner)
    : TGMultiLineBaseLabel(owner)
{
}
