#pragma once

#include <QLocale>
#include <QPointF>
#include <QSizeF>
#include <QString>

// A layout or nudge value that cannot be used: the field (its name is the
// preference key it is stored under) and why, in the words the layout dialog
// uses for what is typed into it.
struct TLayoutProblem
{
    QString Key;
    QString Message;
    bool IsNone() const { return Key.isEmpty(); }
};

// Longest length of the layout either way, in inches. The program prints on
// Letter or A4 paper, neither longer than 12 inches: a larger card, a pitch
// that puts the next card past the sheet or a margin past it prints nothing
// sensible. The layout dialog's length fields take this range.
inline constexpr double kMaxLayoutInches = 12.0;
// Most positions across and down (the layout dialog's count fields).
inline constexpr int kMaxLayoutAcross = 10;
inline constexpr int kMaxLayoutDown = 30;
// Largest printer nudge either way, in 1/32 inch (10 inches).
inline constexpr int kMaxPrinterNudge = 320;

// Printer nudges, in 1/32 inch.
struct TPrinterNudges
{
    int TopMarginNudge = 0;
    int LeftMarginNudge = 0;
    int VerticalSpacing = 0;
    int HorizontalSpacing = 0;

    // None when every nudge is within kMaxPrinterNudge either way.
    TLayoutProblem Check() const;

    bool operator==(const TPrinterNudges &) const = default;
};

// How a printer prints the back of a two-sided design: the nudges of the
// back page (as seen on the back), the edge the sheet turns over, and for a
// printer without a duplex unit how the sheets go back into its tray.
struct TDuplexSettings
{
    TPrinterNudges BackNudges;
    // Turned over the short edge (rows mirrored) rather than the long one
    // (columns mirrored).
    bool ShortEdge = false;
    // The sheets are turned by hand even where the printer could turn them.
    bool Manual = false;
    // The printer prints on the side of the sheet that faces up in its tray.
    bool FeedFaceUp = false;

    bool operator==(const TDuplexSettings &) const = default;
};

// The sheet of card stock: card size, the grid of positions and the paper.
// Lengths are inches held as 32-bit floats, as the preferences file and the
// printing code expect them.
struct TCardLayout
{
    float Height = 2.0f;
    float Width = 3.5f;
    int Across = 2;
    int Down = 5;
    float TopMargin = 0.5f;
    float LeftMargin = 0.75f;
    float HPitch = 3.5f;
    float VPitch = 2.0f;
    int PredefLayout = 0; // -1: a layout of the user's own ("Custom")
    int Papersize = 1;    // printer paper code: 1 Letter, 9 A4, 8 A3
    bool UseMM = false;
    // Radius of the card's corners in inches (0: square), from a card stock.
    float CornerRadius = 0.0f;
    // The name of the card stock the layout was chosen from ("Geha P68");
    // empty for a layout of the user's own.
    QString Stock;

    static constexpr int PaperLetter = 1;
    static constexpr int PaperA3 = 8;
    static constexpr int PaperA4 = 9;
    static constexpr int PredefinedCount = 14;

    // A predefined layout (2 across, 5 down, pitches equal to the card size)
    // with PredefLayout set to its index. Out-of-range indexes give entry 0.
    static const TCardLayout &PredefinedLayout(int index);
    // The text the layout dialog lists it under; empty when out of range.
    static QString PredefinedLayoutName(int index);

    // Top-left corner of the position in column col and row row, in inches
    // from the paper's top-left corner (printer nudges not included).
    QPointF PositionCorner(int col, int row) const;
    // Positions are numbered row by row, left to right.
    int PositionIndex(int col, int row) const { return row * Across + col; }

    // The layout dialog's checks without the dialog, for a record that comes
    // from elsewhere (TSC.INI): every length within the range its field
    // takes, the counts within their spin fields' ranges, then the rules of
    // ValidCard. None when the dialog would accept the record. Whether the
    // cards fit the paper is not checked: a stored layout that runs past the
    // sheet is kept as the user saved it.
    TLayoutProblem Check() const;
    // The rules of the layout dialog's ValidCard, in its order (card height
    // and width, then pitches not smaller than the card): the first that
    // fails, with the field it is about; none when all hold.
    TLayoutProblem CheckCardRules() const;
    // Why the card or the grid of positions does not fit on the paper of
    // Papersize (Letter, A4 or A3; another code is not checked), with lengths in
    // inches or millimetres; empty when every position lies on the paper.
    QString PaperFitMessage(bool millimetres = false) const;
    // The length, in inches, the layout's paper is across and down; an
    // empty size for a code that is not Letter, A4 or A3.
    QSizeF PaperInches() const;
    // The same sheet: lengths equal to the thousandth of an inch the
    // preferences file keeps, the same counts and paper (name, corners and
    // unit display aside).
    bool SameSheet(const TCardLayout &other) const;

    bool operator==(const TCardLayout &) const = default;
};

// The numbers of a layout as its fields show them, in the C locale without
// group separators: `decimals` decimals, trailing zeros dropped when
// trimZeros ("#0.###"), and never "-0".
QString FormatLayoutNumber(double value, int decimals, bool trimZeros);
QLocale LayoutNumberLocale();
// "<label> must be a number from <bottom> to <top>".
QString LayoutRangeMessage(const QString &label, const QString &bottom, const QString &top);
