#include "ObjectsFixture.h"
#include "objects/Gprichl.h"

using RichTextTest = ObjectTest;

TEST_F(RichTextTest, TableHasNoDefaultsAndCreationValues)
{
    TGPRichBaseLabel label;
    EXPECT_EQ(TableNames(label),
              BaseNames() + QStringList({"RTFText", "BorderStyle", "Transparent", "BGColor"}));
    for (const char *name : {"RTFText", "BorderStyle", "Transparent", "BGColor"})
        EXPECT_FALSE(Entry(label, name).defaultValue.has_value()) << name;
    EXPECT_EQ(Entry(label, "RTFText").kind, TPropertyKind::Object);
    EXPECT_EQ(Entry(label, "BorderStyle").identifiers, QStringList({"bsNone", "bsSingle"}));
    EXPECT_EQ(Entry(label, "BGColor").identifierTable, TIdentifierTable::Color);

    EXPECT_EQ(label.Width(), 190);
    EXPECT_EQ(label.Height(), 33);
    EXPECT_TRUE(label.RTFText()->IsEmpty());
    EXPECT_EQ(label.BorderStyle(), TGPRichBaseLabel::bsSingle);
    EXPECT_TRUE(label.Transparent());
    EXPECT_EQ(label.BGColor(), 0xFFFFFFu);
}

TEST_F(RichTextTest, SettersReportOnceAndOnlyStoreWhileReading)
{
    auto *label = Place<TGPRichBaseLabel>();
    const QByteArray rtf = QByteArrayLiteral("{\\rtf1\\ansi Hello}");
    EXPECT_EQ(REPORTS(label->SetRTFText(rtf)), 1);
    EXPECT_EQ(label->Rtf(), rtf);
    EXPECT_EQ(REPORTS(label->SetRTFText(rtf)), 0);
    EXPECT_EQ(REPORTS(label->SetBGColor(0x00FFFF)), 1);
    EXPECT_EQ(REPORTS(label->SetBGColor(0x00FFFF)), 0);
    EXPECT_EQ(REPORTS(label->SetTransparent(false)), 1);
    EXPECT_EQ(REPORTS(label->SetBorderStyle(TGPRichBaseLabel::bsNone)), 1);
    EXPECT_EQ(REPORTS(label->SetBorderStyle(static_cast<TGPRichBaseLabel::TBorderStyle>(5))), 0);
    EXPECT_EQ(label->BorderStyle(), TGPRichBaseLabel::bsNone);

    // The colour entry goes through the table as an unsigned colour value.
    TPersistent &asPersistent = *label;
    Entry(*label, "BGColor").setOrdinal(asPersistent, 0x808080);
    EXPECT_EQ(label->BGColor(), 0x808080u);
    EXPECT_EQ(Entry(*label, "BGColor").getOrdinal(*label), 0x808080);

    label->SetLoading(true);
    EXPECT_EQ(REPORTS(label->SetRTFText("{\\rtf1 x}")), 0);
    EXPECT_EQ(REPORTS(label->SetTransparent(true)), 0);
    EXPECT_EQ(REPORTS(label->SetBGColor(0)), 0);
    EXPECT_EQ(label->Rtf(), QByteArray("{\\rtf1 x}"));
    EXPECT_TRUE(label->Transparent());
}

// ---- the master, the menu, drawing, editing -----------------------------------

#include "common/TestSupport.h"
#include "document/Filer.h"
#include "document/KindRegistry.h"
#include "document/ObjectStream.h"
#include "objects/Gprichle.h"
#include "objects/Graphp.h"
#include "objects/RichTextEdit.h"
#include "richtext/RichText.h"
#include "richtext/RichTextEngine.h"
#include "surface/ScreenInfo.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QToolTip>
#include <cmath>

namespace {

// The label painted alone onto a canvas of `under` colour.
QImage Painted(TGPRichBaseLabel &label, QColor under = QColor(200, 200, 200))
{
    QImage image(label.Width(), label.Height(), QImage::Format_RGB32);
    image.fill(under);
    QPainter painter(&image);
    label.Paint(painter);
    return image;
}

// Pixels near a colour (each channel within 60 of it).
int PixelsLike(const QImage &image, QColor color, QRect area = QRect())
{
    const QRect r = area.isNull() ? image.rect() : area;
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) < 60 && std::abs(c.green() - color.green()) < 60 &&
                std::abs(c.blue() - color.blue()) < 60)
                ++n;
        }
    return n;
}

int RightmostDark(const QImage &image, QRect area)
{
    for (int x = area.right(); x >= area.left(); --x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (qGray(image.pixel(x, y)) < 100)
                return x;
    return -1;
}

const QByteArray RedBold =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
    "\\f0\\fs28\\cf1\\b WWWW}";

} // namespace

TEST_F(RichTextTest, MakeReadyNeedsTheMasterOfTheOwningForm)
{
    QObject bare;
    auto *orphan = new TGPRichBaseLabel(&bare);
    try {
        orphan->MakeReady();
        ADD_FAILURE() << "no error without the master";
    } catch (const ENoMasterWPRich &e) {
        EXPECT_STREQ(e.what(), "No master rich text object found");
    }
    EXPECT_EQ(orphan->Master(), nullptr);
    EXPECT_FALSE(orphan->DoubleClickAction);
    // Nothing is drawn without it.
    orphan->SetBorderStyle(TGPRichBaseLabel::bsNone);
    orphan->SetRTFText(RedBold);
    const QImage blank = Painted(*orphan);
    EXPECT_EQ(PixelsLike(blank, QColor(200, 200, 200)), blank.width() * blank.height());

    // The name is compared in upper case, and only the form's own components count.
    QObject form;
    auto *other = new QObject(&form);
    other->setObjectName("MASTERWPRICHTEXT");
    auto *engine = new TRichTextEngine(&form);
    engine->setObjectName("MasterWPRichText");
    auto *label = new TGPRichBaseLabel(&form);
    label->MakeReady();
    EXPECT_EQ(label->Master(), engine);
    EXPECT_TRUE(label->DoubleClickAction);
    EXPECT_EQ(TRichTextEngine::EnsureMaster(&form), engine);
}

TEST_F(RichTextTest, MenuTicksAndBackgroundColourSwitchesTransparencyOffDirectly)
{
    auto *label = Place<TGPRichBaseLabel>();
    QMenu *menu = label->ObjectMenu();
    const QStringList captions = TopLevelCaptions(menu);
    ASSERT_GE(captions.size(), 5);
    EXPECT_EQ(captions.mid(captions.size() - 5),
              QStringList({"-", "Transparent", "Background Color", "Border", "Edit"}));
    QAction *transparent = FindItem(menu, "Transparent");
    QAction *border = FindItem(menu, "Border");
    EXPECT_TRUE(transparent->isChecked());
    EXPECT_TRUE(border->isChecked());

    EXPECT_EQ(REPORTS(border->trigger()), 1);
    EXPECT_EQ(label->BorderStyle(), TGPRichBaseLabel::bsNone);
    label->RefreshMenu();
    EXPECT_FALSE(border->isChecked());

    EXPECT_GE(REPORTS(label->TakeBackgroundColor(0x00FF00)), 1);
    EXPECT_EQ(label->BGColor(), 0x00FF00u);
    EXPECT_FALSE(label->Transparent());
    // Written directly: the tick follows only at the next refresh.
    EXPECT_TRUE(transparent->isChecked());
    label->RefreshMenu();
    EXPECT_FALSE(transparent->isChecked());
    EXPECT_EQ(REPORTS(transparent->trigger()), 1);
    EXPECT_TRUE(label->Transparent());
}

TEST_F(RichTextTest, DrawsColoursBorderAndBackground)
{
    auto *label = Place<TGPRichBaseLabel>(10, 10, 120, 40);
    label->SetRTFText(RedBold);
    QImage image = Painted(*label);
    const QRect inside(2, 2, 116, 36);
    EXPECT_GT(PixelsLike(image, Qt::red, inside), 40);
    // Transparent: the canvas shows through where there is no text.
    EXPECT_EQ(image.pixelColor(110, 30), QColor(200, 200, 200));
    // A one-pixel black frame round the object.
    for (const QPoint p : {QPoint(0, 0), QPoint(119, 0), QPoint(0, 39), QPoint(119, 39),
                           QPoint(60, 0), QPoint(60, 39), QPoint(0, 20), QPoint(119, 20)})
        EXPECT_EQ(image.pixelColor(p), QColor(Qt::black)) << p.x() << "," << p.y();
    EXPECT_NE(image.pixelColor(1, 1), QColor(Qt::black));

    label->SetTransparent(false);
    label->SetBGColor(0x00FFFF); // yellow
    label->SetBorderStyle(TGPRichBaseLabel::bsNone);
    image = Painted(*label);
    EXPECT_EQ(image.pixelColor(110, 30), QColor(Qt::yellow));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::yellow));
    EXPECT_GT(PixelsLike(image, Qt::red, inside), 40);
}

TEST_F(RichTextTest, BoldRunIsHeavierAndZoomScalesThePage)
{
    auto *bold = Place<TGPRichBaseLabel>(0, 0, 190, 33);
    auto *plain = Place<TGPRichBaseLabel>(0, 40, 190, 33);
    bold->SetRTFText("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 {\\b HHHHHH}}");
    plain->SetRTFText("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 HHHHHH}");
    const QRect inside(2, 2, 186, 29);
    const int boldInk = PixelsLike(Painted(*bold, Qt::white), Qt::black, inside);
    const int plainInk = PixelsLike(Painted(*plain, Qt::white), Qt::black, inside);
    EXPECT_GT(plainInk, 20);
    EXPECT_GT(boldInk, plainInk * 6 / 5);

    // At zoom 2 the page stays the label's size at 100 %, drawn at 200 %.
    const int ppi = ScreenPixelsPerInch();
    const int right100 = RightmostDark(Painted(*plain, Qt::white), inside);
    surface->SetZoom(2.0f);
    EXPECT_EQ(plain->Width(), 380);
    EXPECT_EQ(plain->PageWidthTwips(), int(std::trunc(190.0 / ppi * 1440)));
    if (ppi == 96)
        EXPECT_EQ(plain->PageWidthTwips(), 2850);
    const int right200 = RightmostDark(Painted(*plain, Qt::white),
                                       QRect(2, 2, plain->Width() - 4, plain->Height() - 4));
    EXPECT_NEAR(right200, 2 * right100, 4);
    EXPECT_EQ(plain->Master()->Zoom(), 200);
}

TEST_F(RichTextTest, LabelsShareTheMasterYetEachDrawsItsOwnTextParsedOnce)
{
    auto *red = Place<TGPRichBaseLabel>(0, 0, 120, 40);
    auto *blue = Place<TGPRichBaseLabel>(0, 50, 120, 40);
    red->SetRTFText(RedBold);
    blue->SetRTFText("{\\rtf1{\\colortbl;\\red0\\green0\\blue255;}\\fs28\\cf1\\b MMMM}");
    EXPECT_EQ(red->Master(), blue->Master());
    const TRichText *parsed = &red->Content();
    for (int round = 0; round < 2; ++round) {
        const QImage a = Painted(*red);
        const QImage b = Painted(*blue);
        EXPECT_GT(PixelsLike(a, Qt::red), 40);
        EXPECT_EQ(PixelsLike(a, Qt::blue), 0);
        EXPECT_GT(PixelsLike(b, Qt::blue), 40);
        EXPECT_EQ(PixelsLike(b, Qt::red), 0);
    }
    // Painting reuses the parsed text; new bytes are parsed again.
    EXPECT_EQ(&red->Content(), parsed);
    EXPECT_EQ(red->Content().PlainText(), "WWWW");
    red->SetRTFText("{\\rtf1 Other}");
    EXPECT_EQ(red->Content().PlainText(), "Other");
}

TEST_F(RichTextTest, UnreadableContentKeepsItsBytesThroughFileAndEditor)
{
    auto *label = Place<TGPRichBaseLabel>(10, 10, 120, 40);
    const QByteArray hostile = "{\\rtf1 " + QByteArray(5000, '{') + "lost?";
    label->SetRTFText(hostile);
    EXPECT_EQ(label->ReadResult().status, TRtfReadStatus::Refused);
    EXPECT_TRUE(label->Content().IsEmpty());
    const QImage image = Painted(*label);
    EXPECT_EQ(image.pixelColor(60, 20), QColor(200, 200, 200));

    TObjectKindRegistry::Instance().Register<TGPRichBaseLabel>();
    const QByteArray bytes = WriteObjectList({label});
    const QList<TGGraphicControl *> read =
        CardObjects(TGLabelObjectFiler().ReadObjects(bytes, owner.get(), surface.get()));
    ASSERT_EQ(read.size(), 1);
    auto *copy = qobject_cast<TGPRichBaseLabel *>(read.first());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Rtf(), hostile);

    // OK in the editor without a change leaves the bytes alone.
    OnNextModal([](QWidget *modal) {
        auto *editor = qobject_cast<TRichTextLabelEditor *>(modal);
        ASSERT_NE(editor, nullptr);
        QTest::mouseClick(editor->OKButton, Qt::LeftButton);
    });
    EXPECT_EQ(REPORTS(EXPECT_TRUE(copy->Edit())), 0);
    EXPECT_EQ(copy->Rtf(), hostile);
}

TEST_F(RichTextTest, EditorFormatsTextAndTheCardShowsIt)
{
    auto *label = Place<TGPRichBaseLabel>(10, 10, 190, 33);
    label->SetRTFText("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Old text}");
    OnNextModal([](QWidget *modal) {
        auto *editor = qobject_cast<TRichTextLabelEditor *>(modal);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->windowTitle(), "Rich Text Editor");
        EXPECT_EQ(editor->RichEdit->Document()->toPlainText(), "Old text");
        // The editing area is the label plus one; the page its size at 100 %.
        EXPECT_EQ(editor->EditArea->size(), QSize(191, 34));
        EXPECT_EQ(editor->RichEdit->PageWidth(),
                  int(std::trunc(190.0 / ScreenPixelsPerInch() * 1440)));
        // Type a word, select everything, make it bold and red and centre it.
        editor->RichEdit->setFocus();
        QTextCursor end(editor->RichEdit->Document());
        end.movePosition(QTextCursor::End);
        editor->RichEdit->SetTextCursor(end);
        QTest::keyClicks(editor->RichEdit->viewport(), " new");
        QTextCursor all(editor->RichEdit->Document());
        all.select(QTextCursor::Document);
        editor->RichEdit->SetTextCursor(all);
        editor->RichTextToolbar->BoldAction->trigger();
        const int red = editor->RichTextToolbar->FontColor->findText("Red");
        ASSERT_GE(red, 0);
        editor->RichTextToolbar->FontColor->setCurrentIndex(red);
        Q_EMIT editor->RichTextToolbar->FontColor->activated(red);
        editor->RichTextToolbar->CenterAction->trigger();
        QTest::mouseClick(editor->OKButton, Qt::LeftButton);
    });
    EXPECT_EQ(REPORTS(EXPECT_TRUE(label->Edit())), 1);

    TRichText back;
    EXPECT_EQ(back.LoadRtf(label->Rtf()).status, TRtfReadStatus::Rtf);
    EXPECT_EQ(back.PlainText(), "Old text new");
    QTextCursor at(back.Document());
    at.setPosition(2);
    EXPECT_GE(at.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(at.charFormat().foreground().color(), QColor(Qt::red));
    EXPECT_EQ(at.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_GT(PixelsLike(Painted(*label), Qt::red), 40);

    // Cancel keeps what there was, typing or not.
    const QByteArray before = label->Rtf();
    OnNextModal([](QWidget *modal) {
        auto *editor = qobject_cast<TRichTextLabelEditor *>(modal);
        ASSERT_NE(editor, nullptr);
        // The toolbar shows the format at the cursor, at the text's start.
        EXPECT_TRUE(editor->RichTextToolbar->BoldAction->isChecked());
        EXPECT_TRUE(editor->RichTextToolbar->CenterAction->isChecked());
        EXPECT_FALSE(editor->RichTextToolbar->LeftAction->isChecked());
        EXPECT_EQ(editor->RichTextToolbar->FontColor->currentText(), "Red");
        QTest::keyClicks(editor->RichEdit->viewport(), "zzz");
        QTest::mouseClick(editor->CancelButton, Qt::LeftButton);
    });
    EXPECT_FALSE(label->Edit());
    EXPECT_EQ(label->Rtf(), before);
}

TEST_F(RichTextTest, EditorZoomStopsAtOneHundredAndFifty)
{
    auto *label = Place<TGPRichBaseLabel>(10, 10, 190, 33);
    OnNextModal([](QWidget *modal) {
        auto *editor = qobject_cast<TRichTextLabelEditor *>(modal);
        ASSERT_NE(editor, nullptr);
        auto *zoomCaption = editor->findChild<TGraphicPanel *>("ZoomCaption");
        ASSERT_NE(zoomCaption, nullptr);
        EXPECT_EQ(zoomCaption->size(), QSize(50, 20));
        auto *in = editor->findChild<QToolButton *>("ZoomInButton");
        auto *out = editor->findChild<QToolButton *>("ZoomOutButton");
        ASSERT_TRUE(in && out);
        EXPECT_EQ(in->toolTip(), "Zoom In");
        EXPECT_EQ(out->toolTip(), "Zoom Out");
        EXPECT_EQ(editor->RichEdit->Zoom(), 100);
        const QPoint place = editor->EditArea->pos();
        QTest::mouseClick(in, Qt::LeftButton);
        EXPECT_EQ(editor->RichEdit->Zoom(), 100);
        EXPECT_EQ(editor->EditArea->size(), QSize(191, 34));
        const int page = editor->RichEdit->PageWidth();
        QList<int> zooms;
        for (int i = 0; i < 6; ++i) {
            QTest::mouseClick(out, Qt::LeftButton);
            zooms.append(editor->RichEdit->Zoom());
        }
        EXPECT_EQ(zooms, QList<int>({90, 80, 70, 60, 50, 50}));
        // Round(50 x 191 / 100) = 96 (halves to even), Round(50 x 34 / 100) = 17.
        EXPECT_EQ(editor->EditArea->size(), QSize(96, 17));
        EXPECT_EQ(editor->EditArea->pos(), place);
        EXPECT_EQ(editor->RichEdit->PageWidth(), page);
        EXPECT_EQ(zoomCaption->Caption(), "50%");
        QTest::mouseClick(in, Qt::LeftButton);
        EXPECT_EQ(editor->RichEdit->Zoom(), 60);
        QTest::mouseClick(editor->CancelButton, Qt::LeftButton);
    });
    EXPECT_FALSE(label->Edit());

    // Above 100 % only Zoom Out acts.
    surface->SetZoom(1.5f);
    OnNextModal([](QWidget *modal) {
        auto *editor = qobject_cast<TRichTextLabelEditor *>(modal);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->RichEdit->Zoom(), 150);
        editor->ZoomInClick();
        EXPECT_EQ(editor->RichEdit->Zoom(), 150);
        editor->ZoomOutClick();
        EXPECT_EQ(editor->RichEdit->Zoom(), 140);
        QTest::mouseClick(editor->CancelButton, Qt::LeftButton);
    });
    EXPECT_FALSE(label->Edit());
}

TEST_F(RichTextTest, ToolPlacesABorderedTransparentLabelAndOpensTheEditor)
{
    // A new text starts in the card's default font.
    QFont card(QStringLiteral("Courier New"));
    card.setPointSize(14);
    card.setBold(true);
    surface->SetSurfaceFont(card);
    bool opened = false;
    OnNextModal([&opened](QWidget *modal) {
        auto *editor = qobject_cast<TRichTextLabelEditor *>(modal);
        ASSERT_NE(editor, nullptr);
        opened = true;
        EXPECT_EQ(editor->RichTextToolbar->FontSize->currentText(), "14");
        EXPECT_TRUE(editor->RichTextToolbar->BoldAction->isChecked());
        QTest::keyClicks(editor->RichEdit->viewport(), "Hi");
        QTest::mouseClick(editor->OKButton, Qt::LeftButton);
    });
    surface->SetPanelState(psRichLabel);
    surface->CreateObjectForTool(TRect{30, 30, 230, 70});
    EXPECT_TRUE(opened);
    ASSERT_EQ(surface->Objects().size(), 1);
    auto *label = qobject_cast<TGPRichBaseLabel *>(surface->Objects().first());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->BorderStyle(), TGPRichBaseLabel::bsSingle);
    EXPECT_TRUE(label->Transparent());
    EXPECT_EQ(label->Content().PlainText(), "Hi");
    QTextCursor at(label->Content().Document());
    at.setPosition(1);
    EXPECT_EQ(at.charFormat().fontFamilies().toStringList().value(0), "Courier New");
    EXPECT_EQ(at.charFormat().fontPointSize(), 14);
    EXPECT_GE(at.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(surface->PanelState(), psPointing);
}

TEST(GraphicPanel, FrameBevelsFillAndClicks)
{
    TGraphicPanel panel;
    EXPECT_EQ(panel.size(), QSize(185, 41));
    EXPECT_EQ(panel.BevelOuter(), TGraphicPanel::bvRaised);
    EXPECT_EQ(panel.BevelInner(), TGraphicPanel::bvNone);
    EXPECT_EQ(panel.BevelWidth(), 1);
    EXPECT_EQ(panel.Alignment(), Qt::AlignHCenter);
    EXPECT_EQ(panel.Color(), panel.palette().color(QPalette::Button));

    panel.resize(60, 24);
    panel.SetColor(QColor(10, 200, 30));
    panel.SetBorderStyle(TGraphicPanel::bsSingle);
    panel.SetBevelWidth(2);
    panel.SetBevelWidth(0); // ignored: a bevel is at least one pixel
    QImage image(panel.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    panel.render(&image);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(59, 23), QColor(Qt::black));
    // Raised: light at the top left, dark at the bottom right, two pixels wide.
    const QColor light = panel.palette().color(QPalette::Light);
    const QColor dark = panel.palette().color(QPalette::Dark);
    EXPECT_EQ(image.pixel(1, 10), light.rgb());
    EXPECT_EQ(image.pixel(2, 10), light.rgb());
    EXPECT_EQ(image.pixel(58, 10), dark.rgb());
    EXPECT_EQ(image.pixel(57, 10), dark.rgb());
    EXPECT_EQ(image.pixelColor(3, 3), QColor(10, 200, 30));

    panel.SetBevelOuter(TGraphicPanel::bvLowered);
    panel.SetCaption("50%");
    image.fill(Qt::magenta);
    panel.render(&image);
    EXPECT_EQ(image.pixel(1, 10), dark.rgb());
    EXPECT_EQ(image.pixel(58, 10), light.rgb());
    int ink = 0;
    for (int x = 3; x < 57; ++x)
        for (int y = 3; y < 21; ++y)
            ink += image.pixelColor(x, y) != QColor(10, 200, 30);
    EXPECT_GT(ink, 10); // the caption

    int clicks = 0;
    int doubles = 0;
    panel.OnClick = [&clicks] { ++clicks; };
    panel.OnDblClick = [&doubles] { ++doubles; };
    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseDClick(&panel, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_GE(clicks, 1);
    EXPECT_EQ(doubles, 1);
}

TEST_F(RichTextTest, ATextOfTooManyFormatChangesSaysSoWhereTheMouseRests)
{
    auto *label = Place<TGPRichBaseLabel>(10, 10, 120, 40);
    label->SetRTFText(RedBold);
    const auto tipAt = [this](QPoint at) {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, at, surface->mapToGlobal(at));
        QApplication::sendEvent(surface.get(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tipAt(QPoint(30, 30)), QString());

    QByteArray runs = "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}";
    for (int i = 0; i < 3000; ++i)
        runs += i % 2 ? "{\\cf1 b}" : "{\\b a}";
    runs += "}";
    label->SetRTFText(runs);
    const QString said = QStringLiteral("This text changes its format more than 2000 times; "
                                        "from there on it is drawn in one format.");
    EXPECT_EQ(tipAt(QPoint(200, 150)), QString()); // off the label
    EXPECT_EQ(tipAt(QPoint(30, 30)), said);
    // It still draws, and keeps its bytes as they are.
    EXPECT_GT(PixelsLike(Painted(*label), Qt::red, QRect(2, 2, 116, 36)), 10);
    EXPECT_EQ(label->Rtf(), runs);
}
