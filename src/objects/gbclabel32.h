#pragma once

#include "objects/Gplabel.h"

// The text object of the card surface's text tool; it also offers the
// personal information as ready-made captions.
class TGBusinessCardLabel : public TGPLabel
{
    Q_OBJECT

public:
    using Inherited = TGPLabel;

    explicit TGBusinessCardLabel(QObject *owner = nullptr);
};
