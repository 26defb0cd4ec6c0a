// Multi-line labels: drawing (pixels), fitting, the object menu, the text
// editor and the multi-line tool.
#include "ObjectsFixture.h"
#include "common/TestSupport.h"
#include "objects/Gmlted.h"
#include "objects/Gpmlabel.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListView>
#include <QFontDialog>
#include <QFontMetrics>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Paints the label as the surface does (layout first, then the drawing in its
// own coordinates) onto a white canvas of its size.
QImage Render(TGMultiLineBaseLabel &label)
{
    QImage image(label.Width(), label.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    label.UpdateLayout();
    label.Paint(painter);
    return image;
}

bool Dark(QRgb c)
{
    return qGray(c) < 128;
}

// The dark columns between rows top and bottom (excluded): first and last,
// -1 when none.
QPair<int, int> InkColumns(const QImage &image, int top, int bottom)
{
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y)
            if (Dark(image.pixel(x, y))) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

// The dark rows of the image: first and last, -1 when none.
QPair<int, int> InkRows(const QImage &image)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Dark(image.pixel(x, y))) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return {first, last};
}

// The font dialog's list that offers an entry, or null.
QListView *ListOffering(QFontDialog *dialog, const QString &entry)
{
    for (QListView *list : dialog->findChildren<QListView *>()) {
        const QModelIndexList found = list->model()->match(
            list->model()->index(0, 0), Qt::DisplayRole, entry, 1, Qt::MatchExactly);
        if (!found.isEmpty())
            return list;
    }
    return nullptr;
}

void ClickEntry(QListView *list, const QString &entry)
{
    const QModelIndexList found = list->model()->match(list->model()->index(0, 0),
                                                       Qt::DisplayRole, entry, 1, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << entry.toStdString();
    list->scrollTo(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(found.first()).center());
}

} // namespace

using MultiLineDrawTest = ObjectTest;

TEST_F(MultiLineDrawTest, LinesStandAtTheirAlignedPlacesAtZoomOneAndTwo)
{
    auto *label = Place<TGMultiLineLabel>(0, 0, 190, 60);
    label->Font()->SetStyle(fsBold);
    label->SetItems({"HHH", "HH"});
    const QFontMetrics metrics(label->ZoomedFont());
    const int lh = label->LineHeight();
    EXPECT_EQ(lh, metrics.height());
    const int w0 = metrics.horizontalAdvance("HHH");
    const int w1 = metrics.horizontalAdvance("HH");

    struct Case
    {
        TGMultiLineBaseLabel::TAlignment alignment;
        int x0, x1;
    };
    const Case cases[] = {{TGMultiLineBaseLabel::taLeftJustify, 0, 0},
                          {TGMultiLineBaseLabel::taCenter, 95 - w0 / 2 + 1, 95 - w1 / 2 + 1},
                          {TGMultiLineBaseLabel::taRightJustify, 190 - w0 - 1, 190 - w1 - 1}};
    for (const Case &c : cases) {
        label->SetAlignment(c.alignment);
        const QImage image = Render(*label);
        const auto line0 = InkColumns(image, 0, lh);
        const auto line1 = InkColumns(image, lh, 2 * lh);
        // An H's stems sit a pixel or two inside its advance.
        EXPECT_GE(line0.first, c.x0) << c.alignment;
        EXPECT_LE(line0.first, c.x0 + 3) << c.alignment;
        EXPECT_LE(line0.second, c.x0 + w0) << c.alignment;
        EXPECT_GE(line0.second, c.x0 + w0 - 4) << c.alignment;
        EXPECT_GE(line1.first, c.x1) << c.alignment;
        EXPECT_LE(line1.first, c.x1 + 3) << c.alignment;
        // Each line stands in its own band.
        EXPECT_EQ(InkColumns(image, 2 * lh, image.height()).first, -1);
    }

    // The worked example: a 50-pixel line in a 190-pixel label.
    EXPECT_EQ(label->LineLeft(50), 139);
    label->SetAlignment(TGMultiLineBaseLabel::taCenter);
    EXPECT_EQ(label->LineLeft(50), 71);

    // At zoom 2 the font and the bounds double: the second line starts at the
    // zoomed line height, its strokes twice as tall.
    label->SetAlignment(TGMultiLineBaseLabel::taLeftJustify);
    label->SetItems({"HHH"});
    const auto rowsOne = InkRows(Render(*label));
    label->SetZoomScale(2.0f);
    EXPECT_EQ(label->Width(), 380);
    const int lh2 = label->LineHeight();
    EXPECT_GE(lh2, 2 * lh - 2);
    const auto rowsTwo = InkRows(Render(*label));
    const int tallOne = rowsOne.second - rowsOne.first + 1;
    const int tallTwo = rowsTwo.second - rowsTwo.first + 1;
    EXPECT_GE(tallTwo, 2 * tallOne - 2);
    EXPECT_LE(tallTwo, 2 * tallOne + 2);
    label->SetItems({"HHH", "HH"});
    const QImage two = Render(*label);
    const auto second = InkColumns(two, lh2, 2 * lh2);
    EXPECT_GE(second.first, 0);
    EXPECT_LE(second.first, 5);
    EXPECT_GE(second.second, 2 * w1 - 8);
    EXPECT_LE(second.second, 2 * w1 + 2);
}

TEST_F(MultiLineDrawTest, EmptyLabelShowsBlankPlaceholderThatIsNeverStored)
{
    auto *label = Place<TGMultiLineLabel>(0, 0, 190, 60);
    const int lh = label->LineHeight();
    EXPECT_EQ(label->PaintedLines(), QStringList({"<blank>"}));
    QImage image = Render(*label);
    EXPECT_GE(InkColumns(image, 0, lh).first, 0);
    EXPECT_TRUE(label->Lines().isEmpty());

    // One line of spaces: a blank first line, the placeholder on the second.
    label->SetItems({"   "});
    EXPECT_EQ(label->PaintedLines(), QStringList({"   ", "<blank>"}));
    image = Render(*label);
    EXPECT_EQ(InkColumns(image, 0, lh).first, -1);
    EXPECT_GE(InkColumns(image, lh, 2 * lh).first, 0);
    EXPECT_EQ(label->Lines(), QStringList({"   "}));

    // Text of its own needs no placeholder.
    label->SetItems({"", "x"});
    EXPECT_EQ(label->PaintedLines(), QStringList({"", "x"}));
}

TEST_F(MultiLineDrawTest, WrappedLinesAreDrawnAndUnwrappedOnesClippedAtTheEdge)
{
    auto *label = Place<TGMultiLineLabel>(0, 0, 90, 200);
    label->SetItems({"Design print and delivery of cards"});
    const int lh = label->LineHeight();
    QImage image = Render(*label);
    EXPECT_GE(InkColumns(image, 0, lh).second, 85); // runs to the edge
    EXPECT_EQ(InkColumns(image, lh, image.height()).first, -1);

    label->SetWordWrap(true);
    const int lines = int(label->DisplayLines().size());
    ASSERT_GE(lines, 3);
    image = Render(*label);
    for (int i = 0; i < lines; ++i)
        EXPECT_GE(InkColumns(image, i * lh, (i + 1) * lh).first, 0) << i;
    EXPECT_EQ(InkColumns(image, lines * lh, image.height()).first, -1);

    // A larger font re-wraps at its own widths.
    label->Font()->SetSize(14);
    const int larger = int(label->DisplayLines().size());
    EXPECT_GT(larger, lines);
    label->Font()->SetSize(10);

    // A zoom taken over without a bounds change still re-wraps before painting.
    label->AdoptZoomScale(2.0f);
    label->UpdateLayout();
    EXPECT_GT(label->DisplayLines().size(), lines);
}

TEST_F(MultiLineDrawTest, FitToLinesSizesToTheLinesAndNeverToNothing)
{
    auto *label = Place<TGMultiLineLabel>(10, 10, 60, 15);
    const int lh = label->LineHeight();
    const QFontMetrics metrics(label->ZoomedFont());

    label->SetItems({"Acme Trading Company", "1 Road", "Town"});
    label->FitToLines();
    EXPECT_EQ(label->Height(), 3 * lh);
    EXPECT_EQ(label->Width(), metrics.horizontalAdvance("Acme Trading Company"));
    EXPECT_EQ(label->Left(), 10);
    EXPECT_EQ(label->Top(), 10);

    // The width only grows.
    label->SetItems({"A"});
    label->FitToLines();
    EXPECT_EQ(label->Width(), metrics.horizontalAdvance("Acme Trading Company"));
    EXPECT_EQ(label->Height(), lh);

    // No lines: one line high, so the "<blank>" stays in view.
    label->SetItems({});
    label->FitToLines();
    EXPECT_EQ(label->Height(), lh);
    // One blank line is one line high, as one line of text is.
    label->SetItems({" "});
    label->FitToLines();
    EXPECT_EQ(label->Height(), lh);
    label->SetItems({"", "Two"});
    label->FitToLines();
    EXPECT_EQ(label->Height(), 2 * lh);

    // With word wrap the wrapped lines count.
    label->SetWidth(90);
    label->SetWordWrap(true);
    label->SetItems({"Design print and delivery of cards for every trade"});
    label->FitToLines();
    EXPECT_EQ(label->Width(), 90);
    EXPECT_GT(label->DisplayLines().size(), 2);
    EXPECT_EQ(label->Height(), lh * int(label->DisplayLines().size()));
}

TEST_F(MultiLineDrawTest, MenuItemsReportOnceAndTickTheCurrentValues)
{
    auto *label = Place<TGMultiLineLabel>(10, 10, 190, 60);
    QMenu *menu = label->ObjectMenu();
    const QStringList tail = {"-", "Font", "Alignment", "-", "Text", "Word Wrap"};
    const QStringList captions = TopLevelCaptions(menu);
    ASSERT_GE(captions.size(), tail.size());
    EXPECT_EQ(captions.mid(captions.size() - tail.size()), tail);
    EXPECT_EQ(captions.first(), QStringLiteral("Bring To Front"));

    Q_EMIT menu->aboutToShow();
    EXPECT_TRUE(FindItem(menu, "Left")->isChecked());
    EXPECT_FALSE(FindItem(menu, "Center")->isChecked());
    EXPECT_FALSE(FindItem(menu, "Word Wrap")->isChecked());

    EXPECT_EQ(REPORTS(FindItem(menu, "Center")->trigger()), 1);
    EXPECT_EQ(label->Alignment(), TGMultiLineBaseLabel::taCenter);
    Q_EMIT menu->aboutToShow();
    EXPECT_TRUE(FindItem(menu, "Center")->isChecked());
    EXPECT_FALSE(FindItem(menu, "Left")->isChecked());
    EXPECT_FALSE(FindItem(menu, "Right")->isChecked());
    EXPECT_EQ(REPORTS(FindItem(menu, "Center")->trigger()), 0);
    EXPECT_EQ(REPORTS(FindItem(menu, "Right")->trigger()), 1);
    Q_EMIT menu->aboutToShow();
    EXPECT_TRUE(FindItem(menu, "Right")->isChecked());
    EXPECT_FALSE(FindItem(menu, "Center")->isChecked());

    // Chosen with the mouse from the open menu, which takes the release.
    label->PopupObjectMenu(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    const QPoint at = menu->actionGeometry(FindItem(menu, "Word Wrap")).center();
    QTest::mouseMove(menu->windowHandle(), at);
    EXPECT_EQ(REPORTS(QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {}, at)), 1);
    EXPECT_TRUE(label->WordWrap());
    EXPECT_TRUE(FindItem(menu, "Word Wrap")->isChecked());
    EXPECT_EQ(REPORTS(FindItem(menu, "Word Wrap")->trigger()), 1);
    EXPECT_FALSE(label->WordWrap());
    EXPECT_FALSE(FindItem(menu, "Word Wrap")->isChecked());
    label->SetWordWrap(true); // outside the menu
    Q_EMIT menu->aboutToShow();
    EXPECT_TRUE(FindItem(menu, "Word Wrap")->isChecked());

    // Font: bold and a colour taken, the family keeps its name, one report.
    OnNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<QFontDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        QListView *styles = ListOffering(dialog, "Bold");
        ASSERT_NE(styles, nullptr);
        ClickEntry(styles, "Bold");
        auto *colors = dialog->findChild<QComboBox *>("ColorBox");
        ASSERT_NE(colors, nullptr);
        ASSERT_TRUE(colors->isVisible());
        colors->setCurrentIndex(colors->findText("Navy"));
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(REPORTS(FindItem(menu, "Font")->trigger()), 1);
    EXPECT_EQ(label->Font()->Style(), uint32_t(fsBold));
    EXPECT_EQ(label->Font()->Color(), TColor(0x800000));
    EXPECT_EQ(label->Font()->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(label->Font()->Size(), 10);

    // Text: the editor's lines, one report; Cancel changes nothing.
    OnNextModal([](QWidget *modal) {
        auto *editor = qobject_cast<TMultiLineTextEditor *>(modal);
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor->findChild<QPlainTextEdit *>("Memo"), "Acme");
        QTest::mouseClick(editor->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
    });
    EXPECT_EQ(REPORTS(FindItem(menu, "Text")->trigger()), 1);
    EXPECT_EQ(label->Lines(), QStringList({"Acme"}));
    OnNextModal([](QWidget *modal) {
        auto *editor = qobject_cast<TMultiLineTextEditor *>(modal);
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor->findChild<QPlainTextEdit *>("Memo"), "more");
        QTest::mouseClick(editor->findChild<QPushButton *>("CancelButton"), Qt::LeftButton);
    });
    EXPECT_EQ(REPORTS(FindItem(menu, "Text")->trigger()), 0);
    EXPECT_EQ(label->Lines(), QStringList({"Acme"}));
}

TEST_F(MultiLineDrawTest, EditorTakesAtMost254CharactersInTheLabelFont)
{
    TMultiLineTextEditor editor;
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Multi-line Text Editor"));
    EXPECT_EQ(editor.size(), QSize(342, 243));
    auto *memo = editor.findChild<QPlainTextEdit *>("Memo");
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(editor.findChild<QPushButton *>("OKButton")->isDefault());
    EXPECT_EQ(editor.findChild<QPushButton *>("OKButton")->text(), QStringLiteral("Ok"));
    ASSERT_NE(editor.findChild<QPushButton *>("HelpButton"), nullptr);

    editor.SetLines({"Acme", "Road"});
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Acme\nRoad"));
    EXPECT_EQ(editor.Lines(), QStringList({"Acme", "Road"}));

    // Enter starts a new line; the trailing line break adds no line.
    QTest::keyClick(memo, Qt::Key_Return);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Acme\nRoad\n"));
    EXPECT_EQ(editor.Lines(), QStringList({"Acme", "Road"}));
    EXPECT_EQ(editor.result(), 0); // not closed by Enter

    // Typing and pasting stop at 254 characters, line breaks included.
    memo->clear();
    QTest::keyClicks(memo, QString(250, QLatin1Char('a')));
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, QStringLiteral("bcdefg"));
    EXPECT_EQ(memo->toPlainText(), QString(250, QLatin1Char('a')) + "\nbcd");
    memo->moveCursor(QTextCursor::Start);
    memo->insertPlainText(QStringLiteral("XYZ"));
    EXPECT_EQ(memo->toPlainText().size(), 254);
    EXPECT_TRUE(memo->toPlainText().endsWith("\nbcd"));
    memo->clear();
    memo->insertPlainText(QString(300, QLatin1Char('z')));
    EXPECT_EQ(memo->toPlainText(), QString(254, QLatin1Char('z')));

    // Longer text read from a file is shown whole.
    editor.SetLines({QString(300, QLatin1Char('q'))});
    EXPECT_EQ(memo->toPlainText().size(), 300);

    auto *label = Place<TGMultiLineLabel>();
    label->Font()->SetName(QStringLiteral("Times New Roman"));
    label->Font()->SetSize(14);
    OnNextModal([](QWidget *modal) {
        auto *memo = modal->findChild<QPlainTextEdit *>("Memo");
        ASSERT_NE(memo, nullptr);
        EXPECT_EQ(memo->font().family(), QStringLiteral("Times New Roman"));
        EXPECT_EQ(memo->font().pixelSize(), 19);
        qobject_cast<QDialog *>(modal)->reject();
    });
    EXPECT_FALSE(label->EditText());
}

TEST_F(MultiLineDrawTest, ToolOpensTheEditorAndFitsWhateverItsResult)
{
    surface->SetPanelState(psMultiLineLabel);
    OnNextModal([](QWidget *modal) {
        auto *editor = qobject_cast<TMultiLineTextEditor *>(modal);
        ASSERT_NE(editor, nullptr);
        auto *memo = editor->findChild<QPlainTextEdit *>("Memo");
        QTest::keyClicks(memo, "Acme Ltd");
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, "1 Long Road");
        QTest::mouseClick(editor->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
    });
    surface->CreateObjectForTool(TRect{10, 10, 60, 30});
    ASSERT_EQ(surface->ObjectCount(), 1);
    auto *label = qobject_cast<TGMultiLineLabel *>(surface->ObjectAt(0));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Lines(), QStringList({"Acme Ltd", "1 Long Road"}));
    EXPECT_EQ(label->Height(), 2 * label->LineHeight());
    EXPECT_GE(label->Width(),
              QFontMetrics(label->ZoomedFont()).horizontalAdvance(QStringLiteral("1 Long Road")));

    // Cancelled: empty, yet one line high.
    OnNextModal([](QWidget *modal) { qobject_cast<QDialog *>(modal)->reject(); });
    surface->CreateObjectForTool(TRect{10, 100, 60, 130});
    ASSERT_EQ(surface->ObjectCount(), 2);
    auto *empty = qobject_cast<TGMultiLineLabel *>(surface->ObjectAt(1));
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->Lines().isEmpty());
    EXPECT_EQ(empty->Height(), empty->LineHeight());
    EXPECT_GT(empty->Height(), 0);
}
