// Picture decoding budgets (medians of ten repetitions):
// - a 2000 x 2000 24-bit run-length PCX decodes in under 60 ms;
// - a Windows metafile of 5,000 drawing records plays into a card-sized
//   image (336 x 192, a card at 96 dpi) in under 20 ms;
// - metafiles of N and 4N clip records (each followed by a drawing, or all
//   before one) and of N and 4N objects take about four times as long for
//   4N as for N: the time per record does not grow with their number.
#include "graphics/MetafilePlayer.h"
#include "graphics/PcxImage.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <benchmark/benchmark.h>
#include <functional>

namespace {

void Le16(QByteArray &b, int v)
{
    b += char(v & 0xFF);
    b += char((v >> 8) & 0xFF);
}

// A photo-like picture: smooth gradients with flat areas, so some bytes
// repeat in runs and most do not.
QByteArray MakePcx24(int side)
{
    QByteArray b(128, '\0');
    b[0] = 0x0A;
    b[1] = 5;
    b[2] = 1;
    b[3] = 8;
    b[8] = char((side - 1) & 0xFF);
    b[9] = char((side - 1) >> 8);
    b[10] = b[8];
    b[11] = b[9];
    b[65] = 3;
    b[66] = char(side & 0xFF);
    b[67] = char(side >> 8);
    for (int y = 0; y < side; ++y)
        for (int plane = 0; plane < 3; ++plane)
            for (int x = 0; x < side; ++x) {
                const int v = x < side / 3 ? 40 * plane : (x * (plane + 1) + y) / 7 % 256;
                int run = 1;
                if (x < side / 3) {
                    run = std::min(63, side / 3 - x);
                    x += run - 1;
                }
                if (run > 1 || v >= 0xC0)
                    b += char(0xC0 | run);
                b += char(v);
            }
    return b;
}

// Window 10000 x 5000; per group of ten records: a pen and a brush created,
// selected, a polygon, a rectangle, an ellipse and a polyline drawn, and the
// two objects deleted.
QByteArray MakeWmf(int records)
{
    QByteArray body;
    const auto rec = [&](int function, std::initializer_list<int> words) {
        Le16(body, int(3 + words.size()));
        Le16(body, 0);
        Le16(body, function);
        for (int w : words)
            Le16(body, w);
    };
    rec(0x0103, {8});
    rec(0x020C, {5000, 10000});
    for (int i = 0; i + 10 <= records; i += 10) {
        const int x = (i * 37) % 9000, y = (i * 53) % 4500;
        rec(0x02FA, {0, 10 + i % 30, 0, i & 0xFFFF, 0});
        rec(0x02FC, {i % 3 == 2 ? 2 : 0, (i * 7) & 0xFFFF, 0, i % 6});
        rec(0x012D, {0});
        rec(0x012D, {1});
        rec(0x0324, {4, x, y, x + 600, y + 100, x + 500, y + 500, x, y + 300});
        rec(0x041B, {y + 400, x + 900, y + 200, x + 200});
        rec(0x0418, {y + 450, x + 800, y + 50, x + 100});
        rec(0x0325, {3, x, y + 500, x + 300, y, x + 900, y + 450});
        rec(0x01F0, {0});
        rec(0x01F0, {1});
    }
    rec(0, {});
    QByteArray header;
    for (int v : {1, 9, 0x0300})
        Le16(header, v);
    const int words = (18 + int(body.size())) / 2;
    for (int v : {words & 0xFFFF, words >> 16, 2, 12, 0, 0})
        Le16(header, v);
    return header + body;
}

// A plain WMF of a 400 x 200 window, a pen and a brush selected, and the
// records body writes (each: function, parameter words as stored).
using TRecordWriter = std::function<void(int, std::initializer_list<int>)>;
QByteArray MakeWmfOf(int objects, const std::function<void(const TRecordWriter &)> &body)
{
    QByteArray records;
    const auto rec = [&](int function, std::initializer_list<int> words) {
        Le16(records, int(3 + words.size()));
        Le16(records, 0);
        Le16(records, function);
        for (int w : words)
            Le16(records, w);
    };
    rec(0x0103, {8});
    rec(0x020C, {200, 400});
    rec(0x02FA, {5, 0, 0, 0, 0});
    rec(0x02FC, {0, 0x00FF, 0, 0});
    rec(0x012D, {0});
    rec(0x012D, {1});
    body(rec);
    rec(0, {});
    QByteArray header;
    for (int v : {1, 9, 0x0300})
        Le16(header, v);
    const int words = (18 + int(records.size())) / 2;
    for (int v : {words & 0xFFFF, words >> 16, objects, 12, 0, 0})
        Le16(header, v);
    return header + records;
}

// Clip records to a PDF page, each intersection followed by a small
// rectangle, as a picture prints.
void BM_PlayClipsToPdf(benchmark::State &state)
{
    const int count = int(state.range(0));
    const QByteArray file = MakeWmfOf(2, [&](const auto &rec) {
        for (int i = 0; i < count; ++i) {
            rec(0x0416, {200 - i % 7, 400 - i % 11, i % 5, i % 3});
            rec(0x041B, {i % 200 + 2, i % 400 + 2, i % 200, i % 400});
        }
    });
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&pdf);
            writer.setPageSize(QPageSize(QSizeF(400, 200), QPageSize::Point));
            QPainter painter(&writer);
            PlayMetafile(painter, QRect(0, 0, 4000, 2000), file);
        }
        bytes = pdf.size();
    }
    state.counters["pdf_KB"] = double(bytes) / 1024;
}

// Holes cut out of the clip (all different), then the window filled.
void BM_PlayExclusions(benchmark::State &state)
{
    const int count = int(state.range(0));
    const QByteArray file = MakeWmfOf(2, [&](const auto &rec) {
        for (int i = 0; i < count; ++i) {
            const int x = i * 7 % 397, y = i * 13 % 197;
            rec(0x0415, {y + 3, x + 3, y, x});
        }
        rec(0x041B, {200, 400, 0, 0});
    });
    QImage card(400, 200, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        card.fill(Qt::white);
        QPainter painter(&card);
        PlayMetafile(painter, card.rect(), file);
    }
}

// Objects created into a table of 65,535 slots and never deleted.
void BM_PlayObjects(benchmark::State &state)
{
    const int count = int(state.range(0));
    const QByteArray file = MakeWmfOf(65535, [&](const auto &rec) {
        for (int i = 0; i < count; ++i)
            rec(0x02FC, {0, i & 0xFFFF, 0, 0});
    });
    QImage card(400, 200, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&card);
        PlayMetafile(painter, card.rect(), file);
    }
}

void BM_DecodePcx24(benchmark::State &state)
{
    const QByteArray file = MakePcx24(2000);
    for (auto _ : state) {
        const QImage image = DecodePcx(file);
        if (image.size() != QSize(2000, 2000))
            state.SkipWithError("the picture did not decode");
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["file_MB"] = double(file.size()) / (1 << 20);
}

void BM_PlayWmf(benchmark::State &state)
{
    const QByteArray file = MakeWmf(5000);
    QImage card(336, 192, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        card.fill(Qt::white);
        QPainter painter(&card);
        PlayMetafile(painter, card.rect(), file);
    }
    if (card.pixel(168, 96) == qRgb(255, 255, 255) && card.pixel(40, 40) == qRgb(255, 255, 255))
        state.SkipWithError("nothing was drawn");
}

BENCHMARK(BM_DecodePcx24)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlayWmf)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlayClipsToPdf)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PlayExclusions)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond)->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PlayObjects)->Arg(15000)->Arg(60000)->Unit(benchmark::kMillisecond)->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace
