// What the surface leaves on screen when it repaints only what an input made
// dirty: after every nudge, drag step, selection change and zoom, the pixels a
// window system would keep (the last painting of each pixel) must equal a full
// repaint of the card. A stale square, a trail of a moved object or a frame
// left behind fails. Also: one paint per input, and small ones.
#include "SurfaceFixture.h"
#include "objects/gbclabel32.h"

#include <QPaintEvent>

namespace {

// Keeps the screen as the window system would: each paint the surface gets
// is drawn into a lasting image for the region it covers, nothing else.
class TScreenKeeper : public QObject
{
public:
    explicit TScreenKeeper(TGBasePanel *surface)
        : m_surface(surface)
    {
        screen = surface->grab().toImage().convertToFormat(QImage::Format_RGB32);
        surface->installEventFilter(this);
    }
    ~TScreenKeeper() override { m_surface->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_surface || event->type() != QEvent::Paint || m_inside)
            return false;
        const QRegion region = static_cast<QPaintEvent *>(event)->region();
        if (screen.size() != m_surface->size()) {
            // A resized window keeps what it showed; the new part holds
            // nothing until painted (a colour no card shows here).
            QImage resized(m_surface->size(), QImage::Format_RGB32);
            resized.fill(qRgb(255, 0, 255));
            QPainter(&resized).drawImage(0, 0, screen);
            screen = resized;
        }
        ++paints;
        for (const QRect &r : region)
            pixels += qint64(r.width()) * r.height();
        // The very paint the window system asked for, at the same moment and
        // clipped to the same region, into the kept screen instead of the window.
        QPainter painter(&screen);
        painter.setClipRegion(region);
        m_surface->PaintCard(painter, true, region);
        return true;
    }

    // The whole card painted afresh, for comparison.
    QImage FullRepaint()
    {
        m_inside = true;
        const QImage full = m_surface->grab().toImage().convertToFormat(QImage::Format_RGB32);
        m_inside = false;
        return full;
    }

    void ResetCounts()
    {
        paints = 0;
        pixels = 0;
    }

    QImage screen;
    int paints = 0;
    qint64 pixels = 0;

private:
    TGBasePanel *m_surface;
    bool m_inside = false;
};

// Where the kept screen and a full repaint differ first, or empty when they are the same.
std::string FirstDifference(const QImage &kept, const QImage &full)
{
    if (kept.size() != full.size())
        return "the sizes differ";
    for (int y = 0; y < kept.height(); ++y) {
        for (int x = 0; x < kept.width(); ++x) {
            if (kept.pixel(x, y) != full.pixel(x, y)) {
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is " +
                       QString::number(kept.pixel(x, y), 16).toStdString() + ", should be " +
                       QString::number(full.pixel(x, y), 16).toStdString();
            }
        }
    }
    return {};
}

} // namespace

class PartialRepaintTest : public SurfaceTest
{
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        // Overlapping labels with text, a border and 3-D copies, so that a
        // trail or a neighbour painted over shows.
        for (int i = 0; i < 12; ++i) {
            auto *label = new TGBusinessCardLabel(owner.get());
            label->MakeReady();
            surface->PlaceObject(label,
                                 TRect::FromBounds(10 + (i % 4) * 70, 20 + (i / 4) * 50, 90, 30));
            label->SetCaption(QStringLiteral("Label %1").arg(i));
            label->SetDepthShadow(i % 3);
            label->SetBorderStyle(i % 2 ? bsSingle : bsNone);
            label->SetTransparent(i % 3 == 0);
            labels.append(label);
        }
        surface->SetShowGrid(true);
        RunEvents();
        keeper = std::make_unique<TScreenKeeper>(surface.get());
    }
    void TearDown() override
    {
        keeper.reset();
        SurfaceTest::TearDown();
    }

    // The screen after the input equals a full repaint of the card.
    void ExpectScreenIsWhole(const char *step)
    {
        QCoreApplication::processEvents();
        const std::string difference = FirstDifference(keeper->screen, keeper->FullRepaint());
        EXPECT_TRUE(difference.empty()) << "after " << step << ": " << difference;
    }
    void PressKey(int key, Qt::KeyboardModifiers m = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, m);
        QApplication::sendEvent(surface.get(), &press);
    }
    void ReleaseKey(int key, Qt::KeyboardModifiers m = {})
    {
        QKeyEvent release(QEvent::KeyRelease, key, m);
        QApplication::sendEvent(surface.get(), &release);
    }
    QPoint CenterOf(const TGGraphicControl *o) const
    {
        return {o->Left() + o->Width() / 2, o->Top() + o->Height() / 2};
    }
    qint64 CardPixels() const { return qint64(surface->width()) * surface->height(); }

    QList<TGBusinessCardLabel *> labels;
    std::unique_ptr<TScreenKeeper> keeper;
};

TEST_F(PartialRepaintTest, NudgesLeaveNoOutlineTrailOrSquareBehind)
{
    TGBusinessCardLabel *label = labels.at(5);
    Move(CenterOf(label));
    Press(CenterOf(label));
    Release(CenterOf(label));
    ASSERT_EQ(handles()->SelectedCount(), 1);
    ExpectScreenIsWhole("the click that selects");
    const int left = label->Left();
    for (int key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up}) {
        PressKey(key);
        ExpectScreenIsWhole("an arrow key's press (the outline shows)");
        ReleaseKey(key);
        ExpectScreenIsWhole("an arrow key's release (the object moves)");
    }
    EXPECT_EQ(label->Left(), left + 1);
    // Held down: the outline walks on, the object follows on the release.
    for (int i = 0; i < 4; ++i) {
        PressKey(Qt::Key_Left);
        ExpectScreenIsWhole("a repeated arrow key");
    }
    ReleaseKey(Qt::Key_Left);
    ExpectScreenIsWhole("the release after repeats");
    EXPECT_EQ(label->Left(), left - 3);
    // Shift with an arrow resizes the single selection.
    PressKey(Qt::Key_Right, Qt::ShiftModifier);
    ReleaseKey(Qt::Key_Right, Qt::ShiftModifier);
    ExpectScreenIsWhole("a resize by the keyboard");
}

TEST_F(PartialRepaintTest, OneSmallPaintPerNudgeAndPerDragStep)
{
    TGBusinessCardLabel *label = labels.at(6);
    handles()->AddToSelection(label);
    RunEvents();
    keeper->ResetCounts();
    PressKey(Qt::Key_Right);
    QCoreApplication::processEvents();
    EXPECT_EQ(keeper->paints, 1) << "the outline of a nudge";
    ReleaseKey(Qt::Key_Right);
    QCoreApplication::processEvents();
    EXPECT_EQ(keeper->paints, 2) << "the move of a nudge";
    // The object, its squares and the outline: a small part of the card.
    EXPECT_LT(keeper->pixels, CardPixels() / 8) << keeper->pixels << " pixels for one nudge";

    const QPoint grip = CenterOf(label);
    Move(grip);
    Press(grip);
    clock.Advance(20);
    Move(grip + QPoint(1, 0));
    clock.Advance(20);
    QCoreApplication::processEvents();
    ASSERT_TRUE(handles()->Dragging());
    for (int step = 1; step <= 5; ++step) {
        keeper->ResetCounts();
        Move(grip + QPoint(1 + 7 * step, 3 * step));
        QCoreApplication::processEvents();
        EXPECT_EQ(keeper->paints, 1) << "drag step " << step;
        // Only the old and the new dotted outline.
        EXPECT_LT(keeper->pixels, 6 * (label->Width() + label->Height()) * 3)
            << keeper->pixels << " pixels for drag step " << step;
    }
    clock.Advance(200);
    Release(grip + QPoint(36, 15));
    ExpectScreenIsWhole("the end of the drag");
}

TEST_F(PartialRepaintTest, DraggingShowsTheOutlineAndLeavesNothingBehind)
{
    TGBusinessCardLabel *label = labels.at(1);
    const QPoint grip = CenterOf(label);
    Move(grip);
    Press(grip);
    ExpectScreenIsWhole("the press that selects");
    clock.Advance(20);
    Move(grip + QPoint(1, 0));
    clock.Advance(20);
    // Across its neighbours and back over its own place.
    for (const QPoint step : {QPoint(15, 5), QPoint(40, 30), QPoint(90, 70), QPoint(-5, 2)}) {
        Move(grip + step);
        ExpectScreenIsWhole("a drag step");
        ASSERT_FALSE(surface->XorFrames().isEmpty());
    }
    Move(grip + QPoint(60, 40));
    clock.Advance(200);
    Release(grip + QPoint(60, 40));
    ExpectScreenIsWhole("the release of a move");
    EXPECT_TRUE(surface->XorFrames().isEmpty());
    // The grip was taken at the first step of the drag, a pixel to the right.
    EXPECT_EQ(label->Left(), 10 + 70 + 59);

    // A resize by the bottom-right square.
    RunEvents();
    const QPoint corner(handles()->Left() + handles()->Width(),
                        handles()->Top() + handles()->Height());
    Move(corner - QPoint(1, 1));
    Press(corner - QPoint(1, 1));
    clock.Advance(20);
    Move(corner);
    Move(corner + QPoint(25, 18));
    ExpectScreenIsWhole("a resize step");
    clock.Advance(200);
    Release(corner + QPoint(25, 18));
    ExpectScreenIsWhole("the release of a resize");
}

TEST_F(PartialRepaintTest, SelectionChangesRepaintEverySquare)
{
    TGBusinessCardLabel *a = labels.at(0);
    TGBusinessCardLabel *b = labels.at(5);
    TGBusinessCardLabel *c = labels.at(10);
    Move(CenterOf(a));
    Press(CenterOf(a));
    Release(CenterOf(a));
    ExpectScreenIsWhole("selecting one");
    // The second object turns both into a multiple selection: the corner
    // squares change colour and the middle ones go.
    Move(CenterOf(b), Qt::ShiftModifier);
    Press(CenterOf(b), Qt::LeftButton, Qt::ShiftModifier);
    Release(CenterOf(b), Qt::LeftButton, Qt::ShiftModifier);
    ExpectScreenIsWhole("shift-click adds");
    handles()->AddToSelection(c);
    ExpectScreenIsWhole("adding a third");
    handles()->SetSecondaryColor(0x0000FF);
    ExpectScreenIsWhole("a new colour of several squares");
    handles()->RemoveFromSelection(a);
    handles()->RemoveFromSelection(b);
    ExpectScreenIsWhole("back to one");
    handles()->SetColor(0x00FF00);
    ExpectScreenIsWhole("a new colour of the single squares");
    // A click on the empty card clears the selection; a rubber band selects.
    Move({330, 185});
    Press({330, 185});
    Release({330, 185});
    ExpectScreenIsWhole("a click on the empty card");
    EXPECT_EQ(handles()->SelectedCount(), 0);
    Move({5, 5});
    Press({5, 5});
    Move({60, 60});
    ExpectScreenIsWhole("a rubber band being drawn");
    Move({150, 90});
    ExpectScreenIsWhole("a rubber band growing");
    Release({150, 90});
    ExpectScreenIsWhole("the rubber band's selection");
    EXPECT_GT(handles()->SelectedCount(), 1);
    // Deleting the selection takes objects and squares away.
    Key(Qt::Key_Delete);
    RunEvents();
    ExpectScreenIsWhole("deleting the selection");
}

TEST_F(PartialRepaintTest, ZoomAndObjectOrderRepaintWhatTheyChange)
{
    TGBusinessCardLabel *label = labels.at(4);
    handles()->AddToSelection(label);
    ExpectScreenIsWhole("selecting");
    surface->SetZoom(1.5f);
    ExpectScreenIsWhole("zooming in");
    surface->SetZoom(0.5f);
    ExpectScreenIsWhole("zooming out");
    surface->SetZoom(1.0f);
    ExpectScreenIsWhole("back to full size");
    label->SendToBack();
    ExpectScreenIsWhole("sending to the back");
    label->BringToFront();
    ExpectScreenIsWhole("bringing to the front");
    labels.at(7)->SetVisible(false);
    ExpectScreenIsWhole("hiding an object");
    labels.at(7)->SetCaption(QStringLiteral("A new and longer caption"));
    labels.at(7)->SetVisible(true);
    ExpectScreenIsWhole("showing it with a new caption");
    surface->SetShape(lsEllipse);
    surface->SetGridSize(gs8x8);
    ExpectScreenIsWhole("a new card shape and grid");
}

TEST_F(PartialRepaintTest, WarningFramesOfThePrintShopGuidesFollowMovedObjects)
{
    surface->SetPrintShopGuides(true);
    ExpectScreenIsWhole("showing the guides");
    // Dragged from the middle across the left safe line, then along it.
    TGBusinessCardLabel *label = labels.at(5);
    Drag(CenterOf(label), CenterOf(label) + QPoint(-76, 0));
    ExpectScreenIsWhole("a drag across the safe line");
    ASSERT_TRUE(surface->CrossesSafeLine(label));
    Drag(CenterOf(label), CenterOf(label) + QPoint(5, 60));
    ExpectScreenIsWhole("a drag that keeps it across the line");
    // Back inside and out again a pixel at a time.
    ASSERT_LT(label->Left(), 12);
    QList<int> keys(12 - label->Left(), Qt::Key_Right);
    for (int key : keys << Qt::Key_Left) {
        PressKey(key);
        ReleaseKey(key);
        ExpectScreenIsWhole("a nudge");
        EXPECT_EQ(surface->CrossesSafeLine(label), label->Left() < 12);
    }
    EXPECT_EQ(label->Left(), 11);
    surface->SetPrintShopGuides(false);
    ExpectScreenIsWhole("hiding the guides");
}

using KeptBackgroundTest = SurfaceTest;

TEST_F(KeptBackgroundTest, TheKeptBackgroundFollowsEveryChangeOfWhatItShows)
{
    // An empty card paints its background only; the kept one must match a
    // fresh rendering after every change that alters it.
    auto expectFresh = [this](const char *change) {
        QImage painted(surface->size(), QImage::Format_RGB32);
        painted.fill(Qt::red);
        {
            QPainter painter(&painted);
            surface->PaintCard(painter, false);
        }
        EXPECT_EQ(painted, surface->RenderBackground().convertToFormat(QImage::Format_RGB32))
            << "after " << change;
    };
    expectFresh("showing the card");
    surface->SetShowGrid(true);
    expectFresh("showing the grid");
    surface->SetGridSize(gs8x8);
    expectFresh("a coarser grid");
    surface->SetShape(lsEllipse);
    expectFresh("a new shape");
    surface->SetDrawOutline(false);
    expectFresh("hiding the outline");
    QImage art(40, 20, QImage::Format_RGB32);
    art.fill(qRgb(30, 90, 200));
    surface->Picture().SetImage(art);
    expectFresh("new art set on the picture itself");
    art.fill(qRgb(200, 200, 0));
    surface->ColorPicture().SetImage(art);
    expectFresh("new colour art");
    surface->ColorPicture().Clear();
    expectFresh("clearing the colour art");
    TPicture other;
    art.fill(qRgb(0, 120, 0));
    other.SetImage(art);
    surface->SetPicture(other);
    expectFresh("a picture assigned");
    surface->SetZoom(1.5f);
    expectFresh("zooming in");
    surface->setFixedSize(200, 100);
    expectFresh("a new size");
}

TEST_F(KeptBackgroundTest, ACardTooLargeToKeepPaintsTheExposedPartAlone)
{
    // Over 8 million pixels: each paint renders only what it exposes.
    surface->setFixedSize(4400, 4000);
    surface->SetShowGrid(true);
    surface->SetShape(lsRoundRect);
    for (const QRect &part :
         {QRect(0, 0, 40, 30), QRect(2201, 1999, 64, 33), QRect(4380, 3990, 20, 10)}) {
        QImage painted(part.size(), QImage::Format_RGB32);
        painted.fill(Qt::red);
        {
            QPainter painter(&painted);
            painter.translate(-part.topLeft());
            surface->PaintCard(painter, false, QRegion(part));
        }
        EXPECT_EQ(painted, surface->RenderBackground(part).convertToFormat(QImage::Format_RGB32))
            << part.x() << "," << part.y();
    }
}

TEST_F(PartialRepaintTest, ShiftClicksClonesAndPastesRepaintWhatTheyChange)
{
    TGBusinessCardLabel *a = labels.at(0);
    TGBusinessCardLabel *b = labels.at(5);
    handles()->AddToSelection(a);
    handles()->AddToSelection(b);
    RunEvents();
    // Shift + click on a selected object takes it out of the selection.
    keeper->ResetCounts();
    Move(CenterOf(a), Qt::ShiftModifier);
    Press(CenterOf(a), Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(keeper->paints, 1) << "the press takes the object out at once";
    clock.Advance(50);
    Release(CenterOf(a), Qt::LeftButton, Qt::ShiftModifier);
    ExpectScreenIsWhole("shift-click takes one out");
    EXPECT_EQ(handles()->Selection(), (QList<TGGraphicControl *>{b}));
    EXPECT_LE(keeper->paints, 2) << "shift-click on a selected object";

    // A clone shows at its place while waiting input runs, then takes the selection.
    keeper->ResetCounts();
    surface->CloneSelection();
    ExpectScreenIsWhole("a clone");
    EXPECT_LE(keeper->paints, 2) << "a clone";

    surface->ClipboardCommand(1); // copy
    clock.Advance(2000);
    keeper->ResetCounts();
    surface->ClipboardCommand(2); // paste
    ExpectScreenIsWhole("a paste");
    EXPECT_EQ(keeper->paints, 1) << "a paste";
}
