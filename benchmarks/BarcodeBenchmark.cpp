// A card of 50 QR codes of different URLs at 150 %: a full repaint (budget
// under 8 ms median), and its 2 x 5 Letter sheet printed into a PDF file
// (under 500 ms median).
#include "SheetPrinting.h"
#include "objects/Gbarcode.h"
#include "surface/Gbcpanel32.h"

#include <benchmark/benchmark.h>

namespace {

void FillCard(QObject &owner, TGBusinessCardPanel32 &surface)
{
    surface.SetOwner(&owner);
    surface.setFixedSize(336, 192);
    for (int i = 0; i < 50; ++i) {
        auto *code = new TGBarcode(&owner);
        code->MakeReady();
        code->SetParent(&surface);
        code->SetBounds(4 + (i % 10) * 33, 4 + (i / 10) * 37, 32, 32);
        code->SetData(QStringLiteral("https://example.com/card/%1").arg(i));
    }
}

void BM_RepaintBarcodeCardAt150(benchmark::State &state)
{
    QObject owner;
    TGBusinessCardPanel32 surface;
    FillCard(owner, surface);
    RepaintCardAt150(state, surface);
}

void BM_PrintBarcodeSheetToPdf(benchmark::State &state)
{
    QObject owner;
    TGBusinessCardPanel32 surface;
    FillCard(owner, surface);
    PrintCardSheets(state, surface);
}

BENCHMARK(BM_RepaintBarcodeCardAt150)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PrintBarcodeSheetToPdf)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace
