// A card of ten super shapes (gradient fill and drop shadow) and ten super
// texts (gradient fill) at 150 %: a full repaint (budget under 8 ms median),
// and its 2 x 5 Letter sheet printed into a PDF file (under 400 ms median).
// Also the bytes a printed gradient super text costs, on a card of 100.
#include "SheetPrinting.h"
#include "effects/Gsshape.h"
#include "effects/gsstext.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The card with its twenty effect objects, at zoom 1.
void FillCard(QObject &owner, TGBusinessCardPanel32 &surface)
{
    surface.SetOwner(&owner);
    surface.setFixedSize(336, 192);
    for (int i = 0; i < 10; ++i) {
        auto *shape = new TSuperShape(&owner);
        shape->MakeReady();
        shape->SetParent(&surface);
        shape->SetBounds(4 + (i % 5) * 66, 4 + (i / 5) * 48, 60, 44);
        shape->SetShape(TSuperShape::TGPShapeType(i));
        shape->SetShadowOrient(TSuperShape::TShadowOrient(1 + i % 4));
        auto *text = new TGSuperText(&owner);
        text->MakeReady();
        text->SetParent(&surface);
        text->Font()->SetSize(14);
        text->SetCaption(QStringLiteral("Text %1").arg(i + 1));
        text->SetBounds(4 + (i % 2) * 166, 100 + (i / 2) * 18, 160, 18);
    }
}

void BM_RepaintEffectsCardAt150(benchmark::State &state)
{
    QObject owner;
    TGBusinessCardPanel32 surface;
    FillCard(owner, surface);
    RepaintCardAt150(state, surface);
}

void BM_PrintEffectsSheetToPdf(benchmark::State &state)
{
    QObject owner;
    TGBusinessCardPanel32 surface;
    FillCard(owner, surface);
    PrintCardSheets(state, surface);
}

// A card of 100 super texts with their gradient fill, printed on its 2 x 5
// sheet: what each printed text adds to the file, beside the empty card's sheet.
void BM_PrintGradientSuperTexts(benchmark::State &state)
{
    constexpr int Texts = 100;
    QObject owner;
    TGBusinessCardPanel32 surface;
    surface.SetOwner(&owner);
    surface.setFixedSize(336, 192);
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty.pdf"));
    if (!PrintSheetToPdf(surface, empty))
        state.SkipWithError("the empty sheet was not printed");
    for (int i = 0; i < Texts; ++i) {
        auto *text = new TGSuperText(&owner);
        text->MakeReady();
        text->SetParent(&surface);
        text->Font()->SetSize(14);
        text->SetCaption(QStringLiteral("Text %1").arg(i + 1));
        text->SetBounds(4 + i * 37 % 170, 4 + i * 53 % 170, 160, 18);
    }
    const QString pdf = dir.filePath(QStringLiteral("texts.pdf"));
    for (auto _ : state)
        if (!PrintSheetToPdf(surface, pdf))
            state.SkipWithError("the sheet was not printed");
    state.counters["pdf_bytes_per_printed_text"] =
        double(QFileInfo(pdf).size() - QFileInfo(empty).size()) / (Texts * 10);
}

BENCHMARK(BM_PrintGradientSuperTexts)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK(BM_RepaintEffectsCardAt150)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PrintEffectsSheetToPdf)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace
