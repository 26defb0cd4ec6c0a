#include "SheetPrinting.h"

#include "document/CardLayout.h"
#include "printing/Printlbl.h"
#include "report/RPrinter.h"
#include "shell/Preferences.h"
#include "surface/Gbcpanel32.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

bool PrintSheetToPdf(TGBusinessCardPanel32 &surface, const QString &pdf, int copies)
{
    const TCardLayout layout; // 2 x 5 on Letter
    TReportPrinter report;
    report.SetOutputFile(pdf);
    report.SetPaperSize(layout.Papersize);
    TLabelPrinter job;
    job.Panel = &surface;
    job.Renderer().PrintSelection = QList<bool>(layout.Across * layout.Down, true);
    job.Renderer().SetLayout(layout, TPrinterNudges());
    job.Renderer().Copies = copies;
    job.SetPrinterReport(&report);
    job.RunJob();
    return !job.Failed() && QFileInfo(pdf).size() > 0;
}

double StatusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toDouble();
    return 0;
}

void RepaintCardAt150(benchmark::State &state, TGBusinessCardPanel32 &surface)
{
    surface.SetZoom(1.5f);
    QImage canvas(surface.size(), QImage::Format_RGB32);
    {
        QPainter painter(&canvas);
        surface.PaintCard(painter, false);
    }
    for (auto _ : state) {
        QPainter painter(&canvas);
        surface.PaintCard(painter, false);
    }
}

void PrintCardSheets(benchmark::State &state, TGBusinessCardPanel32 &surface)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    for (auto _ : state) {
        if (!PrintSheetToPdf(surface, pdf))
            state.SkipWithError("the sheet was not printed");
    }
    state.counters["pdf_bytes"] = double(QFileInfo(pdf).size());
}
