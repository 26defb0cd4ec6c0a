// Saving and opening a design of 500 objects through the card surface, as
// the main window does. Budget: under 20 ms each (median). Also opening and
// closing designs of up to 65,536 objects, which must take time in
// proportion to the number of objects.
#include "document/Filer.h"
#include "objects/Gpslabel.h"
#include "objects/gbclabel32.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int ObjectCount = 500;

struct TDesign
{
    QObject owner;
    std::unique_ptr<TGBusinessCardPanel32> surface;
    QTemporaryDir dir;
    QString path;

    TDesign()
    {
        surface = std::make_unique<TGBusinessCardPanel32>();
        surface->SetOwner(&owner);
        surface->setFixedSize(336, 192);
        path = dir.filePath(QStringLiteral("BENCH.TSC"));
    }

    void Fill(int count = ObjectCount)
    {
        for (int i = 0; i < count; ++i) {
            TGBaseLabel *label = nullptr;
            if (i % 5 == 4) {
                label = new TGSymbolLabel(&owner);
            } else {
                label = new TGBusinessCardLabel(&owner);
                label->SetCaption(QStringLiteral("Business card line %1").arg(i));
                label->Font()->SetStyle(i % 2 ? fsBold : fsItalic);
                label->SetDepthShadow(i % 4);
                label->SetAlignment(TAlignment(i % 3));
            }
            label->MakeReady();
            label->SetName(QStringLiteral("Special%1").arg(i + 1));
            label->SetParent(surface.get());
            label->SetBounds(i % 300, (i * 7) % 180, 120, 24);
        }
    }
};

void BM_SaveDesign(benchmark::State &state)
{
    TDesign design;
    design.Fill();
    for (auto _ : state)
        design.surface->SaveToFile(design.path);
    state.SetItemsProcessed(state.iterations() * ObjectCount);
}

void BM_LoadDesign(benchmark::State &state)
{
    TDesign design;
    design.Fill();
    design.surface->SaveToFile(design.path);
    design.surface->DeleteAllObjects();
    for (auto _ : state) {
        design.surface->LoadFromFile(design.path);
        state.PauseTiming();
        if (design.surface->ObjectCount() != ObjectCount)
            state.SkipWithError("the design did not load completely");
        design.surface->DeleteAllObjects();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * ObjectCount);
}

// Opening and closing designs of many objects: the time per object must not
// grow with the design (placing and freeing are linear).
void BM_LoadManyObjects(benchmark::State &state)
{
    const int count = int(state.range(0));
    TDesign design;
    design.Fill(count);
    design.surface->SaveToFile(design.path);
    design.surface->DeleteAllObjects();
    for (auto _ : state) {
        design.surface->LoadFromFile(design.path);
        if (design.surface->ObjectCount() != count)
            state.SkipWithError("the design did not load completely");
        design.surface->DeleteAllObjects();
    }
    state.SetComplexityN(count);
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_LoadManyObjects)
    ->Unit(benchmark::kMillisecond)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SaveDesign)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadDesign)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace
