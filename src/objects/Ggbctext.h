#pragma once

#include "objects/Ggettext.h"

#include <QStringList>

class QComboBox;

// The text dialog of the card surface's text label: the edit field plus a
// list of the non-empty personal information values to pick from.
class TGetBCLabelText : public TGetLabelText
{
    Q_OBJECT

public:
    // personalInfo: the ten values in the surface's order; empty ones are left out.
    explicit TGetBCLabelText(const QStringList &personalInfo, QWidget *mainWindow = nullptr);

    QLabel *Label2 = nullptr;
    QComboBox *cbPersonalInfo = nullptr;
};
