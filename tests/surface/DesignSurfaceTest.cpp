// The design surface: placing tools, rubber band selection, grid painting,
// zoom, names, change reports and the deferred refit of the handles.
#include "SurfaceFixture.h"
#include "objects/Glshapes.h"

#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

using DesignSurfaceTest = SurfaceTest;

TEST_F(DesignSurfaceTest, PlacingToolsApplyTheMinimumSizes)
{
    int dropped = 0;
    surface->DroppedObjectEvent = [&](TGBasePanel *, const TRect &) {
        ++dropped;
        surface->SetPanelState(psPointing);
    };

    // A click without dragging: 50 x 15 at the click point.
    surface->SetPanelState(psRectangle);
    Press({40, 30});
    Release({40, 30});
    ASSERT_EQ(surface->ObjectCount(), 1);
    EXPECT_BOUNDS(surface->ObjectAt(0), 40, 30, 50, 15);
    EXPECT_EQ(surface->ObjectAt(0)->Name(), "Special1");
    EXPECT_EQ(dropped, 1);
    EXPECT_TRUE(surface->Pointing());

    // 30 x 10 becomes 30 x 15; 20 x 40 becomes 50 x 40 (a narrow drag gets +50, not +25).
    surface->SetPanelState(psEllipse);
    Drag({100, 100}, {130, 110});
    ASSERT_EQ(surface->ObjectCount(), 2);
    EXPECT_BOUNDS(surface->ObjectAt(1), 100, 100, 30, 15);
    surface->SetPanelState(psLine);
    Drag({220, 120}, {200, 80}); // dragged up and left: normalised first
    ASSERT_EQ(surface->ObjectCount(), 3);
    EXPECT_BOUNDS(surface->ObjectAt(2), 200, 80, 50, 40);
    EXPECT_EQ(surface->ObjectAt(2)->Name(), "Special3");
}

TEST_F(DesignSurfaceTest, ToolsThatOpenTheirOwnDialogResetTheToolThemselves)
{
    surface->SetPanelState(psSuperShape);
    Drag({20, 20}, {80, 60});
    EXPECT_EQ(surface->PanelState(), psPointing);
    EXPECT_TRUE(surface->Pointing());
    surface->SetPanelState(psRectangle);
    Drag({100, 20}, {160, 60});
    // Without a dropped-object handler the plain tools stay active.
    EXPECT_EQ(surface->PanelState(), psRectangle);
}

TEST_F(DesignSurfaceTest, PlacingToolPressedOnAnObjectStartsANewRubberBand)
{
    TGPlaceholderObject *existing = Place(50, 50, 80, 40);
    surface->SetPanelState(psRectangle);
    Drag({60, 60}, {100, 80});
    EXPECT_EQ(surface->ObjectCount(), 2);
    EXPECT_EQ(handles()->IndexOfSelected(existing), -1);
    EXPECT_BOUNDS(surface->ObjectAt(1), 60, 60, 40, 20);
}

TEST_F(DesignSurfaceTest, RubberBandSelectsObjectsItTouches)
{
    TGPlaceholderObject *object = Place(100, 50, 40, 20);
    // Covering only the leftmost pixel column selects it.
    Drag({60, 40}, {101, 80});
    EXPECT_EQ(handles()->SelectedCount(), 1);
    // Ending exactly at its Left does not.
    Drag({60, 40}, {100, 80});
    EXPECT_EQ(handles()->SelectedCount(), 0);
    EXPECT_TRUE(surface->XorFrames().isEmpty());
    (void)object;
}

TEST_F(DesignSurfaceTest, ShiftRubberBandSwapsSelectionStates)
{
    TGPlaceholderObject *a = Place(20, 20, 40, 20);
    TGPlaceholderObject *b = Place(100, 20, 40, 20);
    handles()->AddToSelection(a);
    Drag({10, 10}, {200, 60}, Qt::ShiftModifier);
    EXPECT_EQ(handles()->IndexOfSelected(a), -1);
    EXPECT_EQ(handles()->IndexOfSelected(b), 0);
    EXPECT_EQ(handles()->SelectedCount(), 1);
}

TEST_F(DesignSurfaceTest, ClicksOnTheEmptyCard)
{
    TGPlaceholderObject *a = Place(20, 20, 40, 20);
    handles()->AddToSelection(a);
    // A right click opens the surface menu and keeps the selection.
    RightClick({200, 150});
    EXPECT_TRUE(surface->SurfaceMenu()->isVisible());
    EXPECT_EQ(handles()->SelectedCount(), 1);
    DismissMenu();
    EXPECT_FALSE(surface->SurfaceMenu()->isVisible());
    // A left click clears it.
    Move({200, 150});
    Press({200, 150});
    Release({200, 150});
    EXPECT_EQ(handles()->SelectedCount(), 0);
}

TEST_F(DesignSurfaceTest, ClickSelectsShiftClickExtendsAndDeselects)
{
    TGPlaceholderObject *a = Place(20, 20, 40, 20);
    TGPlaceholderObject *b = Place(150, 100, 40, 20);
    Press({30, 25});
    clock.Advance(50);
    Release({30, 25});
    EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{a}));
    Move({160, 105}, Qt::ShiftModifier);
    Press({160, 105}, Qt::LeftButton, Qt::ShiftModifier);
    clock.Advance(50);
    Release({160, 105}, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{a, b}));
    Move({300, 180}); // a move without the button lets the handles' capture go
    // Shift + click on a selected object takes it out.
    Press({30, 25}, Qt::LeftButton, Qt::ShiftModifier);
    clock.Advance(50);
    Release({30, 25}, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{b}));
}

TEST_F(DesignSurfaceTest, UnselectableObjectsActLikeTheEmptyCard)
{
    TGPlaceholderObject *object = Place(50, 50, 80, 40);
    object->SetUnselectable(true);
    Press({60, 60});
    EXPECT_TRUE(surface->RubberBandActive());
    Release({60, 60});
    EXPECT_EQ(handles()->SelectedCount(), 0);

    // A double-click reaches the object itself and opens its menu.
    DoubleClick({70, 70});
    EXPECT_TRUE(object->ObjectMenu()->isVisible());
    DismissMenu();
    // The menu took the last release: no rubber band follows the pointer.
    Move({150, 120});
    EXPECT_FALSE(surface->RubberBandActive());
    EXPECT_TRUE(surface->XorFrames().isEmpty());
    TGPlaceholderObject *other = Place(200, 50, 40, 30);
    Move({210, 60});
    Press({210, 60});
    Release({210, 60});
    EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{other}));
}

// The surface menu takes the release of the right click that opened it: the
// card must not go on holding the mouse for a release that never comes.
TEST_F(DesignSurfaceTest, RightClickOnTheEmptyCardLeavesTheMouseFree)
{
    TGPlaceholderObject *a = Place(40, 40, 60, 30);
    RightClick({250, 150});
    ASSERT_EQ(OpenMenu(), surface->SurfaceMenu());
    DismissMenu();
    // The next click on the object (the pointer did not move) selects it.
    Press({50, 50});
    clock.Advance(50);
    Release({50, 50});
    EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{a}));

    // With it selected, after another right click a drag moves it.
    RightClick({250, 150});
    DismissMenu();
    Press({50, 50});
    clock.Advance(20);
    Move({51, 50});
    clock.Advance(20);
    Move({80, 70});
    EXPECT_FALSE(surface->RubberBandActive());
    clock.Advance(200);
    Release({80, 70});
    EXPECT_BOUNDS(a, 70, 60, 60, 30);
    EXPECT_TRUE(surface->XorFrames().isEmpty());
}

// Deleting the selection, or saving (which first takes objects lying off the
// card away and clears the selection), hides the handles: they no longer hold
// the mouse, so a click at the same place, without moving, selects.
TEST_F(DesignSurfaceTest, AClickRightAfterDeleteOrSaveSelects)
{
    TGPlaceholderObject *below = Place(40, 40, 60, 30);
    TGPlaceholderObject *above = Place(30, 30, 60, 30);
    Move({50, 50});
    Press({50, 50});
    clock.Advance(50);
    Release({50, 50});
    ASSERT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{above}));
    Key(Qt::Key_Delete);
    ASSERT_EQ(surface->Objects(), (QList<TGGraphicControl *>{below}));
    Press({50, 50});
    clock.Advance(50);
    Release({50, 50});
    EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{below}));

    surface->RemoveOutsideObjects();
    EXPECT_EQ(handles()->SelectedCount(), 0);
    Press({50, 50});
    clock.Advance(50);
    Release({50, 50});
    EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{below}));
}

// A message box that comes up during a drag (here a damaged clipboard pasted
// with Ctrl+V) takes the mouse: the release goes to it, and the rubber band or
// the move under way ends instead of following the pointer afterwards.
TEST_F(DesignSurfaceTest, AMessageDuringADragEndsTheDrag)
{
    const QString clipboard = surface->ClipboardFile();
    auto pasteDamaged = [&](QPoint releaseAt) {
        QFile file(clipboard);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("\x01" "TPF1", 5));
        file.close();
        bool shown = false;
        OnNextModal([&, releaseAt](QWidget *modal) {
            shown = true;
            // The button comes up while the message is shown; the card's
            // window is blocked and does not get the release.
            Release(releaseAt);
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                box->button(QMessageBox::Ok)->click();
            else
                modal->close();
        });
        clock.Advance(5000);
        Key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_TRUE(shown);
        QFile::remove(clipboard);
    };

    Move({20, 20});
    Press({20, 20});
    Move({100, 80});
    ASSERT_TRUE(surface->RubberBandActive());
    pasteDamaged({100, 80});
    EXPECT_FALSE(surface->RubberBandActive());
    EXPECT_TRUE(surface->XorFrames().isEmpty());
    Move({150, 120});
    EXPECT_TRUE(surface->XorFrames().isEmpty());

    TGPlaceholderObject *a = Place(40, 40, 60, 30);
    Move({50, 50});
    Press({50, 50});
    clock.Advance(20);
    Move({51, 50});
    clock.Advance(20);
    Move({90, 80});
    ASSERT_TRUE(handles()->Dragging());
    pasteDamaged({90, 80});
    EXPECT_FALSE(handles()->Dragging());
    EXPECT_TRUE(surface->XorFrames().isEmpty());
    Move({120, 100});
    EXPECT_TRUE(surface->XorFrames().isEmpty());
    EXPECT_BOUNDS(a, 40, 40, 60, 30);
    // The next click is an ordinary click.
    Press({300, 180});
    clock.Advance(200);
    Release({300, 180});
    EXPECT_EQ(handles()->SelectedCount(), 0);
}

TEST_F(DesignSurfaceTest, DoubleClickOnTheSingleSelectedObject)
{
    TGPlaceholderObject *a = Place(50, 50, 80, 40);
    TGPlaceholderObject *b = Place(200, 50, 80, 40);
    int actions = 0;
    b->DoubleClickAction = [&] { ++actions; };

    handles()->AddToSelection(a);
    Move({250, 150});
    DoubleClick({60, 60});
    EXPECT_TRUE(a->ObjectMenu()->isVisible());
    DismissMenu();

    handles()->ClearSelection();
    handles()->AddToSelection(b);
    Move({250, 150});
    DoubleClick({210, 60});
    EXPECT_EQ(actions, 1);
    EXPECT_FALSE(b->ObjectMenu()->isVisible());

    // With two selected a double-click does nothing.
    handles()->AddToSelection(a);
    Move({250, 150});
    DoubleClick({210, 60});
    EXPECT_EQ(actions, 1);
    EXPECT_FALSE(a->ObjectMenu()->isVisible());
    EXPECT_FALSE(b->ObjectMenu()->isVisible());
}

TEST_F(DesignSurfaceTest, GridDotsFallOnTheGrid)
{
    surface->SetShape(lsRectangle);
    surface->SetShowGrid(true);
    const QRgb green = qRgb(0, 128, 0);
    const QRgb white = qRgb(255, 255, 255);
    QImage img = Render();
    EXPECT_EQ(img.pixel(2, 2), green);
    EXPECT_EQ(img.pixel(6, 2), green);
    EXPECT_EQ(img.pixel(2, 6), green);
    EXPECT_EQ(img.pixel(6, 6), green);
    EXPECT_EQ(img.pixel(330, 190), green);
    EXPECT_EQ(img.pixel(3, 2), white);
    EXPECT_EQ(img.pixel(4, 4), white);
    // The black outline stays black: AND with green keeps zero.
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(335, 2), qRgb(0, 0, 0));

    surface->SetGridSize(gs8x8);
    img = Render();
    EXPECT_EQ(img.pixel(2, 2), green);
    EXPECT_EQ(img.pixel(10, 2), green);
    EXPECT_EQ(img.pixel(2, 10), green);
    EXPECT_EQ(img.pixel(6, 2), white);
    EXPECT_EQ(img.pixel(6, 6), white);

    surface->SetShowGrid(false);
    img = Render();
    EXPECT_EQ(img.pixel(2, 2), white);
}

TEST_F(DesignSurfaceTest, CardShapesClipTheGrid)
{
    surface->SetShape(lsEllipse);
    surface->SetShowGrid(true);
    const QImage img = Render();
    EXPECT_EQ(img.pixel(2, 2), qRgb(255, 255, 255)); // outside the ellipse
    EXPECT_EQ(img.pixel(166, 98), qRgb(0, 128, 0));  // 4k + 2 inside it
}

TEST_F(DesignSurfaceTest, PrintShopGuidesDrawTheSafeLineAndFrameObjectsAcrossIt)
{
    const QRgb safeLine = qRgb(0, 102, 204), warning = qRgb(220, 0, 0);
    auto count = [](const QImage &image, const QRect &part, QRgb colour) {
        int n = 0;
        for (int y = part.top(); y <= part.bottom(); ++y)
            for (int x = part.left(); x <= part.right(); ++x)
                n += image.pixel(x, y) == colour;
        return n;
    };
    surface->SetShape(lsRectangle);
    TGGraphicControl *inside = Place(40, 40, 80, 30);
    TGGraphicControl *across = Place(200, 5, 60, 30);
    // Plain fills along the bottom edge (meant for the bleed) and short of
    // the left edge; an ellipse at the right edge is no plain fill.
    TGGraphicControl *edgeFill = DrawRectangle({50, 120}, {150, 160});
    edgeFill->SetBounds(0, 150, 336, 42);
    TGGraphicControl *shortFill = DrawRectangle({50, 80}, {100, 110});
    shortFill->SetBounds(4, 80, 40, 30);
    auto *ellipse = qobject_cast<TGLabelShapes *>(DrawRectangle({150, 80}, {200, 110}));
    ellipse->SetShape(TGLabelShapes::stEllipse);
    ellipse->SetBounds(280, 60, 56, 30);
    handles()->ClearSelection();
    RunEvents();
    EXPECT_EQ(count(Render(), QRect(0, 0, 336, 192), safeLine), 0);

    surface->SetPrintShopGuides(true);
    QImage img = Render();
    // Dashed four on, three off, an eighth of an inch inside each edge, and
    // over the objects: the edge fill does not hide it.
    EXPECT_EQ(count(img, QRect(12, 12, 1, 28), safeLine), 16);
    EXPECT_EQ(count(img, QRect(12, 179, 300, 1), safeLine), 172);
    EXPECT_EQ(count(img, QRect(323, 12, 1, 42), safeLine), 24);
    EXPECT_EQ(count(img, QRect(13, 13, 310, 130), safeLine), 0);
    for (TGGraphicControl *object :
         {inside, across, edgeFill, shortFill, static_cast<TGGraphicControl *>(ellipse)}) {
        const bool expected = object == across || object == shortFill || object == ellipse;
        EXPECT_EQ(surface->CrossesSafeLine(object), expected) << object->Left();
        // The frame runs a pixel outside the bounds.
        const QRect frame = object->BoundsRect().Grown(1).ToQRect() & img.rect();
        EXPECT_EQ(count(img, QRect(frame.topLeft(), QSize(frame.width(), 1)), warning) > 0,
                  expected)
            << object->Left();
    }
    // At a zoom the line moves in with it, and an edge fill stays one.
    for (float zoom : {1.1f, 1.5f}) {
        surface->SetZoom(zoom);
        const int inset = RoundEven(12 * double(zoom));
        img = Render();
        EXPECT_GT(count(img, QRect(inset, 60, 1, 70), safeLine), 0) << zoom;
        EXPECT_EQ(count(img, QRect(12, 60, 1, 70), safeLine), 0) << zoom;
        EXPECT_FALSE(surface->CrossesSafeLine(edgeFill) || surface->CrossesSafeLine(inside));
        EXPECT_TRUE(surface->CrossesSafeLine(across)) << zoom;
    }
}

TEST_F(DesignSurfaceTest, ZoomScalesCardAndObjects)
{
    TGPlaceholderObject *object = Place(15, 10, 101, 20);
    changes = 0;
    surface->SetZoom(1.2f);
    EXPECT_EQ(surface->width(), 403); // 403.2
    EXPECT_EQ(surface->height(), 230); // 230.4
    EXPECT_FLOAT_EQ(object->ZoomScale(), 1.2f);
    EXPECT_EQ(object->Left(), 18);
    EXPECT_EQ(object->Width(), 121);
    EXPECT_EQ(changes, 0);
    surface->SetZoom(1.0f);
    EXPECT_EQ(surface->width(), 336);
    EXPECT_EQ(surface->height(), 192);
    EXPECT_LE(std::abs(object->Left() - 15), 1);
    EXPECT_LE(std::abs(object->Width() - 101), 1);
}

TEST_F(DesignSurfaceTest, NewObjectsTakeTheSurfaceZoomWithoutRescaling)
{
    surface->SetZoom(1.5f);
    TGPlaceholderObject *object = Place(30, 30, 60, 30);
    EXPECT_FLOAT_EQ(object->ZoomScale(), 1.5f);
    EXPECT_BOUNDS(object, 30, 30, 60, 30);
}

TEST_F(DesignSurfaceTest, UniqueNamesCountUpAndRunOut)
{
    EXPECT_EQ(surface->UniqueName("Special"), "Special1");
    TGPlaceholderObject *a = Place(0, 0, 20, 20);
    Place(0, 0, 20, 20);
    EXPECT_EQ(surface->UniqueName("Special"), "Special3");
    delete a;
    EXPECT_EQ(surface->UniqueName("Special"), "Special1");

    QObject crowded;
    for (int n = 1; n <= 1000; ++n) {
        auto *o = new QObject(&crowded);
        o->setObjectName(QStringLiteral("X%1").arg(n));
    }
    surface->SetOwner(&crowded);
    EXPECT_EQ(surface->UniqueName("X"), "");
    EXPECT_EQ(surface->UniqueName("Y"), "Y1");
    surface->SetOwner(owner.get());
}

TEST_F(DesignSurfaceTest, PlacingReportsAChange)
{
    changes = 0;
    Place(10, 10, 40, 20);
    EXPECT_GE(changes, 1);
}

TEST_F(DesignSurfaceTest, HandlesRefitAfterTheCurrentInput)
{
    TGPlaceholderObject *object = Place(40, 40, 60, 30);
    handles()->AddToSelection(object);
    EXPECT_EQ(handles()->Width(), 65); // + 5 on selection
    object->SetWidth(80);
    EXPECT_EQ(handles()->Width(), 65); // not yet: the refit is posted
    QCoreApplication::processEvents();
    EXPECT_EQ(handles()->Left(), 38);
    EXPECT_EQ(handles()->Width(), 86); // + 6 after the refit
    EXPECT_EQ(handles()->Height(), 36);
}

TEST_F(DesignSurfaceTest, KeyboardCommands)
{
    TGPlaceholderObject *a = Place(40, 40, 60, 30);
    Place(140, 40, 60, 30);
    handles()->AddToSelection(a);
    changes = 0;
    Key(Qt::Key_Delete);
    EXPECT_EQ(surface->ObjectCount(), 1);
    EXPECT_EQ(handles()->SelectedCount(), 0);
    EXPECT_GE(changes, 1);
    Key(Qt::Key_Delete); // nothing selected: nothing happens
    EXPECT_EQ(surface->ObjectCount(), 1);
}

TEST_F(DesignSurfaceTest, ToolCursors)
{
    surface->SetPanelState(psLabel);
    EXPECT_EQ(surface->ScreenCursor(), -12);
    EXPECT_FALSE(surface->Pointing());
    surface->SetPanelState(psPointing);
    EXPECT_EQ(surface->ScreenCursor(), 0);
    TGPlaceholderObject *object = Place(40, 40, 60, 30);
    Move({50, 50});
    EXPECT_EQ(surface->ScreenCursor(), -10); // the pointing hand over an object
    Move({250, 150});
    EXPECT_EQ(surface->ScreenCursor(), 0);
    (void)object;
}

TEST_F(DesignSurfaceTest, SpecialEffectsAreFoundAmongTheObjects)
{
    surface->SetPanelState(psRectangle);
    Drag({10, 10}, {60, 40});
    surface->SetPanelState(psLine);
    Drag({100, 10}, {140, 60});
    EXPECT_FALSE(surface->HasSpecialEffects());
    surface->SetPanelState(psSuperText);
    Drag({150, 100}, {250, 150});
    EXPECT_TRUE(surface->HasSpecialEffects());
    surface->FreeObject(surface->ObjectAt(surface->ObjectCount() - 1));
    EXPECT_FALSE(surface->HasSpecialEffects());
    surface->SetPanelState(psSuperShape);
    Drag({150, 100}, {250, 150});
    EXPECT_TRUE(surface->HasSpecialEffects());
}

TEST_F(DesignSurfaceTest, APartOfTheCardPaintsExactlyAsTheWholeCardDoes)
{
    // A repaint of a small region builds only that region's picture, and it
    // must match the same region of the whole card: grid dots, outline, shape.
    surface->setFixedSize(403, 230);
    surface->SetShowGrid(true);
    for (TLabelShapeType shape : {lsRectangle, lsRoundRect, lsEllipse}) {
        for (TGridSize grid : {gs4x4, gs8x8}) {
            surface->SetShape(shape);
            surface->SetGridSize(grid);
            const QImage whole = surface->RenderBackground();
            for (const QRect &part : {QRect(0, 0, 17, 9), QRect(5, 7, 31, 13),
                                      QRect(390, 220, 13, 10), QRect(101, 57, 64, 64)}) {
                const QImage image = surface->RenderBackground(part);
                ASSERT_EQ(image.size(), part.size());
                EXPECT_EQ(image, whole.copy(part))
                    << "shape " << shape << " grid " << grid << " at " << part.x() << ","
                    << part.y();
            }
        }
    }
}
