#pragma once

#include "document/Groups.h"

#include <QDialog>
#include <QListWidget>

class QLabel;
class QPushButton;

// A grid of the 224 characters (codes 32 to 255) of a font, one list entry
// each, running down the columns. Symbol fonts show the pictures the card
// draws for their codes.
class TSymbolGrid : public QListWidget
{
    Q_OBJECT

public:
    static constexpr int FirstCode = 32;
    static constexpr int CharacterCount = 224;

    explicit TSymbolGrid(QWidget *parent = nullptr);

    // Shows every character in the font and colour.
    void ShowFont(const QFont &font, const QColor &color);
    const QFont &ShownFont() const { return m_font; }
    // Columns across the visible width, each row that many pixels high.
    void SetColumns(int columns, int rowHeight);
    int Columns() const { return m_columns; }
    // The character code of an entry as text (not its picture); empty for none.
    static QString CodeText(const QListWidgetItem *entry);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void ArrangeColumns();

    QFont m_font;
    int m_columns = 1;
    int m_rowHeight = 30;
};

// The Symbol Selector: a grid of the 224 characters (codes 32 to 255) of a
// font to pick one from, and a Font button that chooses the font the symbol
// will have. The grid always shows its characters at 20 points; the chosen
// size goes only to the held font, which OK returns.
class TGetSymbol : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpTopic = 40005;
    static constexpr int FirstCode = TSymbolGrid::FirstCode;
    static constexpr int CharacterCount = TSymbolGrid::CharacterCount;
    static constexpr int GridPointSize = 20;
    static constexpr int RowHeight = 30;

    explicit TGetSymbol(QWidget *parent = nullptr);

    // Grid columns for a grid font of that many points.
    static int ColumnsForPointSize(int points);
    // "Name, 20pt " and "Bold " or "Italic " (italic wins when both).
    static QString FontDescription(const QString &name, int points, bool bold, bool italic);

    // The font OK hands back (size, colour and effects included).
    const TGFont &HeldFont() const { return m_heldFont; }
    void SetHeldFont(const TGFont &font);
    // The grid takes the name, colour and style of a font, never its size.
    void SetGridFont(const TGFont &font);
    const TGFont &GridFont() const { return m_gridFont; }
    // Index of the chosen character (code - 32); -1 when none is chosen.
    int SelectedIndex() const;
    void SetSelectedIndex(int index);
    int Columns() const { return SymbolGrid->Columns(); }

    // Runs the font dialog on the held font and takes what it returns.
    void FontButtonClick();

    QLabel *FontLabel = nullptr;
    QPushButton *FontButton = nullptr;
    TSymbolGrid *SymbolGrid = nullptr;
    QLabel *FontHolder = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *HelpButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Sets the column count from the grid font and redraws the characters.
    void FormActivate();
    void FillGrid();
    void RefreshFontButton();

    TGFont m_heldFont;
    TGFont m_gridFont;
};
