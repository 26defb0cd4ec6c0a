// What the surface costs per user action on a large card: a one-pixel nudge
// of one selected object (on cards of 500 and 1,000 text labels), a step of a
// mouse drag and a zoom step, at 150 %, each including the paint it causes on
// the (offscreen) window. Times are the process's CPU time.
// Budgets: a nudge at most 4 ms CPU, a zoom step at most 20 ms (medians).
#include "objects/gbclabel32.h"
#include "surface/GHandle.h"
#include "surface/Gbcpanel32.h"
#include "surface/TickClock.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <benchmark/benchmark.h>

namespace {

// Counts the paints the surface receives and the pixels they cover (the
// region asked for, not its bounding rectangle), to report them per action.
class TPaintCounter : public QObject
{
public:
    int paints = 0;
    qint64 paintedPixels = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect &area : static_cast<QPaintEvent *>(event)->region())
                paintedPixels += qint64(area.width()) * area.height();
        }
        return false;
    }
};

// A clock that moves on only when told, so a drag starts at once.
class TSteppedClock : public TTickClock
{
public:
    uint32_t now = 1000;
    uint32_t Now() const override { return now; }
};

struct TLargeCard
{
    QObject owner;
    TGBusinessCardPanel32 surface;
    TSteppedClock clock;

    explicit TLargeCard(int objectCount)
    {
        surface.SetOwner(&owner);
        surface.SetClock(&clock);
        surface.setFixedSize(504, 288);
        // 20 labels a row; a thousand fill the card twice over.
        for (int i = 0; i < objectCount; ++i) {
            auto *label = new TGBusinessCardLabel(&owner);
            label->MakeReady();
            label->SetParent(&surface);
            label->SetCaption(QStringLiteral("Item %1").arg(i + 1));
            label->SetBounds(4 + (i % 20) * 16, 4 + (i / 20 % 40) * 7, 40, 12);
        }
        // The handlers a design gets when it is opened.
        surface.RewireAll();
        surface.SetZoom(1.5f);
        surface.show();
        QCoreApplication::processEvents();
    }
    // Runs what the event loop runs after an input: the queued calls and the
    // paint of whatever the input made dirty.
    static void Settle() { QCoreApplication::processEvents(); }
};

void BM_NudgeOneObjectAt150(benchmark::State &state)
{
    const int objectCount = int(state.range(0));
    TLargeCard card(objectCount);
    if (card.surface.Objects().size() != objectCount) {
        state.SkipWithError("the card does not hold its objects");
        return;
    }
    // Inside the card, among neighbours it overlaps (two layers of them on
    // the card of 1,000).
    TGGraphicControl *moved = card.surface.Objects().at(objectCount - 11);
    card.surface.Handles()->AddToSelection(moved);
    TLargeCard::Settle();
    const int startLeft = moved->Left();
    TPaintCounter counter;
    card.surface.installEventFilter(&counter);
    bool right = true;
    for (auto _ : state) {
        // A nudge shows its outline on the press and moves the object on the release.
        const int key = right ? Qt::Key_Right : Qt::Key_Left;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&card.surface, &press);
        TLargeCard::Settle();
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&card.surface, &release);
        TLargeCard::Settle();
        if ((moved->Left() == startLeft) == right) {
            state.SkipWithError("the nudge did not move the object");
            break;
        }
        right = !right;
    }
    state.counters["paints_per_nudge"] =
        benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
    state.counters["pixels_per_nudge"] =
        benchmark::Counter(double(counter.paintedPixels), benchmark::Counter::kAvgIterations);
}

void BM_DragStepOf500At150(benchmark::State &state)
{
    TLargeCard card(500);
    TGGraphicControl *dragged = card.surface.Objects().at(250);
    const QPoint grip(dragged->Left() + dragged->Width() / 2,
                      dragged->Top() + dragged->Height() / 2);
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), QPointF(card.surface.mapToGlobal(at)), button, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&card.surface, &event);
        TLargeCard::Settle();
    };
    // Press on the object (which selects it) and start the drag.
    send(QEvent::MouseMove, grip, Qt::NoButton, Qt::NoButton);
    send(QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    card.clock.now += 20;
    send(QEvent::MouseMove, grip + QPoint(1, 0), Qt::NoButton, Qt::LeftButton);
    if (!card.surface.Handles()->Dragging()) {
        state.SkipWithError("the press did not start a drag");
        return;
    }
    TPaintCounter counter;
    card.surface.installEventFilter(&counter);
    int step = 0;
    for (auto _ : state) {
        // Back and forth across the neighbours, the outline following.
        const int dx = 2 + (step % 40) * 2;
        send(QEvent::MouseMove, grip + QPoint(dx, dx / 2), Qt::NoButton, Qt::LeftButton);
        ++step;
    }
    state.counters["paints_per_step"] =
        benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
    state.counters["pixels_per_step"] =
        benchmark::Counter(double(counter.paintedPixels), benchmark::Counter::kAvgIterations);
    card.surface.removeEventFilter(&counter);
    send(QEvent::MouseButtonRelease, grip, Qt::LeftButton, Qt::NoButton);
}

void BM_ZoomStepOf500At150(benchmark::State &state)
{
    TLargeCard card(500);
    TPaintCounter counter;
    card.surface.installEventFilter(&counter);
    bool larger = false;
    for (auto _ : state) {
        card.surface.SetZoom(larger ? 1.5f : 1.4f);
        TLargeCard::Settle();
        larger = !larger;
    }
    state.counters["paints_per_step"] =
        benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
    state.counters["pixels_per_step"] =
        benchmark::Counter(double(counter.paintedPixels), benchmark::Counter::kAvgIterations);
}

// The whole card painted again with nothing changed, as when a window that
// covered it goes away: the objects draw what they kept from the last paint.
void BM_RepaintOf500At150(benchmark::State &state)
{
    TLargeCard card(500);
    for (auto _ : state)
        card.surface.repaint();
}

BENCHMARK(BM_NudgeOneObjectAt150)
    ->Arg(500)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DragStepOf500At150)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RepaintOf500At150)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ZoomStepOf500At150)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace
