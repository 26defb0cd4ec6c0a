#pragma once

#include "objects/Gpmbasel.h"

// The multi-line label that the surface's multi-line tool creates; its text
// editor and word-wrap toggle come on top of the base's data.
class TGMultiLineLabel : public TGMultiLineBaseLabel
{
    Q_OBJECT

public:
    using Inherited = TGMultiLineBaseLabel;

    explicit TGMultiLineLabel(QObject *owner = nullptr);
};
