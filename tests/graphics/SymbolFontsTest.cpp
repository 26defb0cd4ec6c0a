// Symbol fonts: family names, the published code charts, and what is drawn
// when the real font is missing or only partly there.
#include "graphics/SymbolFonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <gtest/gtest.h>

namespace {

// The single character of a string of one code point.
char32_t Only(const QString &text)
{
    const QList<uint> codes = text.toUcs4();
    return codes.size() == 1 ? char32_t(codes.first()) : 0;
}

QString Ucs4(char32_t c)
{
    return QString::fromUcs4(&c, 1);
}

// Text drawn black on white at 40 pixels, baseline at 50.
QImage Drawn(const QFont &font, const QString &text)
{
    QImage image(80, 70, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont sized(font);
    sized.setPixelSize(40);
    painter.setFont(sized);
    painter.setPen(Qt::black);
    painter.drawText(10, 50, text);
    return image;
}

int DarkPixels(const QImage &image)
{
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return dark;
}

bool FamilyInstalled(const QString &name)
{
    return QFontDatabase::families().contains(name, Qt::CaseInsensitive);
}

} // namespace

TEST(SymbolFonts, FamiliesAreKnownWhateverTheirCase)
{
    EXPECT_EQ(SymbolSetOf("WingDings"), TSymbolSet::Wingdings);
    EXPECT_EQ(SymbolSetOf("wingdings"), TSymbolSet::Wingdings);
    EXPECT_EQ(SymbolSetOf("WEBDINGS"), TSymbolSet::Webdings);
    EXPECT_EQ(SymbolSetOf("Symbol"), TSymbolSet::Symbol);
    EXPECT_EQ(SymbolSetOf(" symbol "), TSymbolSet::Symbol);
    for (const char *other : {"Arial", "Wingdings 2", "Symbola", "Standard Symbols PS", ""})
        EXPECT_FALSE(IsSymbolFamily(other)) << other;
}

TEST(SymbolFonts, CodesBecomeThePublishedPictures)
{
    // Wingdings: the telephone, the envelope, the pointing hand, the yin-yang,
    // the check box; 127 is empty.
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Wingdings, '('), U'\U0001F57F');
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Wingdings, '*'), U'\U0001F582');
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Wingdings, 'F'), U'\u261E');
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Wingdings, '['), U'\u262F');
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Wingdings, 0xFE), U'\U0001F5F9');
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Wingdings, 0x7F), 0U);
    // Webdings spells "NYC" as an eye, a heart and a city.
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Webdings, 'N'), U'\U0001F441');
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Webdings, 'Y'), U'\U0001F394');
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Webdings, 'C'), U'\U0001F3D9');
    // Symbol: Greek letters and mathematics; the digits stay digits.
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Symbol, 'a'), U'\u03B1');
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Symbol, 'W'), U'\u03A9');
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Symbol, 0xA5), U'\u221E');
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Symbol, '7'), U'7');
    // Outside 32..255 and for ordinary fonts there is no picture.
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Wingdings, 31), 0U);
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Wingdings, 256), 0U);
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::None, '('), 0U);

    // Whole strings: an empty code keeps its room as a space, characters
    // beyond the font's range pass unchanged, an ordinary font is untouched.
    EXPECT_EQ(SymbolTextToUnicode(TSymbolSet::Wingdings, QStringLiteral("(*")),
              Ucs4(U'\U0001F57F') + Ucs4(U'\U0001F582'));
    EXPECT_EQ(SymbolTextToUnicode(TSymbolSet::Wingdings, QString(QChar(0x7F))), " ");
    EXPECT_EQ(SymbolTextToUnicode(TSymbolSet::Symbol, QStringLiteral("p\u4E00r")),
              QStringLiteral("\u03C0\u4E00\u03C1"));
    // A code from 128 to 159 is the byte the file's text has for it, "€" for
    // 0x80 as in any text, or the control character of that number.
    EXPECT_EQ(SymbolTextToUnicode(TSymbolSet::Wingdings, QStringLiteral("\u20AC\u0081\u0080")),
              QStringLiteral("\u24EA\u2460\u24EA"));
    EXPECT_EQ(SymbolCodeChar(0x80), QChar(0x20AC));
    EXPECT_EQ(SymbolCodeChar(0x81), QChar(0x81));
    EXPECT_EQ(SymbolCodeOf(QChar(0x2122)), 0x99u);
    EXPECT_EQ(SymbolCodeOf(QChar(0x4E00)), 0u);
    EXPECT_EQ(SymbolCodeOf(QChar(0x1F)), 0u);
    EXPECT_EQ(SymbolTextToUnicode(TSymbolSet::None, QStringLiteral("(*")), "(*");
}

TEST(SymbolFonts, ThePictureFontHasEveryPictureOfTheCharts)
{
    const QString family = SymbolPictureFamilies().first();
    if (!FamilyInstalled(family))
        GTEST_SKIP() << family.toStdString() << " is not installed (fonts-symbola)";
    const QRawFont raw = QRawFont::fromFont(QFont(family));
    ASSERT_TRUE(raw.isValid());
    int checked = 0;
    for (TSymbolSet set : {TSymbolSet::Wingdings, TSymbolSet::Webdings, TSymbolSet::Symbol})
        for (uint code = 33; code <= 255; ++code) {
            const char32_t picture = SymbolCodeToUnicode(set, code);
            if (picture == 0)
                continue;
            ++checked;
            EXPECT_TRUE(raw.supportsCharacter(uint(picture)))
                << "set " << int(set) << " code " << code << " U+" << std::hex << uint(picture);
        }
    // All but the empty codes: 127 of each, 32 of Symbol and two of Wingdings.
    EXPECT_GT(checked, 3 * 223 - 40);
}

TEST(SymbolFonts, MissingSymbolFontsDrawTheirPicturesInThePictureFont)
{
    ResetSymbolFontCache();
    if (FamilyInstalled("Wingdings"))
        GTEST_SKIP() << "a real Wingdings is installed";
    QFont wingdings(QStringLiteral("WingDings"));
    wingdings.setPointSize(24);
    wingdings.setBold(true);
    const TDrawnText drawn = SymbolDrawnText(wingdings, QStringLiteral("("));
    EXPECT_EQ(drawn.font.family(), SymbolPictureFamilies().first());
    EXPECT_EQ(drawn.font.pointSize(), 24);
    EXPECT_TRUE(drawn.font.bold());
    EXPECT_EQ(Only(drawn.text), U'\U0001F57F');

    // What the surface draws for "(" is the telephone of the picture font,
    // not a parenthesis and not an empty box.
    QFont pictures(SymbolPictureFamilies().first());
    pictures.setBold(true);
    const QImage telephone = Drawn(pictures, Ucs4(U'\U0001F57F'));
    const QImage shown = Drawn(drawn.font, drawn.text);
    EXPECT_EQ(shown, telephone);
    EXPECT_NE(shown, Drawn(QFont("DejaVu Sans"), "("));
    EXPECT_NE(shown, Drawn(pictures, Ucs4(U'\U0001F582')));
    EXPECT_GT(DarkPixels(shown), 150);

    // Ordinary fonts and text pass through as they are.
    const QFont arial(QStringLiteral("Arial"));
    const TDrawnText plain = SymbolDrawnText(arial, QStringLiteral("(*"));
    EXPECT_EQ(plain.font, arial);
    EXPECT_EQ(plain.text, "(*");
}

TEST(SymbolFonts, AnInstalledSymbolFontIsUsedForTheGlyphsItHas)
{
    // Wine's Wingdings has the pointing hands and clocks but no telephone.
    const QString path = QStringLiteral("/usr/share/wine/fonts/wingding.ttf");
    if (!QFile::exists(path) || FamilyInstalled("Wingdings"))
        GTEST_SKIP() << "needs Wine's partial Wingdings and no other";
    const int id = QFontDatabase::addApplicationFont(path);
    ASSERT_GE(id, 0);
    ResetSymbolFontCache();

    QFont wingdings(QStringLiteral("WINGDINGS"));
    wingdings.setPixelSize(40);
    const TDrawnText hand = SymbolDrawnText(wingdings, QStringLiteral("G"));
    EXPECT_EQ(hand.font.family().compare("Wingdings", Qt::CaseInsensitive), 0);
    // The real glyph, whichever way the font files it.
    const QImage real = Drawn(hand.font, hand.text);
    EXPECT_NE(real, Drawn(QFont("DejaVu Sans"), "G"));
    EXPECT_NE(real, Drawn(QFont(SymbolPictureFamilies().first()), Ucs4(U'\u261D')));
    EXPECT_GT(DarkPixels(real), 100);

    // The telephone is not in that font: the picture font draws it, and so a
    // string that needs it is drawn there whole.
    const TDrawnText phone = SymbolDrawnText(wingdings, QStringLiteral("(G"));
    EXPECT_EQ(phone.font.family(), SymbolPictureFamilies().first());
    EXPECT_EQ(phone.text, Ucs4(U'\U0001F57F') + Ucs4(U'\u261D'));

    QFontDatabase::removeApplicationFont(id);
    ResetSymbolFontCache();
    EXPECT_EQ(SymbolDrawnText(wingdings, QStringLiteral("G")).font.family(),
              SymbolPictureFamilies().first());
}
