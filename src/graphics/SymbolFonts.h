#pragma once

#include <QFont>
#include <QString>

// The symbol fonts designs name ("WingDings", "Webdings", "Symbol") give
// character codes 32 to 255 pictures instead of letters. Where the desktop has
// the real font with the glyph, it is drawn as it is; otherwise each code is
// drawn as the Unicode character published as its equivalent, in a font that
// has those characters. The surface, pictures, printing and the dialogs all
// draw symbol text through here, so they show the same picture.

enum class TSymbolSet { None, Wingdings, Webdings, Symbol };

// The symbol families the program can always draw, as the font lists name them.
QStringList SymbolFamilies();

// The set a family name stands for; letter case does not matter.
TSymbolSet SymbolSetOf(const QString &family);
bool IsSymbolFamily(const QString &family);

// Symbol text holds one character per code 32..255, the character the design
// file's 8-bit text reads for that byte (code 0x80 is "€", as in any other
// text). The code a character stands for: its byte, or for a control
// character 0x80..0x9F its own number; 0 when it stands for none.
uint SymbolCodeOf(QChar c);
// The character that stands for a code in symbol text.
QChar SymbolCodeChar(uint code);

// The Unicode character code (32..255) of the set stands for; 0 where the
// font has no picture, and for codes outside 32..255.
char32_t SymbolCodeToUnicode(TSymbolSet set, uint code);
// Text in the set as Unicode: each code 32..255 becomes its picture (a space
// where the font shows nothing); other characters are kept.
QString SymbolTextToUnicode(TSymbolSet set, const QString &text);

// The font and text that show text written in a font.
struct TDrawnText
{
    QFont font;
    QString text;
};
// Text in an ordinary font, or in a symbol family installed with every glyph
// the text needs, comes back as it is; other symbol text as its Unicode
// pictures in the font that has them (same size and styles).
TDrawnText SymbolDrawnText(const QFont &font, const QString &text);

// The families the Unicode pictures are drawn with, best first.
QStringList SymbolPictureFamilies();

// Forgets which symbol families were found installed (after fonts are added).
void ResetSymbolFontCache();
// Counts those resets: text drawn and kept before the last one is drawn anew.
int SymbolFontGeneration();
