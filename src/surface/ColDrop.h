#pragma once

#include "graphics/Colors.h"

#include <QComboBox>
#include <QString>
#include <vector>

// A selection-only list of 18 named colours, each shown with a swatch. Two
// names share a value (Silver and Light Gray, Gray and Dark Gray); setting a
// colour selects the first entry with that value.
class TColorDropDown : public QComboBox
{
    Q_OBJECT

public:
    struct TEntry
    {
        QString name;
        TColor value;
    };
    static const std::vector<TEntry> &Entries();

    explicit TColorDropDown(QWidget *parent = nullptr);

    // The colour of the selected entry (black while nothing is selected).
    TColor Color() const;
    // Selects the first entry of that value; a colour not listed leaves the
    // selection as it is.
    void SetColor(TColor color);

Q_SIGNALS:
    // The user or the program selected another entry.
    void ColorChanged(TColor color);

private:
    TColor m_color = 0;
};
