// The card object base: bounds checks, change reports, selection squares,
// zoom rounding, flags, the object menu and centring.
#include "SurfaceFixture.h"
#include "document/ObjectStream.h"
#include "document/StreamIO.h"

#include <QMenu>

using GraphicControlTest = SurfaceTest;

TEST_F(GraphicControlTest, FirstBoundsCheckIsSilentAndLaterOnesReportOnce)
{
    auto *object = new TGPlaceholderObject(owner.get(), "Box");
    object->SetParent(surface.get());
    changes = 0;
    object->SetBounds(10, 10, 40, 20); // first check: only recorded
    EXPECT_EQ(changes, 0);
    object->SetBounds(12, 10, 40, 20);
    EXPECT_EQ(changes, 1);
    object->SetBounds(12, 10, 40, 20); // no change, no report
    EXPECT_EQ(changes, 1);
    object->SetWidth(41);
    EXPECT_EQ(changes, 2);

    // While the object is read from a stream nothing is checked or reported.
    object->SetLoading(true);
    object->SetBounds(0, 0, 5, 5);
    object->SetLocked(true);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(object->Locked());
    object->SetLoading(false);
}

TEST_F(GraphicControlTest, ChangesAreNotReportedWhilePrintingOrZooming)
{
    TGPlaceholderObject *object = Place(10, 10, 40, 20);
    changes = 0;
    surface->SetPrinting(true);
    object->SetLeft(30);
    EXPECT_EQ(changes, 0);
    surface->SetPrinting(false);
    surface->SetZoom(1.5f);
    EXPECT_EQ(changes, 0);
    object->SetLeft(31);
    EXPECT_EQ(changes, 1);
}

TEST_F(GraphicControlTest, OneSelectedObjectShowsEightBlackSquaresTwoShowFourGrey)
{
    TGPlaceholderObject *a = Place(50, 40, 60, 30);
    TGPlaceholderObject *b = Place(200, 100, 40, 40);
    handles()->AddToSelection(a);
    QImage img = Render();
    const QRgb black = qRgb(0, 0, 0);
    // R = bounds grown by 2: (48, 38)-(112, 72); squares 5 x 5 flush with its corners.
    EXPECT_EQ(img.pixel(48, 38), black);
    EXPECT_EQ(img.pixel(52, 42), black);
    EXPECT_NE(img.pixel(53, 38), black);
    EXPECT_EQ(img.pixel(111, 71), black);
    EXPECT_EQ(img.pixel(107, 67), black);
    EXPECT_NE(img.pixel(47, 38), black);
    // Middle squares: mx = 48 + 32 = 80 -> columns 78..82 on the top edge.
    EXPECT_EQ(img.pixel(78, 38), black);
    EXPECT_EQ(img.pixel(82, 42), black);
    EXPECT_NE(img.pixel(83, 38), black);
    // my = 38 + 17 = 55 -> rows 53..57 on the left edge.
    EXPECT_EQ(img.pixel(48, 53), black);
    EXPECT_EQ(img.pixel(48, 57), black);

    handles()->AddToSelection(b);
    img = Render();
    const QRgb grey = qRgb(128, 128, 128);
    EXPECT_EQ(img.pixel(48, 38), grey);
    EXPECT_EQ(img.pixel(111, 71), grey);
    EXPECT_EQ(img.pixel(198, 98), grey);
    EXPECT_EQ(img.pixel(241, 141), grey);
    EXPECT_NE(img.pixel(78, 38), grey); // no middle squares in a multiple selection
    EXPECT_NE(img.pixel(78, 38), black);
}

TEST_F(GraphicControlTest, ZoomRoundsHalvesToEven)
{
    TGPlaceholderObject *object = Place(15, 10, 101, 20);
    object->SetZoomScale(1.5f);
    EXPECT_EQ(object->Left(), 22);   // 22.5 -> 22
    EXPECT_EQ(object->Width(), 152); // 151.5 -> 152
    EXPECT_EQ(object->Top(), 15);
    EXPECT_EQ(object->Height(), 30);
    EXPECT_FLOAT_EQ(object->ZoomScale(), 1.5f);
    object->SetZoomScale(1.5f); // same scale: nothing
    EXPECT_EQ(object->Left(), 22);
}

TEST_F(GraphicControlTest, UnselectableLeavesTheSelectionAndIsRefused)
{
    TGPlaceholderObject *object = Place(10, 10, 40, 20);
    handles()->AddToSelection(object);
    ASSERT_TRUE(handles()->Visible());
    object->MarkUnselectable();
    EXPECT_FALSE(handles()->Visible());
    EXPECT_EQ(handles()->SelectedCount(), 0);
    handles()->AddToSelection(object);
    EXPECT_EQ(handles()->SelectedCount(), 0);
}

TEST_F(GraphicControlTest, ObjectMenuHasTheBaseItemsInOrderAndLockedTicks)
{
    TGPlaceholderObject *object = Place(10, 10, 40, 20);
    QStringList captions;
    for (QAction *a : object->ObjectMenu()->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(captions, (QStringList{"Bring To Front", "Send To Back", "Cut", "Copy", "Delete",
                                     "Clone", "-", "Locked", "Unselectable", "-",
                                     "Center Vertically", "Center Horizontally"}));
    changes = 0;
    object->LockedMenuItem()->trigger();
    EXPECT_TRUE(object->Locked());
    EXPECT_TRUE(object->LockedMenuItem()->isChecked());
    EXPECT_EQ(changes, 1);
    object->SetLocked(false);
    EXPECT_FALSE(object->LockedMenuItem()->isChecked());
}

TEST_F(GraphicControlTest, ArrangeCommandsChangePaintingOrder)
{
    TGPlaceholderObject *a = Place(10, 10, 40, 20);
    TGPlaceholderObject *b = Place(20, 20, 40, 20);
    a->BringToFront();
    EXPECT_EQ(surface->Objects().last(), a);
    handles()->AddToSelection(a);
    a->SendToBack();
    EXPECT_EQ(surface->Objects().first(), a);
    EXPECT_EQ(handles()->SelectedCount(), 0);
    changes = 0;
    b->DeleteObject();
    EXPECT_EQ(surface->ObjectCount(), 1);
    EXPECT_GE(changes, 1);
}

TEST_F(GraphicControlTest, CentringUsesIntegerHalves)
{
    TGPlaceholderObject *object = Place(3, 4, 41, 21);
    object->CenterVertically();
    EXPECT_EQ(object->Top(), 96 - 10);
    object->CenterHorizontally();
    EXPECT_EQ(object->Left(), 168 - 20);
}

TEST(TrimSpaces, OnlyTheSpaceCharacterIsBlank)
{
    EXPECT_EQ(TGGraphicControl::TrimSpaces("  two words  "), "two words");
    EXPECT_EQ(TGGraphicControl::TrimSpaces("\tleading tab "), "\tleading tab");
    EXPECT_EQ(TGGraphicControl::TrimSpaces("    "), "");
    EXPECT_EQ(TGGraphicControl::TrimSpaces(""), "");
}

TEST_F(GraphicControlTest, DialogsBelongToTheWindowShowingTheObjectOrToItsOwner)
{
    QWidget window;
    surface->setParent(&window);
    auto *placed = new TGPlaceholderObject(owner.get(), "Placed");
    placed->SetParent(surface.get());
    EXPECT_EQ(placed->DialogParent(), &window);

    // Not on a surface: the first widget up the owner chain, as its window.
    QWidget ownerWindow;
    auto *holder = new QObject(&ownerWindow);
    TGPlaceholderObject loose(holder, "Loose");
    EXPECT_EQ(loose.DialogParent(), &ownerWindow);

    TGPlaceholderObject orphan(nullptr, "Orphan");
    EXPECT_EQ(orphan.DialogParent(), nullptr);
    surface->setParent(nullptr);
}

namespace {

// What could be seen of an object while its own menu was still delivering the
// command that removes it, and afterwards.
struct TMenuRemoval
{
    bool deliveredToTheEnd = false; // a later receiver of the item's signal ran
    bool aliveWhileDelivering = false;
    bool onCardWhileDelivering = true;
    bool selectedWhileDelivering = true;
};

} // namespace

// Delete and Cut picked from an object's own menu take the object off the card
// at once, but free it (and so its menu) only once the menu has finished.
TEST_F(GraphicControlTest, DeleteAndCutFromTheObjectsOwnMenu)
{
    TGGraphicControl *other = DrawRectangle({200, 100}, {260, 140});
    auto pick = [&](TGGraphicControl *object, const QString &caption) {
        TMenuRemoval seen;
        QMenu *menu = OpenMenu();
        EXPECT_EQ(menu, object->ObjectMenu());
        if (!menu)
            return seen;
        const QPointer<TGGraphicControl> guard(object);
        QObject::connect(MenuItem(menu, caption), &QAction::triggered, menu, [&, object] {
            seen.deliveredToTheEnd = true;
            seen.aliveWhileDelivering = !guard.isNull();
            seen.onCardWhileDelivering = surface->Objects().contains(object);
            seen.selectedWhileDelivering = handles()->IndexOfSelected(object) >= 0;
        });
        ChooseMenuItem(menu, caption);
        return seen;
    };

    for (const QString caption : {QStringLiteral("Delete"), QStringLiteral("Cut")}) {
        SCOPED_TRACE(caption.toStdString());
        TGGraphicControl *shape = DrawRectangle({40, 40}, {100, 70});
        const QPointer<TGGraphicControl> guard(shape);
        const QPointer<QMenu> menu(shape->ObjectMenu());
        changes = 0;
        RightClick({50, 50}); // selects it and opens its menu; the menu takes the release
        EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{shape}));
        const TMenuRemoval seen = pick(shape, caption);
        EXPECT_TRUE(seen.deliveredToTheEnd);
        EXPECT_TRUE(seen.aliveWhileDelivering);
        EXPECT_FALSE(seen.onCardWhileDelivering);
        EXPECT_FALSE(seen.selectedWhileDelivering);
        EXPECT_GE(changes, 1);
        EXPECT_FALSE(handles()->Visible());
        RunEvents();
        EXPECT_TRUE(guard.isNull());
        EXPECT_TRUE(menu.isNull());
        EXPECT_EQ(surface->Objects(), (QList<TGGraphicControl *>{other}));

        // The card goes on as before: a click where the object was selects
        // nothing, a click on the other object selects it.
        Move({60, 55});
        Press({60, 55});
        Release({60, 55});
        EXPECT_EQ(handles()->SelectedCount(), 0);
        Move({210, 110});
        Press({210, 110});
        clock.Advance(50);
        Release({210, 110});
        EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{other}));
        Move({320, 180});
        Press({320, 180});
        Release({320, 180});
    }
    // The cut object went to the clipboard: Ctrl+V brings it back 15 lower right.
    clock.Advance(5000);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(surface->ObjectCount(), 2);
    EXPECT_BOUNDS(surface->ObjectAt(1), 55, 55, 60, 30);

    // An unselectable object's menu opens on a double-click; its Delete frees
    // that object alone, which is not in the selection.
    TGGraphicControl *fixed = DrawRectangle({40, 120}, {100, 150});
    fixed->SetUnselectable(true);
    const QPointer<TGGraphicControl> guard(fixed);
    Move({300, 20});
    DoubleClick({50, 130});
    const TMenuRemoval seen = pick(fixed, QStringLiteral("Delete"));
    EXPECT_TRUE(seen.deliveredToTheEnd);
    EXPECT_TRUE(seen.aliveWhileDelivering);
    EXPECT_FALSE(seen.onCardWhileDelivering);
    RunEvents();
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(surface->ObjectCount(), 2);
    EXPECT_FALSE(surface->Objects().contains(fixed));
}

// Centring lets pending input run; a Delete waiting there frees the object
// whose menu command is still running.
TEST_F(GraphicControlTest, CentringFromTheObjectMenuWhileAWaitingDeleteFreesTheObject)
{
    for (const QString caption :
         {QStringLiteral("Center Vertically"), QStringLiteral("Center Horizontally")}) {
        SCOPED_TRACE(caption.toStdString());
        TGGraphicControl *shape = DrawRectangle({10, 10}, {70, 40});
        const QPointer<TGGraphicControl> guard(shape);
        RightClick({20, 20});
        ASSERT_EQ(OpenMenu(), shape->ObjectMenu());
        QueueKey(Qt::Key_Delete);
        ChooseMenuItem(OpenMenu(), caption);
        RunEvents();
        EXPECT_TRUE(guard.isNull());
        EXPECT_EQ(surface->ObjectCount(), 0);
        EXPECT_FALSE(handles()->Visible());
    }
}

// Records written at a zoom under TFullSizeRecords hold what a zoom back to
// 100 % would store, for objects untouched since the zoom (their remembered
// full size) and for objects moved or resized at the zoom (scaled back), and
// writing them leaves the card and its objects as they were.
TEST_F(GraphicControlTest, FullSizeRecordsMatchWhatAZoomBackToFullSizeWrites)
{
    QList<TGPlaceholderObject *> objects{Place(15, 10, 101, 21), Place(33, 47, 57, 13),
                                         Place(120, 90, 45, 45)};
    auto records = [&] {
        QList<QByteArray> all;
        for (const TGPlaceholderObject *object : objects) {
            TStreamWriter writer;
            WriteRootObject(writer, *object);
            all.append(writer.TakeData());
        }
        return all;
    };
    for (const float zoom : {1.5f, 0.7f, 2.3f}) {
        surface->SetZoom(zoom);
        objects.at(1)->SetLeft(objects.at(1)->Left() + 3); // moved at the zoom
        objects.at(2)->SetWidth(objects.at(2)->Width() + 5); // resized at the zoom
        QList<TRect> zoomed;
        for (const TGPlaceholderObject *object : objects)
            zoomed.append(object->BoundsRect());
        QList<QByteArray> quick;
        {
            const TFullSizeRecords fullSize;
            quick = records();
        }
        EXPECT_FLOAT_EQ(surface->ZoomScale(), zoom);
        for (qsizetype i = 0; i < objects.size(); ++i)
            EXPECT_EQ(objects.at(i)->BoundsRect(), zoomed.at(i)) << "object " << i;
        EXPECT_NE(quick, records()) << "the records at the zoom differ at " << zoom;

        surface->SetZoom(1.0f);
        EXPECT_EQ(quick, records()) << "at zoom " << zoom;
        // Back at full size, the records are the bounds as they are.
        const TFullSizeRecords fullSize;
        EXPECT_EQ(quick, records());
    }
}
