// Painting a card that holds five rich text labels of 500 characters each at
// 150 % zoom, as the design surface repaints it. Budget: under 10 ms (median).
// The labels keep their parsed text, so a repaint does not read RTF again.
#include "objects/Gprichl.h"
#include "richtext/RichTextEngine.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

// About 500 characters of mixed runs: fonts, sizes, colours, bold, italic,
// underline and three aligned paragraphs.
QByteArray FiveHundredCharacters(int start)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times New "
                     "Roman;}}{\\colortbl ;\\red200\\green0\\blue0;\\red0\\green0\\blue160;}\n";
    const char *const words[] = {"Acme",   "widgets", "caf\\'e9", "sales",   "north",
                                 "office", "phone",   "contact",  "quality", "since"};
    int characters = 0;
    int n = start;
    for (const char *align : {"\\qc", "\\ql", "\\qj"}) {
        rtf += "\\pard";
        rtf += align;
        rtf += ' ';
        for (int i = 0; i < 20 && characters < 500; ++i, ++n) {
            const QByteArray word = words[n % 10];
            rtf += "{\\f" + QByteArray::number(n % 2) + "\\fs" + QByteArray::number(14 + n % 4 * 2);
            if (n % 3 == 0)
                rtf += "\\b";
            if (n % 5 == 0)
                rtf += "\\i";
            if (n % 7 == 0)
                rtf += "\\ul";
            rtf += "\\cf" + QByteArray::number(n % 3) + ' ' + word + " }";
            characters += int(word.size()) + 1;
        }
        rtf += "\\par\n";
    }
    while (characters < 500) {
        rtf += "more text ";
        characters += 10;
    }
    return rtf + "}";
}

void BM_PaintCardWithRichText(benchmark::State &state)
{
    QObject owner;
    TRichTextEngine::EnsureMaster(&owner);
    TGBusinessCardPanel32 surface;
    surface.SetOwner(&owner);
    surface.setFixedSize(336, 192);
    for (int i = 0; i < 5; ++i) {
        auto *label = new TGPRichBaseLabel(&owner);
        label->MakeReady();
        label->SetParent(&surface);
        label->SetRTFText(FiveHundredCharacters(i));
        label->SetBounds(4 + (i % 2) * 166, 4 + (i / 2) * 62, 160, 58);
    }
    surface.SetZoom(1.5f);
    surface.setFixedSize(504, 288);
    QImage canvas(surface.size(), QImage::Format_ARGB32_Premultiplied);
    surface.render(&canvas); // the first paint reads the RTF
    int ink = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            ink += qRed(canvas.pixel(x, y)) > 150 && qBlue(canvas.pixel(x, y)) < 80;
    if (ink < 100)
        state.SkipWithError("the labels drew no red text");
    for (auto _ : state) {
        surface.render(&canvas);
        benchmark::DoNotOptimize(canvas.constBits());
    }
}

BENCHMARK(BM_PaintCardWithRichText)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace

namespace {

// A label read and drawn for the first time from RTF of n runs, bold and
// italic by turns: the time has to grow with n, not with its square (past
// the bounds a label lays out, the rest costs only its reading).
void BM_FirstPaintOfManyRuns(benchmark::State &state)
{
    const int runs = int(state.range(0));
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < runs; ++i)
        rtf += i % 2 ? "{\\i b}" : "{\\b a}";
    rtf += "}";
    QObject owner;
    TRichTextEngine::EnsureMaster(&owner);
    TGBusinessCardPanel32 surface;
    surface.SetOwner(&owner);
    surface.setFixedSize(336, 192);
    QImage canvas(160, 58, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        auto *label = new TGPRichBaseLabel(&owner);
        label->MakeReady();
        label->SetParent(&surface);
        label->SetBounds(4, 4, 160, 58);
        label->SetRTFText(rtf);
        QPainter painter(&canvas);
        label->Paint(painter);
        painter.end();
        benchmark::DoNotOptimize(canvas.constBits());
        delete label;
    }
    state.counters["bytes"] = double(rtf.size());
}

BENCHMARK(BM_FirstPaintOfManyRuns)
    ->Arg(25000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
