// Text shaped once and drawn again: every drawing gives the pixels drawText
// gives for the same font, text and baseline point, turned or not, and only
// screen devices keep the shaping.
#include "graphics/ShapedText.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPicture>
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
