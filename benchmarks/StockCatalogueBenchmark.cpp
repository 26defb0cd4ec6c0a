// Loading the card stock catalogue as the layout dialog does when it opens:
// the shipped stocks read from the program's resources and a user catalogue
// of as many stocks again. Budget: under 20 ms (median). Also one search as
// the user types, which runs on every key.
#include "document/CardStocks.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QByteArray ShippedBytes()
{
    TStockCatalogue::BuiltIn(); // registers the resource
    QFile file(QStringLiteral(":/stocks/card-stocks.csv"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void BM_LoadCatalogue(benchmark::State &state)
{
    const QByteArray shipped = ShippedBytes();
    QTemporaryDir dir;
    const QString user = dir.filePath(QStringLiteral("stocks.csv"));
    {
        QSaveFile file(user);
        if (!file.open(QIODevice::WriteOnly))
            state.SkipWithError("cannot write the user catalogue");
        file.write(shipped);
        file.commit();
    }
    for (auto _ : state) {
        const TStockReadResult read = ReadCardStocks(shipped);
        const TStockCatalogue catalogue = TStockCatalogue::Load(user);
        if (read.Stocks.size() != 109 || catalogue.Stocks().size() != 14 + 2 * 109)
            state.SkipWithError("the catalogue did not load whole");
        benchmark::DoNotOptimize(catalogue.Stocks().data());
    }
}
BENCHMARK(BM_LoadCatalogue)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

void BM_SearchCatalogue(benchmark::State &state)
{
    const TStockCatalogue catalogue = TStockCatalogue::Load(QString());
    for (auto _ : state) {
        benchmark::DoNotOptimize(catalogue.Search(QStringLiteral("avery 85 x 55")).size());
        benchmark::DoNotOptimize(catalogue.Search(QStringLiteral("8373")).size());
    }
}
BENCHMARK(BM_SearchCatalogue)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace
