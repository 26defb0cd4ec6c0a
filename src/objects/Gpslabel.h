#pragma once

#include "objects/Gpbasel.h"

// One character of a symbol font ("WingDings" by default) as a label.
class TGSymbolLabel : public TGBaseLabel
{
    Q_OBJECT

public:
    using Inherited = TGBaseLabel;

    explicit TGSymbolLabel(QObject *owner = nullptr);

    // A symbol keeps its own font when the surface applies one to objects.
    void AssignFont(const QFont &font) override;
};
