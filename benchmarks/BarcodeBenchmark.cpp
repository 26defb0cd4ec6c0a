// A card of 50 QR codes of different URLs at 150 %: a full repaint (budget
// under 8 ms median), and its 2 x 5 Letter sheet printed into a PDF file
// (under 500 ms median).
#include "SheetPrinting.h"
#include "objects/Gbarcode.h"
#include "surface/Gbcpanel32.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
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
    surface.SetZoom(1.5f);
    QImage canvas(surface.size(), QImage::Format_RGB32);
    {
        // The first paint encodes the codes.
        QPainter painter(&canvas);
        surface.PaintCard(painter, false);
    }
    for (auto _ : state) {
        QPainter painter(&canvas);
        surface.PaintCard(painter, false);
    }
}

void BM_PrintBarcodeSheetToPdf(benchmark::State &state)
{
    QObject owner;
    TGBusinessCardPanel32 surface;
    FillCard(owner, surface);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    for (auto _ : state) {
        if (!PrintSheetToPdf(surface, pdf))
            state.SkipWithError("the sheet was not printed");
    }
    state.counters["pdf_bytes"] = double(QFileInfo(pdf).size());
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
