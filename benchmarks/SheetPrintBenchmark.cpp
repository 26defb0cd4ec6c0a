// Printing a 2 x 5 Letter sheet of a card holding text labels into a PDF
// file, as "Print to PDF" does: ten labels (budget under 300 ms, median) and
// a thousand, with the PDF bytes each printed label costs; and the plain
// card the comparison with the peer prints (1,000 and 5,000 labels of Arial
// 10 pt, no depths, spread over the card, left, centred and right aligned),
// with the bytes per printed label and how much the process's peak memory
// grows per label of the card; beside it the floor, a bare QPdfWriter program
// writing the same glyphs; that card's sheet printed 2 and 16 times, with what
// each further sheet adds to the file. Also the joining of a sheet's
// parts when each part brings thousands of resources of its own.
#include "SheetPrinting.h"
#include "document/CardLayout.h"
#include "objects/gbclabel32.h"
#include "peer/TextCardPlaces.h"
#include "report/PdfJoin.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextLayout>
#include <benchmark/benchmark.h>

namespace {

// Starts the peak anew at the current size (Linux: "5" into clear_refs).
void ResetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// The card make_text_card writes for the comparison with the peer.
void AddPlainTextLabels(QObject &owner, TGBusinessCardPanel32 &surface, int labels)
{
    constexpr TAlignment Alignments[] = {taLeftJustify, taCenter, taRightJustify};
    for (int i = 0; i < labels; ++i) {
        auto *label = new TGBusinessCardLabel(&owner);
        label->MakeReady();
        label->SetParent(&surface);
        label->SetCaption(QStringLiteral("Line %1 of the card").arg(i + 1));
        label->SetAlignment(Alignments[TextCardAlignment(i)]);
        const QRect place = TextCardPlace(i);
        label->SetBounds(place.x(), place.y(), place.width(), place.height());
    }
}

void BM_PrintPlainTextCard(benchmark::State &state)
{
    const int labels = int(state.range(0));
    ResetPeakMemory();
    const double before = StatusKb("VmRSS");
    QObject owner;
    TGBusinessCardPanel32 surface;
    surface.SetOwner(&owner);
    surface.setFixedSize(336, 192);
    AddPlainTextLabels(owner, surface, labels);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("plain.pdf"));
    for (auto _ : state)
        if (!PrintSheetToPdf(surface, pdf))
            state.SkipWithError("the sheet was not printed");
    const TCardLayout layout;
    state.counters["pdf_bytes_per_printed_label"] =
        double(QFileInfo(pdf).size()) / (labels * layout.Across * layout.Down);
    // The card's objects and the job together, as a whole process would grow.
    state.counters["peak_kb_per_label"] = (StatusKb("VmHWM") - before) / labels;
}

BENCHMARK(BM_PrintPlainTextCard)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The floor under BM_PrintPlainTextCard: a bare QPdfWriter program writing
// the same glyphs onto the same sheet (each label shaped once, one transform
// per card, Letter at 600 dpi, 2 x 5 cards of 3.5 x 2 in).
void BM_PdfWriterFloor(benchmark::State &state)
{
    const int labels = int(state.range(0));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    constexpr Qt::Alignment Alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("floor.pdf"));
    for (auto _ : state) {
        QPdfWriter writer(pdf);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::Letter));
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        // Shaped once: the glyph runs of every label, at their place on the card.
        QList<QList<QGlyphRun>> shaped;
        QList<QPointF> places;
        for (int i = 0; i < labels; ++i) {
            QTextLayout layout(QStringLiteral("Line %1 of the card").arg(i + 1), font,
                               painter.device());
            QTextOption option(Alignments[TextCardAlignment(i)]);
            layout.setTextOption(option);
            layout.beginLayout();
            QTextLine line = layout.createLine();
            line.setLineWidth(150);
            layout.endLayout();
            shaped.append(layout.glyphRuns());
            places.append(QPointF(TextCardPlace(i).topLeft()));
        }
        const double scale = 600.0 / 96.0; // card pixels to the device's
        for (int card = 0; card < 10; ++card) {
            painter.setTransform(QTransform::fromTranslate((0.75 + card % 2 * 3.5) * 600,
                                                           (0.5 + card / 2 * 2.0) * 600)
                                     .scale(scale, scale));
            for (int i = 0; i < labels; ++i)
                for (const QGlyphRun &run : std::as_const(shaped.at(i)))
                    painter.drawGlyphRun(places.at(i), run);
        }
    }
    state.counters["pdf_bytes_per_printed_label"] = double(QFileInfo(pdf).size()) / (labels * 10);
}

BENCHMARK(BM_PdfWriterFloor)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The plain card of 1,000 labels, its sheet printed again and again: an
// identical sheet should cost little beside the first.
void BM_PrintPlainTextCardCopies(benchmark::State &state)
{
    const int copies = int(state.range(0));
    QObject owner;
    TGBusinessCardPanel32 surface;
    surface.SetOwner(&owner);
    surface.setFixedSize(336, 192);
    AddPlainTextLabels(owner, surface, 1000);
    QTemporaryDir dir;
    const QString one = dir.filePath(QStringLiteral("one.pdf"));
    const QString pdf = dir.filePath(QStringLiteral("copies.pdf"));
    if (!PrintSheetToPdf(surface, one))
        state.SkipWithError("the sheet was not printed");
    for (auto _ : state)
        if (!PrintSheetToPdf(surface, pdf, copies))
            state.SkipWithError("the sheets were not printed");
    state.counters["bytes_per_further_sheet"] =
        double(QFileInfo(pdf).size() - QFileInfo(one).size()) / (copies - 1);
    state.counters["first_sheet_bytes"] = double(QFileInfo(one).size());
}

BENCHMARK(BM_PrintPlainTextCardCopies)
    ->Arg(2)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_PrintSheetToPdf(benchmark::State &state)
{
    QObject owner;
    TGBusinessCardPanel32 surface;
    surface.SetOwner(&owner);
    surface.setFixedSize(336, 192);
    const int labels = int(state.range(0));
    for (int i = 0; i < labels; ++i) {
        auto *label = new TGBusinessCardLabel(&owner);
        label->MakeReady();
        label->SetParent(&surface);
        label->SetCaption(QStringLiteral("Line %1 of the card").arg(i + 1));
        label->SetDepthShadow(i % 3);
        label->SetDepthHighlight(i % 2);
        // Ten rows of two; more labels stack on the same places.
        label->SetBounds(8 + (i % 2) * 160, 6 + (i / 2 % 5) * 36, 150, 24);
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    const TCardLayout layout; // 2 x 5 on Letter
    for (auto _ : state)
        if (!PrintSheetToPdf(surface, pdf))
            state.SkipWithError("the sheet was not printed");
    state.counters["pdf_bytes_per_printed_label"] =
        double(QFileInfo(pdf).size()) / (labels * layout.Across * layout.Down);
}

BENCHMARK(BM_PrintSheetToPdf)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PrintSheetToPdf)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Ten parts of a sheet, each filling `fills` rectangles with gradients: the
// writer makes a pattern of each, so every part lists that many resources.
void BM_JoinPartsWithManyResources(benchmark::State &state)
{
    constexpr int Parts = 10;
    const int fills = int(state.range(0));
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&document);
        QPainter painter(&writer);
        for (int part = 0; part < Parts; ++part) {
            if (part > 0)
                writer.newPage();
            for (int i = 0; i < fills; ++i) {
                const QRect box(i % 50 * 60, i / 50 % 80 * 60 + part, 50, 50);
                QLinearGradient gradient(box.topLeft(), box.bottomRight());
                gradient.setColorAt(0, QColor::fromHsv(i % 360, 255, 255));
                gradient.setColorAt(1, Qt::white);
                painter.fillRect(box, gradient);
            }
        }
    }
    for (auto _ : state) {
        QBuffer in;
        in.setData(document.data());
        in.open(QIODevice::ReadOnly);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        if (!JoinPdfPages(in, out, {Parts}))
            state.SkipWithError("the parts were not joined");
    }
}

BENCHMARK(BM_JoinPartsWithManyResources)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace
