#include "objects/Gpslabel.h"

TGSymbolLabel::TGSymbolLabel(QObject *owner)
    : TGBaseLabel(owner)
{
    Font()->SetName(QStringLiteral("WingDings"));
    Font()->SetSize(24);
    Font()->SetColor(0);
    SetCaption(QStringLiteral("["));
}

void TGSymbolLabel::AssignFont(const QFont &) {}
