// The card object base: bounds checks, change reports, selection squares,
// zoom rounding, flags, the object menu and centring.
#include "SurfaceFixture.h"

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
