#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;
class TSymbolGrid;

// The super text's Symbol Selector: a drop-down of the installed symbol fonts
// over a grid of the chosen font's characters 32 to 255. OK hands back the
// font name and the one character picked.
class TSuperTextGetSymbol : public QDialog
{
    Q_OBJECT

public:
    static constexpr int GridColumns = 15;
    static constexpr int GridRowHeight = 26;
    static constexpr int GridPixelSize = 24;

    // The symbol fonts the program can show: the symbol families it draws
    // pictures for, where the real font or a font with the pictures is
    // installed, sorted.
    static QStringList InstalledSymbolFonts();

    explicit TSuperTextGetSymbol(QWidget *parent = nullptr);
    // With a given list of fonts instead of the installed ones.
    TSuperTextGetSymbol(const QStringList &fonts, QWidget *parent);

    // Without any symbol font it says so and returns Rejected at once.
    int exec() override;

    QString ChosenFont() const { return m_chosenFont; }
    QString ChosenCharacter() const { return m_chosenCharacter; }
    // The font the character grid shows.
    QString GridFontName() const;

    QLabel *FontLabel = nullptr;
    QComboBox *SymbolSets = nullptr;
    TSymbolGrid *SymbolList = nullptr;
    QPushButton *CopyCharButton = nullptr;
    QPushButton *OKButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void LoadFontsList(const QStringList &fonts);
    void SymbolSetsClick();
    void SymbolListClick();
    void CopyCharButtonClick();
    void ShowGridFont(const QString &name);

    QString m_chosenFont;
    QString m_chosenCharacter;
};
