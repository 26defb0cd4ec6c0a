// The surface menu as a user works it: the items it offers, align, centre,
// lock, selectability, select all, arranging, removing what lies off the card,
// and commands that let waiting input run or read a damaged clipboard.
#include "SurfaceFixture.h"
#include "objects/Gpmlabel.h"
#include "objects/Gpslabel.h"
#include "objects/gbclabel32.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDialog>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

namespace {

class SurfaceCommandsTest : public SurfaceTest
{
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        QFile::remove(surface->ClipboardFile());
    }

    // Right-clicks the empty card and picks the item from the surface menu.
    void Command(const QString &caption, QPoint at = EmptyCorner)
    {
        RightClick(at);
        QMenu *menu = OpenMenu();
        ASSERT_EQ(menu, surface->SurfaceMenu());
        ChooseMenuItem(menu, caption);
        RunEvents();
    }
    // The items the surface menu offers (enabled) as it opens.
    QStringList Offered(QPoint at = EmptyCorner)
    {
        RightClick(at);
        QStringList enabled;
        if (QMenu *menu = OpenMenu()) {
            for (QAction *item : menu->actions())
                if (!item->isSeparator() && item->isEnabled())
                    enabled << item->text();
        }
        DismissMenu();
        return enabled;
    }
    void Click(QPoint p)
    {
        Move(p);
        Press(p);
        clock.Advance(50);
        Release(p);
    }

    static constexpr QPoint EmptyCorner{330, 186};
};

} // namespace

TEST_F(SurfaceCommandsTest, TheMenuOffersWhatApplies)
{
    const QStringList always{"Mark All Selectable", "Mark All Unselectable", "Select All"};
    EXPECT_EQ(Offered(), always);
    // "Select All" on an empty card selects nothing.
    Command("Select All");
    EXPECT_EQ(handles()->SelectedCount(), 0);

    Place(20, 20, 60, 30);
    EXPECT_EQ(Offered(), QStringList({"Lock All", "Unlock All"}) + always);

    Click({30, 30});
    ASSERT_EQ(handles()->SelectedCount(), 1);
    const QStringList withSelection{
        "Bring To Front", "Send To Back", "Cut", "Copy", "Delete", "Align Left", "Align Right",
        "Align Tops", "Align Bottoms", "Center Vertically", "Center Horizontally", "Lock All",
        "Unlock All", "Mark All Selectable", "Mark All Unselectable", "Select All", "Font"};
    EXPECT_EQ(Offered(), withSelection);
    // The menu keeps the selection; Paste is offered once the clipboard file exists.
    EXPECT_EQ(handles()->SelectedCount(), 1);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(Offered().contains("Paste"));
}

TEST_F(SurfaceCommandsTest, AlignMovesTheSelectionToItsOuterEdge)
{
    TGPlaceholderObject *a = Place(60, 20, 60, 30);  // right edge 120
    TGPlaceholderObject *b = Place(150, 70, 50, 41); // right edge 200
    TGPlaceholderObject *c = Place(20, 150, 30, 20); // not selected
    b->SetLocked(true);                              // aligning moves locked objects too
    Drag({55, 15}, {210, 120});
    ASSERT_EQ(handles()->SelectedCount(), 2);

    changes = 0;
    Command("Align Right");
    EXPECT_BOUNDS(a, 140, 20, 60, 30);
    EXPECT_BOUNDS(b, 150, 70, 50, 41);
    EXPECT_GE(changes, 1);
    Command("Align Left");
    EXPECT_EQ(a->Left(), 140);
    EXPECT_EQ(b->Left(), 140);
    Command("Align Bottoms");
    EXPECT_EQ(a->Top() + a->Height(), 111);
    EXPECT_EQ(b->Top() + b->Height(), 111);
    Command("Align Tops");
    EXPECT_EQ(a->Top(), 70);
    EXPECT_EQ(b->Top(), 70);
    EXPECT_BOUNDS(c, 20, 150, 30, 20);
    // The handles follow the objects.
    EXPECT_EQ(handles()->BoundsRect(), TRect(138, 68, 200 + 4, 111 + 4));

    // Objects that all start beyond the card's right edge go to its width.
    surface->FreeObject(c);
    a->SetLeft(340);
    b->SetLeft(400);
    Command("Select All");
    ASSERT_EQ(handles()->SelectedCount(), 2);
    Command("Align Left");
    EXPECT_EQ(a->Left(), 336);
    EXPECT_EQ(b->Left(), 336);
}

TEST_F(SurfaceCommandsTest, CentreTheSelectionOnTheCard)
{
    TGPlaceholderObject *a = Place(10, 10, 61, 30);
    TGPlaceholderObject *b = Place(200, 120, 40, 41);
    Drag({5, 5}, {250, 170});
    ASSERT_EQ(handles()->SelectedCount(), 2);
    Command("Center Vertically");
    EXPECT_BOUNDS(a, 10, 96 - 15, 61, 30);
    EXPECT_BOUNDS(b, 200, 96 - 20, 40, 41);
    Command("Center Horizontally");
    EXPECT_EQ(a->Left(), 168 - 30);
    EXPECT_EQ(b->Left(), 168 - 20);
    EXPECT_EQ(handles()->SelectedCount(), 2);
}

TEST_F(SurfaceCommandsTest, LockAllKeepsEveryObjectWhereItIs)
{
    TGPlaceholderObject *a = Place(20, 20, 60, 30);
    TGPlaceholderObject *b = Place(150, 100, 60, 30);
    changes = 0;
    Command("Lock All");
    EXPECT_TRUE(a->Locked());
    EXPECT_TRUE(b->Locked());
    EXPECT_TRUE(a->LockedMenuItem()->isChecked());
    EXPECT_GE(changes, 2);
    Drag({30, 30}, {60, 50});
    EXPECT_BOUNDS(a, 20, 20, 60, 30);

    Command("Unlock All");
    EXPECT_FALSE(a->Locked());
    EXPECT_FALSE(b->Locked());
    EXPECT_FALSE(a->LockedMenuItem()->isChecked());
    Click(EmptyCorner);
    // A press on an unselected object drags it from the first move on (31, 30).
    Drag({30, 30}, {60, 50});
    EXPECT_BOUNDS(a, 49, 40, 60, 30);
}

TEST_F(SurfaceCommandsTest, SelectabilityAndSelectAll)
{
    TGPlaceholderObject *a = Place(20, 20, 60, 30);
    TGPlaceholderObject *b = Place(150, 100, 60, 30);
    TGPlaceholderObject *c = Place(250, 20, 60, 30);
    Click({30, 30});
    ASSERT_EQ(handles()->SelectedCount(), 1);

    Command("Mark All Unselectable");
    EXPECT_EQ(handles()->SelectedCount(), 0);
    EXPECT_FALSE(handles()->Visible());
    // Clicks, rubber bands and Select All all pass them by.
    Click({30, 30});
    EXPECT_EQ(handles()->SelectedCount(), 0);
    Drag({5, 5}, {330, 150});
    EXPECT_EQ(handles()->SelectedCount(), 0);
    Command("Select All");
    EXPECT_EQ(handles()->SelectedCount(), 0);

    Command("Mark All Selectable");
    Command("Select All");
    EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{a, b, c}));
}

TEST_F(SurfaceCommandsTest, BringToFrontAndSendToBack)
{
    TGPlaceholderObject *a = Place(20, 20, 60, 30);
    TGPlaceholderObject *b = Place(40, 30, 60, 30);
    Click({25, 25}); // only a is under this point
    ASSERT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{a}));
    Command("Bring To Front");
    EXPECT_EQ(surface->Objects(), (QList<TGGraphicControl *>{b, a}));
    EXPECT_EQ(handles()->SelectedCount(), 1);
    Command("Send To Back");
    EXPECT_EQ(surface->Objects(), (QList<TGGraphicControl *>{a, b}));
    EXPECT_EQ(handles()->SelectedCount(), 0);
}

TEST_F(SurfaceCommandsTest, RemoveOutsideObjectsKeepsWhatShowsTenPixels)
{
    TGPlaceholderObject *right = Place(10, 10, 30, 20);
    right->SetLeft(336 - 10); // 10 pixels on the card: kept
    TGPlaceholderObject *tooRight = Place(10, 10, 30, 20);
    tooRight->SetLeft(336 - 9);
    TGPlaceholderObject *pushed = Place(10, 10, 30, 20);
    pushed->SetLeft(336 - 5);
    TGPlaceholderObject *low = Place(10, 10, 30, 20);
    low->SetTop(192 - 10);
    TGPlaceholderObject *tooLow = Place(10, 10, 30, 20);
    tooLow->SetTop(192 - 9);
    TGPlaceholderObject *flat = Place(100, 100, 30, 20);
    flat->SetHeight(0);
    TGPlaceholderObject *upperLeft = Place(10, 10, 30, 20);
    upperLeft->SetBounds(-200, -100, 30, 20); // over the left and top edges: never removed
    handles()->AddToSelection(right);

    surface->RemoveOutsideObjects();
    EXPECT_EQ(surface->Objects(), (QList<TGGraphicControl *>{right, low, upperLeft}));
    EXPECT_EQ(handles()->SelectedCount(), 0);
    (void)tooRight;
    (void)pushed;
    (void)tooLow;
    (void)flat;
}

// Centring lets waiting input run; a Delete waiting there frees the selection
// that the command is working through.
TEST_F(SurfaceCommandsTest, CentringWhileAWaitingDeleteFreesTheSelection)
{
    for (const QString caption :
         {QStringLiteral("Center Vertically"), QStringLiteral("Center Horizontally")}) {
        SCOPED_TRACE(caption.toStdString());
        const QPointer<TGGraphicControl> a(DrawRectangle({10, 10}, {70, 40}));
        const QPointer<TGGraphicControl> b(DrawRectangle({100, 120}, {180, 150}));
        Drag({5, 5}, {190, 160});
        ASSERT_EQ(handles()->SelectedCount(), 2);
        RightClick(EmptyCorner);
        ASSERT_EQ(OpenMenu(), surface->SurfaceMenu());
        QueueKey(Qt::Key_Delete);
        ChooseMenuItem(OpenMenu(), caption);
        RunEvents();
        EXPECT_TRUE(a.isNull());
        EXPECT_TRUE(b.isNull());
        EXPECT_EQ(surface->ObjectCount(), 0);
        EXPECT_FALSE(handles()->Visible());
    }
}

// Clone lets waiting input run too; the copy stays when a waiting Delete
// frees the original.
TEST_F(SurfaceCommandsTest, CloneWhileAWaitingDeleteFreesTheOriginal)
{
    const QPointer<TGGraphicControl> shape(DrawRectangle({40, 40}, {100, 70}));
    RightClick({50, 50});
    ASSERT_EQ(OpenMenu(), shape->ObjectMenu());
    QueueKey(Qt::Key_Delete);
    ChooseMenuItem(OpenMenu(), "Clone");
    RunEvents();
    EXPECT_TRUE(shape.isNull());
    ASSERT_EQ(surface->ObjectCount(), 1);
    TGGraphicControl *copy = surface->ObjectAt(0);
    EXPECT_BOUNDS(copy, 40, 65, 60, 30);
    EXPECT_EQ(handles()->SelectedCount(), 0);
    // The copy is a working object: a click selects it.
    Click({50, 90});
    EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{copy}));
}

// A clipboard file that breaks off in its second object pastes nothing: the
// first object is not left behind without its mouse handling and zoom.
TEST_F(SurfaceCommandsTest, APasteThatFailsPartWayPastesNothing)
{
    surface->SetZoom(1.5f);
    TGGraphicControl *a = DrawRectangle({20, 20}, {80, 50});
    TGGraphicControl *b = DrawRectangle({120, 60}, {200, 100});
    Drag({10, 10}, {210, 110});
    ASSERT_EQ(handles()->SelectedCount(), 2);
    Key(Qt::Key_C, Qt::ControlModifier);
    QFile file(surface->ClipboardFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    const qsizetype second = whole.indexOf("TPF0", whole.indexOf("TPF0") + 4);
    ASSERT_GT(second, 0);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(whole.left(second + (whole.size() - second) / 2));
    file.close();

    TDialogAnswer shown;
    AnswerNextMessageBox(QMessageBox::Ok, &shown);
    clock.Advance(5000);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(shown.seen);
    EXPECT_FALSE(shown.text.isEmpty());
    EXPECT_EQ(surface->Objects(), (QList<TGGraphicControl *>{a, b}));

    // With the clipboard whole again, a paste brings working objects at the card's zoom.
    Key(Qt::Key_C, Qt::ControlModifier);
    clock.Advance(5000);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(surface->ObjectCount(), 4);
    TGGraphicControl *pasted = nullptr;
    for (TGGraphicControl *object : surface->Objects())
        if (object != a && object->Left() == 42)
            pasted = object;
    ASSERT_NE(pasted, nullptr);
    EXPECT_FLOAT_EQ(pasted->ZoomScale(), 1.5f);
    // 15 pixels on at 100 % (the rectangle is 13, 13, 40 x 20 there).
    EXPECT_BOUNDS(pasted, 42, 42, 60, 30);
    Click({300, 180});
    Click({50, 50});
    EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{pasted}));
}

// The clipboard holds the copies at 100 %: pasted at another zoom they are
// the size of their originals at that zoom, 15 pixels on at 100 %.
TEST_F(SurfaceCommandsTest, APasteAtAnotherZoomKeepsTheSizeAndTheOffset)
{
    TGGraphicControl *original = DrawRectangle({203, 20}, {252, 50});
    ASSERT_TRUE(SameBounds(original, 203, 20, 49, 30));
    Click({220, 30});
    Key(Qt::Key_C, Qt::ControlModifier);
    surface->SetZoom(1.5f);
    clock.Advance(5000);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(surface->ObjectCount(), 2);
    TGGraphicControl *copy = surface->ObjectAt(1);
    EXPECT_EQ(copy->Width(), original->Width());
    EXPECT_EQ(copy->Height(), original->Height());
    EXPECT_NEAR(copy->Left() - original->Left(), 22.5, 1.0);
    EXPECT_NEAR(copy->Top() - original->Top(), 22.5, 1.0);
    // Back at 100 % the copy is where a paste at 100 % puts it.
    surface->SetZoom(1.0f);
    EXPECT_BOUNDS(copy, 218, 35, 49, 30);

    // Copied at 150 % and pasted at 100 %: the same again.
    surface->SetZoom(1.5f);
    handles()->ClearSelection();
    handles()->AddToSelection(original);
    Key(Qt::Key_C, Qt::ControlModifier);
    surface->SetZoom(1.0f);
    clock.Advance(5000);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(surface->ObjectCount(), 3);
    EXPECT_BOUNDS(surface->ObjectAt(2), 218, 35, 49, 30);
}

namespace {

// A font dialog's list offering an entry, and a click on that entry.
QListView *ListOffering(QFontDialog *dialog, const QString &entry)
{
    for (QListView *list : dialog->findChildren<QListView *>())
        if (!list->model()
                 ->match(list->model()->index(0, 0), Qt::DisplayRole, entry, 1, Qt::MatchExactly)
                 .isEmpty())
            return list;
    return nullptr;
}

void ClickEntry(QFontDialog *dialog, const QString &entry)
{
    QListView *list = ListOffering(dialog, entry);
    ASSERT_NE(list, nullptr) << entry.toStdString();
    const QModelIndex at =
        list->model()
            ->match(list->model()->index(0, 0), Qt::DisplayRole, entry, 1, Qt::MatchExactly)
            .first();
    list->scrollTo(at);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(at).center());
}

// Answers the next font dialog: a style, a colour by name, OK.
void AnswerFontDialog(const QString &style, const QString &color, QString *shownColor = nullptr)
{
    OnNextModal([=](QWidget *modal) {
        // A failed check leaves the dialog, so that the test goes on.
        const auto close = qScopeGuard([modal] { modal->close(); });
        auto *dialog = qobject_cast<QFontDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        // The symbol families the program draws itself are offered as well.
        EXPECT_NE(ListOffering(dialog, "Webdings"), nullptr);
        ClickEntry(dialog, style);
        auto *colors = dialog->findChild<QComboBox *>("ColorBox");
        ASSERT_NE(colors, nullptr);
        ASSERT_TRUE(colors->isVisible());
        if (shownColor)
            *shownColor = colors->currentText();
        colors->setCurrentIndex(colors->findText(color));
        QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
}

} // namespace

TEST_F(SurfaceCommandsTest, FontDialogsSetTheColourOfTheTextTheyChangeTheFontOf)
{
    auto place = [this](TGGraphicControl *object, int top) {
        object->MakeReady();
        surface->PlaceObject(object, TRect::FromBounds(20, top, 150, 30));
    };
    auto *text = new TGBusinessCardLabel(owner.get());
    place(text, 10);
    auto *lines = new TGMultiLineLabel(owner.get());
    place(lines, 60);
    lines->SetItems({"Street 1", "Town"});
    auto *symbol = new TGSymbolLabel(owner.get());
    place(symbol, 120);
    text->Font()->SetColor(0x008000); // green

    // The label's own Font item starts from its colour.
    QString shown;
    AnswerFontDialog("Italic", "Maroon", &shown);
    QAction *item = MenuItem(text->ObjectMenu(), "Font");
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_EQ(shown, "Green");
    EXPECT_EQ(text->LabelFont().Color(), TColor(0x000080));
    EXPECT_EQ(text->LabelFont().Style(), uint32_t(fsItalic));

    // The card's Font command gives the whole selection the font and the
    // colour, starting from the default font's black; a symbol keeps its own.
    Command("Select All");
    ASSERT_EQ(handles()->SelectedCount(), 3);
    AnswerFontDialog("Bold", "Red", &shown);
    Command("Font");
    EXPECT_EQ(shown, "Black");
    EXPECT_EQ(text->LabelFont().Color(), TColor(0x0000FF));
    EXPECT_EQ(text->LabelFont().Style(), uint32_t(fsBold));
    EXPECT_EQ(lines->Font()->Color(), TColor(0x0000FF));
    EXPECT_EQ(lines->Font()->Style(), uint32_t(fsBold));
    EXPECT_EQ(symbol->LabelFont().Color(), TColor(0));
    EXPECT_EQ(symbol->LabelFont().Name(), "WingDings");
}
