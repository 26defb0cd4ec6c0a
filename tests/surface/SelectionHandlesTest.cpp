// The selection handles: frame geometry, moving and resizing by mouse with
// the click and drag timing rules, snapping, locked objects and arrow keys.
#include "SurfaceFixture.h"

using SelectionHandlesTest = SurfaceTest;

TEST_F(SelectionHandlesTest, FrameGeometryFollowsTheSelection)
{
    TGPlaceholderObject *a = Place(20, 30, 40, 20);
    TGPlaceholderObject *b = Place(100, 60, 30, 30);
    TGPlaceholderObject *c = Place(200, 10, 10, 10);
    handles()->ClearSelection();
    EXPECT_FALSE(handles()->Visible());
    handles()->AddToSelection(a);
    EXPECT_TRUE(handles()->Visible());
    EXPECT_EQ(handles()->BoundsRect(), TRect::FromBounds(18, 28, 45, 25));
    handles()->AddToSelection(b);
    handles()->AddToSelection(c);
    EXPECT_EQ(handles()->BoundsRect(), TRect(18, 8, 213, 93));
    // Removing the leftmost still encloses the other two.
    handles()->RemoveFromSelection(a);
    EXPECT_EQ(handles()->BoundsRect(), TRect(98, 8, 213, 93));
    handles()->FitToSelection();
    EXPECT_EQ(handles()->BoundsRect(), TRect(98, 8, 214, 94));
    handles()->ClearSelection();
    EXPECT_FALSE(handles()->Visible());
    EXPECT_FALSE(handles()->Enabled());
    EXPECT_EQ(handles()->Width(), 24);
    EXPECT_EQ(handles()->Height(), 24);
    EXPECT_EQ(handles()->SelectedObject(0), nullptr);
    EXPECT_EQ(handles()->SelectedObject(-1), nullptr);
}

TEST_F(SelectionHandlesTest, PressOnAnObjectDragsItAfterTenMilliseconds)
{
    TGPlaceholderObject *object = Place(50, 50, 60, 30);
    Press({60, 60});
    EXPECT_EQ(handles()->SelectedCount(), 1);
    clock.Advance(5);
    Move({61, 60});
    EXPECT_FALSE(handles()->Dragging());
    clock.Advance(10);
    Move({62, 60}); // 15 ms after the press: the drag starts here
    EXPECT_TRUE(handles()->Dragging());
    Move({92, 80});
    EXPECT_FALSE(handles()->DragOutline().IsZero());
    clock.Advance(200);
    Release({92, 80});
    EXPECT_BOUNDS(object, 80, 70, 60, 30);
    EXPECT_FALSE(handles()->Dragging());
    EXPECT_TRUE(surface->XorFrames().isEmpty());
}

TEST_F(SelectionHandlesTest, AQuickClickMovesNothing)
{
    TGPlaceholderObject *object = Place(50, 50, 60, 30);
    handles()->AddToSelection(object);
    Move({200, 150});
    clock.Advance(1000);
    Press({70, 60});
    clock.Advance(40);
    Move({74, 63});
    clock.Advance(60);
    Release({74, 63}); // 100 ms after the press
    EXPECT_BOUNDS(object, 50, 50, 60, 30);

    // The same gesture held for 200 ms does move it.
    Press({70, 60});
    clock.Advance(100);
    Move({74, 63});
    clock.Advance(100);
    Release({74, 63});
    EXPECT_BOUNDS(object, 54, 53, 60, 30);
}

TEST_F(SelectionHandlesTest, ResizingByTheBottomRightCornerFollowsThePointerOneShort)
{
    TGPlaceholderObject *object = Place(50, 50, 100, 50);
    handles()->AddToSelection(object);
    // Frame (48, 48, 105, 55): its bottom-right corner is at (153, 103).
    Move({152, 102});
    EXPECT_EQ(handles()->GrabZone(), gzBottomRight);
    EXPECT_EQ(surface->ScreenCursor(), -8);
    Press({152, 102});
    clock.Advance(50);
    Move({172, 112});
    clock.Advance(200);
    Release({172, 112});
    EXPECT_BOUNDS(object, 50, 50, 119, 59);
}

TEST_F(SelectionHandlesTest, GrabZonesAndTheirCursors)
{
    TGPlaceholderObject *object = Place(50, 50, 100, 50);
    handles()->AddToSelection(object);
    struct Probe
    {
        QPoint at;
        TGrabZone zone;
        int cursor;
    };
    // Frame (48, 48) with size 105 x 55.
    const Probe probes[] = {
        {{50, 50}, gzTopLeft, -8},   {{150, 50}, gzTopRight, -6}, {{50, 100}, gzBottomLeft, -6},
        {{100, 50}, gzTop, -7},      {{100, 101}, gzBottom, -7},  {{50, 75}, gzLeft, -9},
        {{151, 76}, gzRight, -9},    {{100, 75}, gzMove, 6},
    };
    for (const Probe &p : probes) {
        Move(p.at);
        EXPECT_EQ(handles()->GrabZone(), p.zone) << p.at.x() << "," << p.at.y();
        EXPECT_EQ(surface->ScreenCursor(), p.cursor) << p.at.x() << "," << p.at.y();
    }

    // With two objects selected the corner is a move, shown by the grabbing hand.
    TGPlaceholderObject *other = Place(200, 120, 40, 30);
    handles()->AddToSelection(other);
    Move({50, 50});
    EXPECT_EQ(handles()->GrabZone(), gzMove);
    EXPECT_EQ(surface->ScreenCursor(), 6);
    Press({50, 50});
    clock.Advance(50);
    Move({60, 55});
    clock.Advance(200);
    Release({60, 55});
    EXPECT_BOUNDS(object, 60, 55, 100, 50);
    EXPECT_BOUNDS(other, 210, 125, 40, 30);
}

TEST_F(SelectionHandlesTest, SnappingPutsTheObjectOnAGridDot)
{
    surface->SetSnapToGrid(true);
    EXPECT_EQ(handles()->GridX(), 4);
    TGPlaceholderObject *object = Place(50, 50, 60, 30);
    // Grab 13 pixels into the frame; releasing at x = 50 proposes left 37.
    Drag({60, 60}, {50, 60});
    EXPECT_EQ(handles()->Left(), 36);
    EXPECT_EQ(object->Left(), 38);
    EXPECT_EQ((object->Left() - 2) % 4, 0);

    surface->SetSnapToGrid(false);
    EXPECT_EQ(handles()->GridX(), 1);
    EXPECT_FALSE(handles()->SnapToGrid());
    surface->SetGridSize(gs8x8);
    surface->SetSnapToGrid(true);
    EXPECT_EQ(handles()->GridX(), 8);
    EXPECT_EQ(handles()->SnapX(37), 32);
    EXPECT_EQ(handles()->SnapX(-3), 0); // truncation toward zero
}

TEST_F(SelectionHandlesTest, LockedObjectsStayPutWhileTheFrameMoves)
{
    TGPlaceholderObject *locked = Place(20, 20, 40, 20);
    TGPlaceholderObject *free = Place(100, 20, 40, 20);
    locked->SetLocked(true);
    handles()->AddToSelection(locked);
    handles()->AddToSelection(free);
    Move({200, 150});
    Drag({110, 25}, {130, 45});
    EXPECT_BOUNDS(locked, 20, 20, 40, 20);
    EXPECT_EQ(free->Left(), 120);
    EXPECT_EQ(free->Top(), 40);
}

TEST_F(SelectionHandlesTest, ResizeNeverMakesTheFrameSmallerThanFive)
{
    TGPlaceholderObject *object = Place(50, 50, 60, 30);
    handles()->AddToSelection(object);
    Move({111, 66}); // right edge of the frame (48 + 65 = 113)
    ASSERT_EQ(handles()->GrabZone(), gzRight);
    Drag({111, 66}, {10, 66});
    EXPECT_EQ(object->Width(), 0); // frame 5 wide, object 5 - 65 + 60
}

TEST_F(SelectionHandlesTest, MovesAreClampedToTheSurface)
{
    TGPlaceholderObject *object = Place(50, 50, 60, 30);
    Drag({60, 60}, {600, 60});
    // The pointer stops at the card's right edge (336); the object moves 276 and sticks out.
    EXPECT_EQ(object->Left(), 50 + (336 - 61));
}

TEST_F(SelectionHandlesTest, ShiftArrowsResizeOneObjectAndMoveSeveral)
{
    TGPlaceholderObject *a = Place(50, 50, 60, 30);
    handles()->AddToSelection(a);
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Right, Qt::ShiftModifier);
        QCoreApplication::processEvents();
    }
    EXPECT_BOUNDS(a, 50, 50, 63, 30);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_BOUNDS(a, 50, 50, 63, 31);

    TGPlaceholderObject *b = Place(150, 50, 30, 30);
    handles()->AddToSelection(b);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_BOUNDS(a, 51, 50, 63, 31);
    EXPECT_BOUNDS(b, 151, 50, 30, 30);
    Key(Qt::Key_Up);
    EXPECT_EQ(a->Top(), 49);
    EXPECT_EQ(b->Top(), 49);
}

TEST_F(SelectionHandlesTest, HeldArrowsMoveTheOutlineAndApplyOnRelease)
{
    TGPlaceholderObject *object = Place(50, 50, 20, 30);
    handles()->AddToSelection(object);
    // Shift + Left held down (auto-repeat) shrinks only while nw exceeds 10.
    for (int i = 0; i < 20; ++i)
        Key(Qt::Key_Left, Qt::ShiftModifier, false);
    EXPECT_TRUE(handles()->NudgeActive());
    EXPECT_EQ(object->Width(), 20); // the object waits for the release
    EXPECT_EQ(surface->XorFrames().size(), 1);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(object->Width(), 9);
    EXPECT_FALSE(handles()->NudgeActive());
    EXPECT_TRUE(surface->XorFrames().isEmpty());
}

TEST_F(SelectionHandlesTest, ArrowsStopAtTheCardEdges)
{
    TGPlaceholderObject *left = Place(0, 50, 20, 20);
    handles()->AddToSelection(left);
    Key(Qt::Key_Left);
    EXPECT_EQ(left->Left(), 0);
    handles()->ClearSelection();

    TGPlaceholderObject *right = Place(300, 100, 30, 20);
    handles()->AddToSelection(right);
    for (int i = 0; i < 12; ++i)
        Key(Qt::Key_Right, {}, false);
    Key(Qt::Key_Right);
    EXPECT_EQ(right->Left() + right->Width(), 336);
}

TEST_F(SelectionHandlesTest, RightClickOpensTheObjectMenuOrTheSurfaceMenu)
{
    TGPlaceholderObject *object = Place(50, 50, 60, 30);
    RightClick({60, 60});
    EXPECT_TRUE(object->ObjectMenu()->isVisible());
    EXPECT_EQ(OpenMenu(), object->ObjectMenu());
    DismissMenu();
    Move({200, 150});
    // On the frame's margin, outside the object grown by 2: the surface menu.
    RightClick({112, 81});
    EXPECT_TRUE(surface->SurfaceMenu()->isVisible());
    EXPECT_EQ(OpenMenu(), surface->SurfaceMenu());
    DismissMenu();
}

TEST_F(SelectionHandlesTest, PlacingToolOverTheFramePassesThePressToTheCard)
{
    TGPlaceholderObject *object = Place(50, 50, 60, 30);
    handles()->AddToSelection(object);
    Move({200, 150});
    surface->SetPanelState(psRectangle);
    Drag({60, 60}, {100, 100});
    EXPECT_EQ(surface->ObjectCount(), 2);
    EXPECT_BOUNDS(surface->ObjectAt(1), 60, 60, 40, 40);
    EXPECT_BOUNDS(object, 50, 50, 60, 30);
}

TEST_F(SelectionHandlesTest, ShiftClickOnTheOnlySelectedObjectLeavesNoDragBehind)
{
    TGPlaceholderObject *a = Place(50, 50, 60, 30);
    TGPlaceholderObject *b = Place(200, 100, 60, 30);
    Move({60, 60});
    Press({60, 60});
    clock.Advance(50);
    Release({60, 60});
    ASSERT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{a}));
    Press({60, 60}, Qt::LeftButton, Qt::ShiftModifier);
    clock.Advance(50);
    Release({60, 60}, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(handles()->SelectedCount(), 0);
    EXPECT_FALSE(handles()->Dragging());
    // Dragging another object moves it by the drag alone.
    Drag({210, 110}, {231, 120});
    EXPECT_BOUNDS(b, 220, 110, 60, 30);
    EXPECT_BOUNDS(a, 50, 50, 60, 30);
}
