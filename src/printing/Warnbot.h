#pragma once

#include "document/CardLayout.h"

#include <QDialog>
#include <QList>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;

// Whether the lowest cards chosen for printing reach into the strip at the
// bottom of the paper that the printer cannot print on, and by how much.
struct TBottomMarginCheck
{
    bool Due = false;
    // Paper height minus the bottom of the lowest chosen card (not below 0).
    double NeededMargin = 0.0;
    // The printer's unprintable bottom strip.
    double PrinterMargin = 0.0;
    // How far the lowest card runs into that strip.
    double Overlap = 0.0;
    // Chosen cards whose bottom lies in the strip.
    int CardsCut = 0;
};

// Paper height in inches of a paper code (1 Letter, 9 A4, 8 A3).
double PaperHeightInches(int papersize);

// Checks the chosen positions (index row x Across + column; positions past
// the selection count as chosen) of the layout, with the nudges applied as
// printing applies them, against the printer's bottom margin in inches.
TBottomMarginCheck CheckBottomMargin(const TCardLayout &layout, const TPrinterNudges &nudges,
                                     const QList<bool> &selection, double paperHeight,
                                     double printerBottomMargin);

// "ALERT": the warning before printing that the lowest cards may be cut off.
// Accepted with "Continue", rejected with "Cancel Printing"; the check box
// says whether to show it again.
class TWarnBottomMargin : public QDialog
{
    Q_OBJECT

public:
    explicit TWarnBottomMargin(const TBottomMarginCheck &check, QWidget *parent = nullptr);

    bool DontShowAgain() const;

    // The figures as the texts show them: three decimals; the needed margin
    // without trailing zeros ("0.5").
    static QString Figure(double inches);
    static QString TrimmedFigure(double inches);

    QLabel *BotMarg = nullptr;
    QLabel *Difference = nullptr;
    QCheckBox *DontShowCheck = nullptr;
    QPushButton *ContinueButton = nullptr;
    QPushButton *CancelPrintingButton = nullptr;
    QPushButton *Helpbutton = nullptr;
};
