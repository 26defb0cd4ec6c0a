// Merge printing of a team's cards: 1,000 and 10,000 records of a spreadsheet
// printed 2 x 5 to a PDF file, each card with a name, a title, two lines of
// contact details and a QR code of the e-mail address. The time per record
// should stay the same at both sizes, and the memory the job holds should
// not grow with the records (peak_kb_per_record near 0).
#include "SheetPrinting.h"
#include "document/CardModel.h"
#include "document/CardLayout.h"
#include "document/MergeData.h"
#include "objects/Gbarcode.h"
#include "objects/Gpmlabel.h"
#include "objects/gbclabel32.h"
#include "printing/MergePrint.h"
#include "printing/SheetRenderer.h"
#include "report/RPrinter.h"
#include "richtext/RichTextEngine.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

TMergeTable Team(int records)
{
    TMergeTable table;
    table.Columns = {"Name", "Title", "Phone", "Email"};
    table.Records.reserve(records);
    for (int i = 0; i < records; ++i)
        table.Records.append({QStringLiteral("Person %1 Example").arg(i + 1),
                              QStringLiteral("Title %1").arg(i % 37),
                              QStringLiteral("+1 555 %1").arg(1000 + i % 9000),
                              QStringLiteral("person%1@example.com").arg(i + 1)});
    return table;
}

void BuildTeamCard(TCardModel &design)
{
    TRichTextEngine::EnsureMaster(design.Owner());
    auto label = [&](const QString &caption, int top, int points) {
        auto *text = new TGBusinessCardLabel(design.Owner());
        text->MakeReady();
        text->SetCaption(caption);
        text->Font()->SetName(QStringLiteral("Arial"));
        text->Font()->SetSize(points);
        text->SetBounds(16, top, 200, 24);
        design.Insert(text);
    };
    label(QStringLiteral("${Name}"), 12, 14);
    label(QStringLiteral("${Title}"), 40, 10);
    auto *lines = new TGMultiLineLabel(design.Owner());
    lines->MakeReady();
    lines->SetItems({QStringLiteral("Phone ${Phone}"), QStringLiteral("${Email}")});
    lines->SetBounds(16, 120, 200, 40);
    design.Insert(lines);
    auto *code = new TGBarcode(design.Owner());
    code->MakeReady();
    code->SetData(QStringLiteral("mailto:${Email}"));
    code->SetBounds(240, 96, 80, 80);
    design.Insert(code);
}

void BM_PrintMergedTeam(benchmark::State &state)
{
    const int records = int(state.range(0));
    TCardModel design;
    BuildTeamCard(design);
    const TMergeTable table = Team(records);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("team.pdf"));
    const TCardLayout layout;
    double heldKb = 0;
    for (auto _ : state) {
        const double before = StatusKb("VmRSS");
        TMergeCards cards(design, nullptr, table, AllRecords(table));
        TReportPrinter report;
        report.SetOutputFile(pdf);
        report.SetPaperSize(layout.Papersize);
        TSheetRenderer sheet;
        sheet.SetLayout(layout, TPrinterNudges());
        sheet.Objects = cards.FrontObjects();
        sheet.MergeCards = cards.Count();
        double peakDuring = before;
        sheet.OnMergeCard = [&](int card) {
            cards.Show(card);
            if (card % 500 == 0)
                peakDuring = std::max(peakDuring, StatusKb("VmRSS"));
        };
        if (!sheet.Render(report))
            state.SkipWithError("the job did not run");
        heldKb = std::max(heldKb, peakDuring - before);
    }
    // Records per second: the same at both sizes when the time grows linearly.
    state.SetItemsProcessed(int64_t(state.iterations()) * records);
    state.counters["held_kb_per_record"] = heldKb / records;
    state.counters["pdf_kb_per_record"] = double(QFileInfo(pdf).size()) / 1024.0 / records;
}

BENCHMARK(BM_PrintMergedTeam)->Arg(1000)->Arg(10000)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
