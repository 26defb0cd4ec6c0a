#pragma once

#include "objects/Gpmbasel.h"

class QAction;

// The multi-line label that the surface's multi-line tool creates; its text
// editor and word-wrap toggle come on top of the base's data.
class TGMultiLineLabel : public TGMultiLineBaseLabel
{
    Q_OBJECT

public:
    using Inherited = TGMultiLineBaseLabel;

    explicit TGMultiLineLabel(QObject *owner = nullptr);

    // Opens the text editor on the lines; true when the user pressed OK.
    bool EditText();
    void ToggleWordWrap();

    void BuildObjectMenu() override;
    void RefreshMenu() override;

private:
    QAction *m_wordWrapItem = nullptr;
};
