// What the surface costs per user action on a large card: a one-pixel nudge
// of one selected object and a zoom step, on a card of 500 text labels at
// 150 %, each including the paint it causes on the (offscreen) window.
// Budgets: a nudge at most 4 ms CPU, a zoom step at most 20 ms (medians).
#include "objects/gbclabel32.h"
#include "surface/GHandle.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <benchmark/benchmark.h>

namespace {

constexpr int ObjectCount = 500;

// Counts the paints the surface receives, to report paints per action.
class TPaintCounter : public QObject
{
public:
    int paints = 0;
    qint64 paintedPixels = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            const QRect area = static_cast<QPaintEvent *>(event)->rect();
            paintedPixels += qint64(area.width()) * area.height();
        }
        return false;
    }
};

struct TLargeCard
{
    QObject owner;
    TGBusinessCardPanel32 surface;

    TLargeCard()
    {
        surface.SetOwner(&owner);
        surface.setFixedSize(504, 288);
        for (int i = 0; i < ObjectCount; ++i) {
            auto *label = new TGBusinessCardLabel(&owner);
            label->MakeReady();
            label->SetParent(&surface);
            label->SetCaption(QStringLiteral("Item %1").arg(i + 1));
            label->SetBounds(4 + (i % 20) * 16, 4 + (i / 20) * 7, 40, 12);
        }
        surface.SetZoom(1.5f);
        surface.show();
        QCoreApplication::processEvents();
    }
    // Runs what the event loop runs after an input: the queued calls and the
    // paint of whatever the input made dirty.
    static void Settle() { QCoreApplication::processEvents(); }
};

void BM_NudgeOneObjectOf500At150(benchmark::State &state)
{
    TLargeCard card;
    if (card.surface.Objects().size() != ObjectCount) {
        state.SkipWithError("the card does not hold its objects");
        return;
    }
    TGGraphicControl *moved = card.surface.Objects().at(ObjectCount / 2);
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

void BM_ZoomStepOf500At150(benchmark::State &state)
{
    TLargeCard card;
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
}

BENCHMARK(BM_NudgeOneObjectOf500At150)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ZoomStepOf500At150)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace
