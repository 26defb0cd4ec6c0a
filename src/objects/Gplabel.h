#pragma once

#include "objects/Gpbasel.h"

// The text label with its own text dialog and rotation menu; the 3-D effects
// dialog previews with one.
class TGPLabel : public TGBaseLabel
{
    Q_OBJECT

public:
    using Inherited = TGBaseLabel;

    explicit TGPLabel(QObject *owner = nullptr);
};
