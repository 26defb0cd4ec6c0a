// Reading TSC.INI with many printer sections, as every print and the start
// of the window do: linear in the sections, so 4N takes about four times N.
#include "shell/Preferences.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_LoadPreferencesWithPrinterSections(benchmark::State &state)
{
    const int sections = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TSC.INI"));
    QByteArray ini = "[Layout]\nAcross=2\nDown=5\n";
    for (int i = 0; i < sections; ++i)
        ini += "[Printer LP" + QByteArray::number(i) +
               "]\nTopMarginNudge=" + QByteArray::number(i % 50) + "\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ini) != ini.size()) {
        state.SkipWithError("cannot write the settings file");
        return;
    }
    file.close();
    for (auto _ : state) {
        const TPreferences preferences = LoadPreferences(path);
        if (preferences.PrinterNudges.size() != sections)
            state.SkipWithError("sections went missing");
        benchmark::DoNotOptimize(preferences.NudgesFor(QStringLiteral("LP1")));
    }
    state.counters["bytes"] = double(ini.size());
}

BENCHMARK(BM_LoadPreferencesWithPrinterSections)
    ->Arg(5000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
