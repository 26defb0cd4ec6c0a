// Text shaped once and drawn again: every drawing gives the pixels drawText
// gives for the same font, text and baseline point, turned or not, and only
// screen devices keep the shaping. On a PDF page the glyphs land where
// drawText puts them, written in whole numbers.
#include "graphics/ShapedText.h"

#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QTransform>
#include <functional>
#include <gtest/gtest.h>

namespace {

QImage Canvas(int dotsPerInch = 96)
{
    QImage image(260, 260, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = qRound(dotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

// The painter set up as a text object sets it up: a translation, a turn,
// a pen; then the drawing.
QImage Drawn(int angle, int dotsPerInch, const std::function<void(QPainter &)> &draw)
{
    QImage image = Canvas(dotsPerInch);
    QPainter painter(&image);
    painter.translate(130, 130);
    painter.rotate(-angle);
    painter.setPen(QColor(20, 40, 160));
    draw(painter);
    return image;
}

QFont PixelFont(const QString &family, int pixels, bool bold = false, bool italic = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// The one page of a PDF written by the drawing, its content inflated.
QByteArray PdfPageContent(const std::function<void(QPainter &)> &draw)
{
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        QPainter painter(&writer);
        painter.translate(900, 900);
        painter.scale(6.25, 6.2);
        draw(painter);
    }
    const QByteArray data = file.data();
    QByteArray content;
    for (qsizetype from = 0;;) {
        qsizetype start = data.indexOf("stream\n", from);
        const qsizetype end = start < 0 ? -1 : data.indexOf("\nendstream", start);
        if (end < 0)
            break;
        start += 7;
        from = end + 10;
        const QByteArray packed = data.mid(start, end - start);
        QByteArray sized(4, '\0'); // qUncompress wants a size first; a guess grows
        const quint32 guess = quint32(packed.size()) * 16;
        for (int i = 0; i < 4; ++i)
            sized[i] = char((guess >> (24 - 8 * i)) & 0xFF);
        const QByteArray text = qUncompress(sized + packed);
        if (text.contains(" Tj"))
            content = text;
    }
    return content;
}

// A glyph as the page shows it: which one, where its origin falls on the
// page and how high its em is there.
struct TPlacedGlyph
{
    QByteArray glyph;
    QPointF at;
    qreal em = 0;
};

// Follows the content's transforms and text moves to every glyph shown.
QList<TPlacedGlyph> PlacedGlyphs(const QByteArray &content, QList<qreal> *moves = nullptr)
{
    QList<TPlacedGlyph> glyphs;
    QList<QTransform> saved;
    QTransform ctm;
    QPointF text;
    qreal fontSize = 0;
    QList<QByteArray> operands;
    const auto number = [&](qsizetype fromEnd) {
        return operands.value(operands.size() - fromEnd).toDouble();
    };
    for (const QByteArray &token : content.simplified().split(' ')) {
        const bool isOperator = !token.isEmpty() && std::isalpha(uchar(token[0])) != 0;
        if (!isOperator) {
            operands << token;
            continue;
        }
        if (token == "q") {
            saved << ctm;
        } else if (token == "Q" && !saved.isEmpty()) {
            ctm = saved.takeLast();
        } else if (token == "cm" && operands.size() >= 6) {
            ctm = QTransform(number(6), number(5), number(4), number(3), number(2), number(1)) * ctm;
        } else if (token == "BT") {
            text = QPointF();
        } else if (token == "Tf") {
            fontSize = number(1);
        } else if (token == "Td") {
            text += QPointF(number(2), number(1));
            if (moves)
                *moves << number(2) << number(1);
        } else if (token == "Tj") {
            // The text matrix turns y over.
            glyphs.append({operands.value(operands.size() - 1), ctm.map(QPointF(text.x(), -text.y())),
                           ctm.map(QLineF(0, 0, 0, fontSize)).length()});
        }
        operands.clear();
    }
    return glyphs;
}

} // namespace

TEST(ShapedTextTest, EveryDrawingMatchesDrawText)
{
    const QList<QFont> fonts = {PixelFont("Arial", 13), PixelFont("Arial", 24, true),
                                PixelFont("Times New Roman", 17, false, true),
                                PixelFont("DejaVu Sans", 9), PixelFont("Courier New", 31)};
    const QStringList texts = {
        QStringLiteral("Acme Ltd gjÄ"),
        QStringLiteral("AVAWAY To office ffi"),
        QString::fromUtf8("e\u0301 n\u0303 Ελληνικά Кириллица"),
        QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd abc 12"),
        QString::fromUtf8("\u6f22\u5b57 mixed \u2713"),
        QStringLiteral(" spaced  out "),
    };
    for (const QFont &font : fonts) {
        for (const QString &text : texts) {
            const TShapedText shaped(font, text);
            for (int angle : {0, 90, 180, 270}) {
                const QPointF at(-40.5, 12);
                const QImage expected = Drawn(angle, 96, [&](QPainter &p) {
                    p.setFont(font);
                    p.drawText(at, text);
                });
                // The first drawing, then the ones from the kept shaping.
                for (int drawing = 0; drawing < 3; ++drawing) {
                    const QImage image = Drawn(angle, 96, [&](QPainter &p) { shaped.Draw(p, at); });
                    ASSERT_EQ(image, expected)
                        << font.family().toStdString() << " " << font.pixelSize() << "px \""
                        << text.toStdString() << "\" at " << angle << " degrees, drawing "
                        << drawing;
                }
                EXPECT_TRUE(shaped.IsShaped());
            }
        }
    }
}

TEST(ShapedTextTest, ADeviceOfAnotherResolutionGetsItsOwnShaping)
{
    // A font in points is sized by the device's resolution; the kept shaping
    // follows the device it draws on.
    QFont font("Arial");
    font.setPointSize(11);
    const TShapedText shaped(font, QStringLiteral("Resolution 300"));
    for (int dpi : {96, 300, 96, 150}) {
        const QImage expected = Drawn(0, dpi, [&](QPainter &p) {
            p.setFont(font);
            p.drawText(QPointF(-100, 0), shaped.Text());
        });
        for (int drawing = 0; drawing < 2; ++drawing) {
            EXPECT_EQ(Drawn(0, dpi, [&](QPainter &p) { shaped.Draw(p, QPointF(-100, 0)); }),
                      expected)
                << dpi << " dpi, drawing " << drawing;
        }
    }
}

TEST(ShapedTextTest, DecoratedTextAndPicturesAreDrawnWithDrawText)
{
    QFont underlined = PixelFont("Arial", 15);
    underlined.setUnderline(true);
    QFont struck = PixelFont("Arial", 15);
    struck.setStrikeOut(true);
    for (const QFont &font : {underlined, struck}) {
        const TShapedText shaped(font, QStringLiteral("Decorated text"));
        const QImage expected = Drawn(90, 96, [&](QPainter &p) {
            p.setFont(font);
            p.drawText(QPointF(-60, 5), shaped.Text());
        });
        for (int drawing = 0; drawing < 2; ++drawing)
            EXPECT_EQ(Drawn(90, 96, [&](QPainter &p) { shaped.Draw(p, QPointF(-60, 5)); }),
                      expected);
        EXPECT_FALSE(shaped.IsShaped());
    }
    // A tab is laid out by drawText's rules.
    const TShapedText tabbed(PixelFont("Arial", 12), QStringLiteral("tab\there"));
    QImage canvas = Canvas();
    {
        QPainter painter(&canvas);
        tabbed.Draw(painter, QPointF(0, 20));
        tabbed.Draw(painter, QPointF(0, 40));
    }
    EXPECT_FALSE(tabbed.IsShaped());

    // A recorded picture (the printed drawing) gets drawText, so what it
    // replays on paper is laid out for the printer.
    const TShapedText plain(PixelFont("Arial", 12), QStringLiteral("On paper"));
    QPicture picture;
    {
        QPainter painter(&picture);
        plain.Draw(painter, QPointF(0, 20));
        plain.Draw(painter, QPointF(0, 40));
    }
    EXPECT_FALSE(plain.IsShaped());
    QPicture expected;
    {
        QPainter painter(&expected);
        painter.setFont(plain.Font());
        painter.drawText(QPointF(0, 20), plain.Text());
        painter.setFont(plain.Font());
        painter.drawText(QPointF(0, 40), plain.Text());
    }
    EXPECT_EQ(QByteArray(picture.data(), picture.size()),
              QByteArray(expected.data(), expected.size()));
}

TEST(ShapedTextTest, OnAPdfPageGlyphsLandWhereDrawTextPutsThemInWholeNumbers)
{
    QFont pointSized("Arial");
    pointSized.setPointSizeF(10.5); // a pixel size that is no whole number at 600 dpi
    const QList<QFont> fonts = {PixelFont("Arial", 13), PixelFont("Arial", 24, true),
                                PixelFont("Times New Roman", 17, false, true),
                                PixelFont("DejaVu Sans", 9), pointSized};
    const QStringList texts = {
        QStringLiteral("Line 1234 of the card"),
        QStringLiteral("AVAWAY To office ffi"),
        QString::fromUtf8("e\u0301 n\u0303 \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac"),
        QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd abc 12"),
        QString::fromUtf8("\u6f22\u5b57 mixed \u2713"),
    };
    // Baseline points off the 64ths of a pixel, on both sides of zero.
    const QList<QPointF> points = {QPointF(0, 11.765625), QPointF(-40.3, 12.7),
                                   QPointF(3.01, -7.99)};
    for (const QFont &font : fonts) {
        for (const QString &text : texts) {
            const TShapedText shaped(font, text);
            for (int angle : {0, 90}) {
                for (const QPointF &at : points) {
                    const auto turned = [&](QPainter &p) { p.rotate(-angle); };
                    const QByteArray expected = PdfPageContent([&](QPainter &p) {
                        turned(p);
                        p.setFont(font);
                        p.drawText(at, text);
                    });
                    const QByteArray drawn = PdfPageContent([&](QPainter &p) {
                        turned(p);
                        shaped.Draw(p, at);
                        shaped.Draw(p, at); // the kept glyphs, the same again
                    });
                    const QString what = QStringLiteral("%1 %2px \"%3\" at %4 degrees from (%5, %6)")
                                             .arg(font.family())
                                             .arg(QFontInfo(font).pixelSize())
                                             .arg(text)
                                             .arg(angle)
                                             .arg(at.x())
                                             .arg(at.y());
                    const QList<TPlacedGlyph> want = PlacedGlyphs(expected);
                    QList<qreal> moves;
                    const QList<TPlacedGlyph> got = PlacedGlyphs(drawn, &moves);
                    ASSERT_FALSE(want.isEmpty()) << what.toStdString();
                    ASSERT_EQ(got.size(), 2 * want.size()) << what.toStdString();
                    for (qsizetype i = 0; i < got.size(); ++i) {
                        const TPlacedGlyph &w = want[i % want.size()];
                        ASSERT_EQ(got[i].glyph, w.glyph) << what.toStdString() << " glyph " << i;
                        // The file keeps nine digits: a millionth of a device pixel.
                        EXPECT_NEAR(got[i].at.x(), w.at.x(), 1e-4) << what.toStdString() << " glyph " << i;
                        EXPECT_NEAR(got[i].at.y(), w.at.y(), 1e-4) << what.toStdString() << " glyph " << i;
                        EXPECT_NEAR(got[i].em, w.em, 1e-6 * w.em) << what.toStdString();
                    }
                    for (qreal move : moves)
                        ASSERT_EQ(move, std::round(move)) << what.toStdString();
                }
            }
        }
    }
    // The point of it: the same line's text takes far less of the file.
    const auto textObject = [](const QByteArray &content) {
        const qsizetype begin = content.indexOf("BT\n");
        return content.mid(begin, content.indexOf("ET\n", begin) - begin);
    };
    const TShapedText line(PixelFont("Arial", 13), QStringLiteral("Line 1234 of the card"));
    const QByteArray plain = PdfPageContent([&](QPainter &p) {
        p.setFont(line.Font());
        p.drawText(QPointF(0, 12), line.Text());
    });
    const QByteArray whole = PdfPageContent([&](QPainter &p) { line.Draw(p, QPointF(0, 12)); });
    EXPECT_LT(textObject(whole).size(), textObject(plain).size() * 4 / 5)
        << textObject(plain).toStdString() << "\nagainst\n"
        << textObject(whole).toStdString();
}

TEST(ShapedTextTest, FacesTooLargeOrEmboldenedAndPlacesTooFarKeepToDrawTextOnAPage)
{
    // 64 times 2,000 pixels is past what the font engine sizes, and 64 times
    // 300,000 pixels past what a glyph position holds. A bold face the
    // writer makes itself (drawn twice, half a line apart) would come out
    // thinner at 64 times. Those draw as drawText does, to the byte.
    QList<std::pair<QFont, QPointF>> cases = {
        {PixelFont("Arial", 2000), QPointF(0, 1800)},
        {PixelFont("Arial", 13), QPointF(300000, 12)},
        {PixelFont("Arial", 13), QPointF(-5, -300000)},
    };
    // A face with no bold of its own (the scripts install it).
    if (QFontDatabase::hasFamily(QStringLiteral("Symbola")))
        cases.append({PixelFont("Symbola", 14, true), QPointF(3, 12)});
    for (const auto &[font, at] : cases) {
        const TShapedText shaped(font, QStringLiteral("Far and large"));
        const QByteArray expected = PdfPageContent([&](QPainter &p) {
            p.setFont(font);
            p.drawText(at, shaped.Text());
        });
        const QByteArray drawn = PdfPageContent([&](QPainter &p) { shaped.Draw(p, at); });
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(drawn, expected) << font.pixelSize() << "px at " << at.x() << ", " << at.y();
    }
}
