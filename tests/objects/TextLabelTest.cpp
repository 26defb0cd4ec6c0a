// Text labels: layout, drawing (pixels), fitting, menus and their dialogs.
#include "ObjectsFixture.h"
#include "common/TestSupport.h"
#include "objects/Gf3d.h"
#include "objects/Ggbctext.h"
#include "objects/Ggettext.h"
#include "objects/gbclabel32.h"
#include "report/ReportTestSupport.h"
#include "surface/ColDrop.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <functional>

namespace {

constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;

// A big bold face so strokes have solid cores that survive antialiasing.
void MakeBig(TGBaseLabel &label, const QString &caption = QStringLiteral("HIH"))
{
    label.Font()->SetName(QStringLiteral("Arial"));
    label.Font()->SetHeight(-28);
    label.Font()->SetStyle(fsBold);
    label.SetCaption(caption);
}

// Lays the label out, then paints it the way the surface does (translated to
// (margin, margin) and clipped to its bounds) onto a canvas of one colour.
QImage Render(TGBaseLabel &label, QColor canvas = Qt::white, int margin = 0)
{
    label.LayoutLabel();
    QImage image(label.Width() + 2 * margin, label.Height() + 2 * margin, QImage::Format_RGB32);
    image.fill(canvas);
    QPainter painter(&image);
    painter.translate(margin, margin);
    painter.setClipRect(0, 0, label.Width(), label.Height());
    label.Paint(painter);
    return image;
}

// Pixels at least about 60 % covered by the colour, drawn over white.
bool IsBlack(QRgb p)
{
    return qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100;
}
bool IsRed(QRgb p)
{
    return qRed(p) > 150 && qGreen(p) < 100 && qBlue(p) < 100;
}
bool IsBlue(QRgb p)
{
    return qBlue(p) > 150 && qRed(p) < 100 && qGreen(p) < 100;
}
bool IsAqua(QRgb p)
{
    return qRed(p) < 100 && qGreen(p) > 150 && qBlue(p) > 150;
}
bool IsInk(QRgb p)
{
    return qRed(p) < 160 || qGreen(p) < 160 || qBlue(p) < 160;
}

// The smallest rectangle holding every matching pixel (null when none match).
QRect InkBox(const QImage &image, const std::function<bool(QRgb)> &match)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixel(x, y)))
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

int LineHeightOf(const QFont &font)
{
    const QFontMetrics fm(font);
    return fm.height() + (fm.height() - font.pixelSize()) + fm.leading();
}

} // namespace

class TextLabelTest : public ObjectTest
{
};

TEST(TextLabelLayout, OffsetsFollowDirectionAndDepth)
{
    TGPLabel label;
    EXPECT_EQ(label.ShadowOffset(), QPoint(0, 0));
    EXPECT_EQ(label.HighlightOffset(), QPoint(0, 0));
    const QPoint shadow[] = {{0, 0}, {1, 0}, {-1, 0}, {1, 1}, {-1, 1}, {0, 1}};
    const QPoint highlight[] = {{0, 0}, {1, 0}, {-1, 0}, {1, -1}, {-1, -1}, {0, -1}};
    for (int depth : {4, -2}) {
        label.SetDepthShadow(depth);
        label.SetDepthHighlight(depth);
        for (int d = 0; d < 6; ++d) {
            label.SetDirectionShadow(TShadowDirection(d));
            label.SetDirectionHighlight(THighlightDirection(d));
            EXPECT_EQ(label.ShadowOffset(), shadow[d] * depth) << d << " " << depth;
            EXPECT_EQ(label.HighlightOffset(), highlight[d] * depth) << d << " " << depth;
        }
    }
}

TEST(TextLabelLayout, ShadowAndHighlightShapeTheRectangles)
{
    TGPLabel label;
    label.SetBounds(0, 0, 142, 200);
    label.SetDepthShadow(3);
    label.SetDepthHighlight(2);
    label.LayoutLabel();
    const int lineHeight = LineHeightOf(label.CanvasFont());
    const int needed = lineHeight + 5;
    EXPECT_EQ(label.ShadowOffset(), QPoint(3, 3));
    EXPECT_EQ(label.HighlightOffset(), QPoint(-2, -2));
    EXPECT_EQ(label.TextInset(), QPoint(2, 2));
    // A horizontal label dragged 200 tall is cut back to Trunc(1.2 x Needed).
    EXPECT_EQ(label.Height(), int(1.2 * needed));
    EXPECT_FALSE(label.LayoutNeeded());
    EXPECT_EQ(label.TextRect(), (TRect{2, 2, 142, lineHeight + 2}));
    EXPECT_EQ(label.ShadowRect(), (TRect{5, 5, 145, lineHeight + 5}));
    EXPECT_EQ(label.HighlightRect(), (TRect{0, 0, 140, lineHeight}));
    EXPECT_EQ(label.TextOrigin(), QPoint(2, 2));
    EXPECT_EQ(label.ShadowOrigin(), QPoint(5, 5));
    EXPECT_EQ(label.HighlightOrigin(), QPoint(0, 0));

    // Too short a label grows to Needed; right and centre alignment move the x only.
    label.SetHeight(6);
    label.SetAlignment(taRightJustify);
    label.LayoutLabel();
    EXPECT_EQ(label.Height(), needed);
    const int textWidth = QFontMetrics(label.CanvasFont()).horizontalAdvance("Text ");
    EXPECT_EQ(label.TextOrigin(), QPoint(142 - textWidth, 2));
    EXPECT_EQ(label.ShadowOrigin(), QPoint(142 - textWidth + 3, 5));
    EXPECT_EQ(label.HighlightOrigin(), QPoint(142 - textWidth - 2, 0));
    label.SetAlignment(taCenter);
    label.LayoutLabel();
    EXPECT_EQ(label.TextOrigin().x(), (142 - 2) / 2 - textWidth / 2);

    // At 180 a label wider than twice its text shrinks to twice the text.
    label.SetDepthShadow(0);
    label.SetDepthHighlight(0);
    label.SetAngle(180);
    label.SetWidth(600);
    label.LayoutLabel();
    EXPECT_EQ(label.Width(), 2 * textWidth);
}

TEST(TextLabelLayout, AngleSwapsSidesAndRefusesOddAngles)
{
    TGPLabel label;
    label.SetAlignment(taCenter);
    label.SetAngle(45);
    EXPECT_EQ(label.Angle(), 0);
    label.SetAngle(90);
    EXPECT_EQ(label.Angle(), 90);
    EXPECT_EQ(label.Width(), 33);
    EXPECT_EQ(label.Height(), 142);
    EXPECT_EQ(label.Alignment(), taLeftJustify);
    label.SetAngle(0);
    EXPECT_EQ(label.Width(), 142);
    EXPECT_EQ(label.Height(), 33);
    EXPECT_EQ(label.Alignment(), taLeftJustify);
}

TEST(TextLabelPixels, DefaultLabelShowsOnlyTheMainText)
{
    TGPLabel label;
    MakeBig(label);
    label.SetBounds(0, 0, 200, 60);
    const QImage image = Render(label);
    EXPECT_FALSE(InkBox(image, IsBlack).isNull());
    // The highlight copy lies under the text: not even its edges tint the letters.
    EXPECT_TRUE(InkBox(image, IsAqua).isNull());
}

TEST(TextLabelPixels, CopiesLieAtTheirOffsetsInTheirColours)
{
    struct Case
    {
        TShadowDirection direction;
        int dx, dy;
    };
    const Case cases[] = {
        {sdRight, 1, 0}, {sdLeft, -1, 0}, {sdDownRight, 1, 1}, {sdDownLeft, -1, 1}, {sdDown, 0, 1}};
    for (int depth : {2, 5}) {
        for (const Case &c : cases) {
            TGPLabel label;
            MakeBig(label);
            label.SetBounds(0, 0, 200, 60);
            label.SetShadowColor(Red);
            label.SetDirectionShadow(c.direction);
            label.SetDepthShadow(depth);
            const QImage image = Render(label);
            const QRect text = InkBox(image, IsBlack);
            const QRect shadow = InkBox(image, IsRed);
            ASSERT_FALSE(shadow.isNull()) << c.direction;
            // Only the edges that stick out from under the main text can be measured.
            if (c.dx > 0)
                EXPECT_EQ(shadow.right() - text.right(), depth) << c.direction;
            if (c.dx < 0)
                EXPECT_EQ(shadow.left() - text.left(), -depth) << c.direction;
            if (c.dy > 0)
                EXPECT_EQ(shadow.bottom() - text.bottom(), depth) << c.direction;
            EXPECT_GE(shadow.left(), 0);
        }
    }

    // Depth 3 both ways: shadow down-right in red, highlight up-left in blue,
    // both kept inside the object by the inset.
    TGPLabel label;
    MakeBig(label);
    label.SetBounds(0, 0, 200, 60);
    label.SetShadowColor(Red);
    label.SetColorHighlight(Blue);
    label.SetDepthShadow(3);
    label.SetDepthHighlight(3);
    const QImage image = Render(label, Qt::white, 10);
    const QRect text = InkBox(image, IsBlack);
    const QRect shadow = InkBox(image, IsRed);
    const QRect highlight = InkBox(image, IsBlue);
    ASSERT_FALSE(highlight.isNull());
    EXPECT_EQ(shadow.right() - text.right(), 3);
    EXPECT_EQ(shadow.bottom() - text.bottom(), 3);
    EXPECT_EQ(highlight.left() - text.left(), -3);
    EXPECT_EQ(highlight.top() - text.top(), -3);
    EXPECT_GE(highlight.left(), 10);
    EXPECT_GE(highlight.top(), 10);
    EXPECT_EQ(label.Height(), int(1.2 * (LineHeightOf(label.CanvasFont()) + 6)));
}

TEST(TextLabelPixels, QuarterTurnsRunTheTextTheirWay)
{
    const QString caption = QStringLiteral("HHH") + QString(12, QLatin1Char(' '));
    TGPLabel probe;
    MakeBig(probe, caption);
    const QFontMetrics fm(probe.CanvasFont());
    const int inkLength = fm.horizontalAdvance(QStringLiteral("HHH"));
    const int lineHeight = LineHeightOf(probe.CanvasFont());

    // 90: from the bottom upwards, the glyphs' tops towards the left edge.
    TGPLabel up;
    MakeBig(up, caption);
    up.SetBounds(0, 0, 300, 60);
    up.SetAngle(90);
    QImage image = Render(up);
    QRect ink = InkBox(image, IsBlack);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GE(ink.bottom(), up.Height() - 6);
    EXPECT_GE(ink.top(), up.Height() - inkLength - 4);
    EXPECT_LE(ink.right(), lineHeight);
    // Nothing in the upper part, where the trailing blanks run.
    EXPECT_TRUE(InkBox(image.copy(0, 0, up.Width(), up.Height() / 2), IsInk).isNull());
    // The text is three H's high and one glyph wide: turned, not just moved.
    EXPECT_GT(ink.height(), 2 * ink.width());

    // 270: from the top downwards.
    TGPLabel down;
    MakeBig(down, caption);
    down.SetBounds(0, 0, 300, 60);
    down.SetAngle(270);
    image = Render(down);
    ink = InkBox(image, IsBlack);
    ASSERT_FALSE(ink.isNull());
    EXPECT_LE(ink.top(), 5);
    EXPECT_LE(ink.bottom(), inkLength + 4);
    EXPECT_GT(ink.height(), 2 * ink.width());

    // 180: from the right edge leftwards, upside down along the top.
    TGPLabel over;
    MakeBig(over, caption);
    over.SetBounds(0, 0, 300, 60);
    over.SetAngle(180);
    image = Render(over);
    ink = InkBox(image, IsBlack);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GE(ink.right(), over.Width() - 6);
    EXPECT_GE(ink.left(), over.Width() - inkLength - 4);
    EXPECT_GT(ink.width(), 2 * ink.height());
}

TEST(TextLabelPixels, BackgroundAndBorder)
{
    TGPLabel label;
    MakeBig(label, QStringLiteral("H"));
    label.SetBounds(0, 0, 160, 50);
    const QColor green(0, 200, 0);
    // Transparent: the canvas shows where there is no text.
    QImage image = Render(label, green);
    EXPECT_EQ(QColor(image.pixel(label.Width() - 3, label.Height() / 2)), green);
    EXPECT_FALSE(InkBox(image, IsBlack).isNull());

    label.SetTransparent(false);
    label.SetBackColor(0x00FFFF); // yellow
    image = Render(label, green);
    EXPECT_EQ(QColor(image.pixel(label.Width() - 3, label.Height() / 2)), QColor(255, 255, 0));
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(255, 255, 0));
    EXPECT_FALSE(InkBox(image, IsBlack).isNull()); // the text is drawn over the fill

    label.SetBorderStyle(bsSingle);
    image = Render(label, green);
    const int w = label.Width();
    const int h = label.Height();
    for (const QPoint &p : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(w - 1, h - 1), QPoint(0, h - 1),
                            QPoint(w / 2, 0), QPoint(w - 1, h / 2), QPoint(w / 2, h - 1)})
        EXPECT_EQ(QColor(image.pixel(p)), QColor(Qt::black)) << p.x() << "," << p.y();
    EXPECT_EQ(QColor(image.pixel(w - 2, h / 2)), QColor(255, 255, 0)); // one pixel wide
}

TEST(TextLabelPixels, ZoomScalesTheFontByTruncatedPoints)
{
    TGPLabel label; // Arial 10 points
    EXPECT_EQ(label.CanvasFont().pixelSize(), 13);
    label.AdoptZoomScale(1.5f); // 15 points
    EXPECT_EQ(label.CanvasFont().pixelSize(), 20);
    label.AdoptZoomScale(2.0f); // 20 points
    EXPECT_EQ(label.CanvasFont().pixelSize(), 27);
    label.Font()->SetSize(11);
    label.AdoptZoomScale(1.25f); // 13.75 points drawn at 13
    EXPECT_EQ(label.CanvasFont().pixelSize(), 17);

    // The drawn capitals grow with the font.
    auto capHeight = [](float zoom) {
        TGPLabel l;
        l.SetCaption(QStringLiteral("HH"));
        l.AdoptZoomScale(zoom);
        l.SetBounds(0, 0, 200, 60);
        return InkBox(Render(l), IsInk).height();
    };
    const int normal = capHeight(1.0f);
    const int zoomed = capHeight(1.5f);
    EXPECT_GE(normal, 8);
    EXPECT_NEAR(double(zoomed) / normal, 20.0 / 13.0, 0.15);
}

TEST(TextLabelFit, GrowsToTheTextButNeverShrinks)
{
    TGPLabel label;
    label.SetBounds(0, 0, 30, 10);
    label.SetDepthHighlight(2);
    label.SetCaption(QStringLiteral("A somewhat longer caption"));
    label.LayoutLabel();
    const QFontMetrics fm(label.CanvasFont());
    label.FitToText();
    EXPECT_TRUE(label.LayoutNeeded());
    EXPECT_EQ(label.Width(),
              2 + fm.horizontalAdvance(QStringLiteral("A somewhat longer caption     ")));
    EXPECT_GE(label.Height(), 2 + fm.height());

    label.SetBounds(0, 0, 900, 90);
    label.LayoutLabel();
    const int height = label.Height();
    label.FitToText();
    EXPECT_EQ(label.Width(), 900);
    EXPECT_EQ(label.Height(), height);

    label.SetBounds(0, 0, 10, 10);
    label.SetAngle(90);
    const QSize turned(label.Width(), label.Height());
    label.FitToText();
    EXPECT_EQ(QSize(label.Width(), label.Height()), turned);
}

TEST_F(TextLabelTest, MenuHoldsTheLabelItemsWithTicks)
{
    surface->Model()->SetPersonalInfoItem(1, QStringLiteral("Acme & Co"));
    auto *label = new TGBusinessCardLabel(owner.get());
    label->SetParent(surface.get());
    label->MakeReady();
    surface->PlaceObject(label, TRect::FromBounds(10, 10, 142, 33));
    QMenu *menu = label->ObjectMenu();
    const QStringList expected = {"Personal Information",
                                  "-",
                                  "Bring To Front",
                                  "Send To Back",
                                  "Cut",
                                  "Copy",
                                  "Delete",
                                  "Clone",
                                  "-",
                                  "Locked",
                                  "Unselectable",
                                  "-",
                                  "Center Vertically",
                                  "Center Horizontally",
                                  "-",
                                  "Font",
                                  "3D Effects",
                                  "Alignment",
                                  "Transparent",
                                  "Background Color",
                                  "Border",
                                  "-",
                                  "Text",
                                  "-",
                                  "Rotation"};
    EXPECT_EQ(TopLevelCaptions(menu), expected);
    EXPECT_EQ(FindItem(menu, "Text")->data().toInt(), 1000);
    EXPECT_TRUE(FindItem(menu, "Transparent")->isChecked());

    label->SetBorderStyle(bsSingle);
    label->SetAlignment(taCenter);
    label->SetAngle(90);
    Q_EMIT menu->aboutToShow();
    EXPECT_TRUE(FindItem(menu, "Border")->isChecked());
    EXPECT_TRUE(FindItem(menu, "Left")->isChecked()); // turning forced left alignment
    EXPECT_FALSE(FindItem(menu, "Center")->isChecked());
    EXPECT_TRUE(FindItem(menu, "90 Degrees")->isChecked());
    EXPECT_FALSE(FindItem(menu, "No Rotation")->isChecked());
    FindItem(menu, "No Rotation")->trigger();
    FindItem(menu, "Right")->trigger();
    Q_EMIT menu->aboutToShow();
    EXPECT_EQ(label->Angle(), 0);
    EXPECT_EQ(label->Alignment(), taRightJustify);
    EXPECT_TRUE(FindItem(menu, "Right")->isChecked());
    EXPECT_FALSE(FindItem(menu, "Left")->isChecked());
    EXPECT_TRUE(FindItem(menu, "No Rotation")->isChecked());
    FindItem(menu, "Border")->trigger();
    EXPECT_EQ(label->BorderStyle(), bsNone);
    FindItem(menu, "Transparent")->trigger();
    EXPECT_FALSE(label->Transparent());
    EXPECT_FALSE(FindItem(menu, "Transparent")->isChecked());

    // The submenu is rebuilt from the current values each time the menu opens.
    surface->Model()->SetPersonalInfoItem(8, QStringLiteral("me@example.com"));
    Q_EMIT menu->aboutToShow();
    QMenu *info = label->PersonalInfoMenu();
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->actions().size(), 10);
    EXPECT_EQ(info->actions().at(0)->data().toString(), QStringLiteral("Name\t"));
    EXPECT_EQ(info->actions().at(8)->data().toString(), QStringLiteral("EMail\tme@example.com"));
    label->SetWidth(20);
    changes = 0;
    info->actions().at(1)->trigger();
    EXPECT_EQ(label->Caption(), QStringLiteral("Acme & Co"));
    EXPECT_GE(changes, 1);
    EXPECT_GT(label->Width(), 20); // fitted to the new caption
    // An empty value is not offered: it would leave an invisible label.
    EXPECT_FALSE(info->actions().at(5)->isEnabled());
    EXPECT_TRUE(info->actions().at(1)->isEnabled());
    info->actions().at(5)->trigger();
    EXPECT_EQ(label->Caption(), QStringLiteral("Acme & Co"));
    label->PickPersonalInfo(QStringLiteral("Name\t") + QString(300, QLatin1Char('x')) +
                            QStringLiteral("\tmore"));
    EXPECT_EQ(label->Caption(), QString(255, QLatin1Char('x')));

    // Off the card surface there is no personal information.
    TGBusinessCardLabel loose;
    loose.MakeReady();
    EXPECT_EQ(loose.PersonalInfoMenu(), nullptr);
    EXPECT_EQ(TopLevelCaptions(loose.ObjectMenu()).first(), QStringLiteral("Bring To Front"));
}

TEST_F(TextLabelTest, TextDialogsCopyBackOnOkOnly)
{
    TGPLabel label;
    label.MakeReady();
    label.SetBounds(0, 0, 20, 20);
    OnNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<TGetLabelText *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Text"));
        auto *edit = dialog->findChild<QLineEdit *>("eText");
        EXPECT_EQ(edit->text(), QStringLiteral("Text"));
        edit->setText(QStringLiteral("Hello there"));
        QTest::mouseClick(dialog->findChild<QPushButton *>("CancelButton"), Qt::LeftButton);
    });
    EXPECT_FALSE(label.EditText());
    EXPECT_EQ(label.Caption(), QStringLiteral("Text"));
    EXPECT_EQ(label.Width(), 20);

    OnNextModal([](QWidget *modal) {
        modal->findChild<QLineEdit *>("eText")->setText(QStringLiteral("Hello there"));
        QTest::mouseClick(modal->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
    });
    EXPECT_TRUE(label.EditText());
    EXPECT_EQ(label.Caption(), QStringLiteral("Hello there"));
    EXPECT_GT(label.Width(), QFontMetrics(label.CanvasFont()).horizontalAdvance("Hello there"));

    // The business-card dialog lists only the filled-in values, in order.
    QStringList info(10);
    info[1] = QStringLiteral("Acme");
    info[9] = QStringLiteral("555-0199");
    TGetBCLabelText bc(info);
    auto *list = bc.findChild<QComboBox *>("cbPersonalInfo");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), QStringLiteral("Acme"));
    EXPECT_EQ(list->itemText(1), QStringLiteral("555-0199"));
    EXPECT_TRUE(list->isEnabled());
    list->setCurrentIndex(1);
    EXPECT_EQ(bc.findChild<QLineEdit *>("eText")->text(), QStringLiteral("555-0199"));
    TGetBCLabelText empty{QStringList(10)};
    EXPECT_FALSE(empty.findChild<QComboBox *>("cbPersonalInfo")->isEnabled());
}

TEST_F(TextLabelTest, TextToolAsksForTheTextAndFits)
{
    surface->Model()->SetPersonalInfoItem(0, QStringLiteral("Jo Bloggs"));
    surface->SetPanelState(psLabel);
    OnNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<TGetBCLabelText *>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QComboBox *>("cbPersonalInfo")->setCurrentIndex(0);
        QTest::mouseClick(dialog->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
    });
    surface->CreateObjectForTool(TRect{10, 10, 40, 30});
    ASSERT_EQ(surface->ObjectCount(), 1);
    auto *label = qobject_cast<TGBusinessCardLabel *>(surface->ObjectAt(0));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Caption(), QStringLiteral("Jo Bloggs"));
    EXPECT_GE(label->Width(), QFontMetrics(label->CanvasFont()).horizontalAdvance("Jo Bloggs"));

    // Cancel keeps "Text", still fitted.
    OnNextModal([](QWidget *modal) { qobject_cast<QDialog *>(modal)->reject(); });
    surface->CreateObjectForTool(TRect{10, 100, 40, 120});
    ASSERT_EQ(surface->ObjectCount(), 2);
    auto *second = qobject_cast<TGBusinessCardLabel *>(surface->ObjectAt(1));
    EXPECT_EQ(second->Caption(), QStringLiteral("Text"));
    EXPECT_GE(second->Width(), QFontMetrics(second->CanvasFont()).horizontalAdvance("Text     "));
}

TEST_F(TextLabelTest, EffectsDialogPreviewsOnTheSampleAndCopiesOnOk)
{
    auto *label = Place<TGPLabel>();
    label->SetDepthShadow(2);
    label->SetDirectionShadow(sdDown);
    label->SetShadowColor(0x000080);   // maroon
    label->Font()->SetColor(0x123456); // not in the list
    {
        TGFont3DEffects dialog(label);
        EXPECT_EQ(dialog.size(), QSize(467, 338));
        EXPECT_EQ(dialog.findChild<QComboBox *>("cbShadowDepth")->currentIndex(), 2);
        EXPECT_EQ(dialog.findChild<QComboBox *>("cbShadowDirection")->currentIndex(), sdDown);
        EXPECT_EQ(dialog.findChild<QComboBox *>("cbHighlightDirection")->currentIndex(), hdUpLeft);
        EXPECT_EQ(dialog.findChild<QComboBox *>("cbShadowColor")->currentText(), "Maroon");
        EXPECT_EQ(dialog.findChild<QComboBox *>("cbHighlightColor")->currentText(), "Aqua");
        EXPECT_EQ(dialog.findChild<QComboBox *>("cbFontColor")->currentIndex(), -1);
        dialog.findChild<QComboBox *>("cbShadowDepth")->setCurrentIndex(7);
        dialog.findChild<QComboBox *>("cbHighlightColor")->setCurrentIndex(9); // Red
        EXPECT_EQ(dialog.Sample()->DepthShadow(), 7);
        EXPECT_EQ(dialog.Sample()->ColorHighlight(), Red);
        EXPECT_EQ(dialog.Sample()->Caption(), QStringLiteral("Text"));
        QTest::mouseClick(dialog.findChild<QPushButton *>("CancelButton"), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(label->DepthShadow(), 2);
    EXPECT_EQ(label->ColorHighlight(), 16776960u);

    OnNextModal([](QWidget *modal) {
        modal->findChild<QComboBox *>("cbHighlightDepth")->setCurrentIndex(4);
        modal->findChild<QComboBox *>("cbHighlightDirection")->setCurrentIndex(hdUp);
        modal->findChild<QComboBox *>("cbFontColor")->setCurrentIndex(12); // Blue
        QTest::mouseClick(modal->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
    });
    changes = 0;
    label->Show3DEffects();
    EXPECT_EQ(label->DepthHighlight(), 4);
    EXPECT_EQ(label->DirectionHighlight(), hdUp);
    EXPECT_EQ(label->HighlightOffset(), QPoint(0, -4));
    EXPECT_EQ(label->LabelFont().Color(), Blue);
    EXPECT_EQ(label->DepthShadow(), 2);
    EXPECT_EQ(label->ShadowColor(), 0x000080u);
    EXPECT_GE(changes, 1);
}

TEST(ColorDropDown, NamesValuesAndSelectionRules)
{
    TColorDropDown drop;
    const QStringList names = {"Black", "Maroon",  "Green",  "Olive",      "Navy",      "Purple",
                               "Teal",  "Gray",    "Silver", "Red",        "Lime",      "Yellow",
                               "Blue",  "Fuchsia", "Aqua",   "Light Gray", "Dark Gray", "White"};
    const TColor values[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                             0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                             0xFF0000, 0xFF00FF, 0xFFFF00, 0xC0C0C0, 0x808080, 0xFFFFFF};
    ASSERT_EQ(drop.count(), 18);
    EXPECT_FALSE(drop.isEditable());
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(drop.itemText(i), names[i]);
        EXPECT_EQ(drop.itemData(i).value<uint>(), values[i]) << i;
    }
    // The swatch shows the colour itself (red in the lowest byte).
    const QImage swatch = drop.itemIcon(9).pixmap(QSize(20, 12)).toImage();
    EXPECT_EQ(QColor(swatch.pixel(10, 6)), QColor(255, 0, 0));

    int signals_ = 0;
    QObject::connect(&drop, &TColorDropDown::ColorChanged, [&](TColor) { ++signals_; });
    drop.SetColor(0x808080);
    EXPECT_EQ(drop.currentIndex(), 7); // Gray, not Dark Gray
    drop.SetColor(0xC0C0C0);
    EXPECT_EQ(drop.currentIndex(), 8);
    drop.SetColor(0x123456);
    EXPECT_EQ(drop.currentIndex(), 8);
    EXPECT_EQ(drop.Color(), 0xC0C0C0u);
    drop.setCurrentIndex(16);
    EXPECT_EQ(drop.Color(), 0x808080u);
    EXPECT_EQ(signals_, 3);
}

TEST(TextLabelPrint, PictureFillsTheInchRectangleAtDeviceResolution)
{
    TGPLabel label;
    MakeBig(label, QStringLiteral("H"));
    label.SetBounds(48, 24, 96, 40);
    label.SetTransparent(false);
    label.SetBackColor(0x00FFFF); // yellow
    label.SetBorderStyle(bsSingle);
    label.LayoutLabel();
    const int w = label.Width();
    const int h = label.Height();

    TProbeReport report(300);
    report.OnPrint = [&](TBaseReport &r) { label.PrintTo(&r, 1.0, 0.5); };
    ASSERT_TRUE(report.Execute());
    ASSERT_EQ(report.pages.size(), 1);
    const QImage &page = report.pages.first();
    // Inches: left 1 + 48/96, top 0.5 + 24/96; one screen pixel is 300/96 device pixels.
    const QRect expected = report.InchRect(1.5, 0.75, 1.0 + (48 + w) / 96.0, 0.5 + (24 + h) / 96.0);
    EXPECT_EQ(expected.left(), 450);
    EXPECT_EQ(expected.top(), 225);
    const QColor yellow(255, 255, 0);
    const int midY = expected.center().y();
    EXPECT_EQ(QColor(page.pixel(expected.left() + 1, midY)), QColor(Qt::black)); // border
    EXPECT_EQ(QColor(page.pixel(expected.right() - 1, midY)), QColor(Qt::black));
    EXPECT_EQ(QColor(page.pixel(expected.right() - 8, midY)), yellow);
    EXPECT_EQ(QColor(page.pixel(expected.left() - 3, midY)), QColor(Qt::white));
    EXPECT_EQ(QColor(page.pixel(expected.right() + 3, midY)), QColor(Qt::white));
    EXPECT_EQ(QColor(page.pixel(expected.center().x(), expected.bottom() + 3)), QColor(Qt::white));
    // The letter is there, scaled up with the picture.
    const QRect ink = InkBox(page.copy(expected.adjusted(6, 6, -6, -6)), IsBlack);
    ASSERT_FALSE(ink.isNull());
    const QRect screenInk = InkBox(Render(label).copy(2, 2, w - 4, h - 4), IsBlack);
    EXPECT_NEAR(ink.height(), screenInk.height() * 300.0 / 96.0, 6.0);
}
