// Starting the program on a design of 500 text labels until its card is
// drawn, beside the floor: a bare window drawing 500 text items. Both count
// from the window's creation to the end of its first paint of the card (the
// process's and the application object's start, the same for both, are left out).
// The program starts with another design of 500 objects as its most recent one.
#include "objects/gbclabel32.h"
#include "peer/TextCardPlaces.h"
#include "shell/Main.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>

namespace {

constexpr int Objects = 500;

// Saves the card of the peer comparison with `labels` labels as `name`.
QString SaveTextCard(const QTemporaryDir &dir, int labels, const QString &name)
{
    TGBusinessCardPanel32 surface;
    surface.SetOwner(&surface);
    surface.setFixedSize(336, 192);
    constexpr TAlignment Alignments[] = {taLeftJustify, taCenter, taRightJustify};
    for (int i = 0; i < labels; ++i) {
        auto *label = new TGBusinessCardLabel(&surface);
        label->MakeReady();
        label->SetCaption(QStringLiteral("Line %1 of the card").arg(i + 1));
        label->SetAlignment(Alignments[TextCardAlignment(i)]);
        const QRect r = TextCardPlace(i);
        const TRect place = TRect::FromBounds(r.x(), r.y(), r.width(), r.height());
        surface.PlaceObject(label, place);
        label->SetBounds(place.Left, place.Top, place.Width(), place.Height());
    }
    const QString path = dir.filePath(name);
    surface.SaveToFile(path);
    return path;
}

// Notes when the card surface first paints with the whole design on it.
class TPaintWatch : public QObject
{
public:
    TPaintWatch(const TMainScreen &window, const QString &design)
        : m_window(window)
        , m_panel(*window.BusinessCardPanel())
        , m_design(design)
    {
        m_clock.start();
    }
    qint64 paintedAfterNs = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || paintedAfterNs >= 0 ||
            m_window.FileName() != m_design || m_panel.Objects().size() != Objects)
            return QObject::eventFilter(watched, event);
        // Painted here, so that the paint's end is known.
        watched->event(event);
        paintedAfterNs = m_clock.nsecsElapsed();
        return true;
    }

private:
    const TMainScreen &m_window;
    const TGBusinessCardPanel32 &m_panel;
    const QString m_design;
    QElapsedTimer m_clock;
};

// Starts the program on a design and lets it finish starting.
void StartAndClose(const QString &design)
{
    TMainScreen window;
    window.SetStartupFile(design);
    window.show();
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    while (window.Busy());
    window.close();
}

// From the window's creation to the end of the surface's first paint with the
// design named at the start (the paint event's handling included), another
// design of as many objects being the most recent one.
void BM_StartWithDesignOf500Objects(benchmark::State &state)
{
    // Made once: placing 500 objects on a surface costs more than opening them.
    static QTemporaryDir dir;
    static const QString recent = SaveTextCard(dir, Objects, QStringLiteral("recent.TSC"));
    static const QString design = SaveTextCard(dir, Objects, QStringLiteral("card.TSC"));
    for (auto _ : state) {
        StartAndClose(recent); // untimed: the recent design heads the list again
        QElapsedTimer clock;
        clock.start();
        TMainScreen window;
        TPaintWatch watch(window, design);
        const qint64 made = clock.nsecsElapsed();
        window.BusinessCardPanel()->installEventFilter(&watch);
        window.SetStartupFile(design);
        window.show();
        while (watch.paintedAfterNs < 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        state.SetIterationTime(double(made + watch.paintedAfterNs) / 1e9);
        window.BusinessCardPanel()->removeEventFilter(&watch);
        while (window.Busy())
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        window.close();
    }
}

BENCHMARK(BM_StartWithDesignOf500Objects)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// The floor: a window that draws 500 lines of text on its first paint.
class TBareCard : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setFont(QFont(QStringLiteral("Arial"), 10));
        constexpr int Alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
        for (int i = 0; i < Objects; ++i)
            painter.drawText(TextCardPlace(i), Alignments[TextCardAlignment(i)],
                             QStringLiteral("Line %1 of the card").arg(i + 1));
        painted = true;
    }

public:
    bool painted = false;
};

void BM_BareWindowDrawing500Texts(benchmark::State &state)
{
    for (auto _ : state) {
        TBareCard window;
        window.resize(336, 192);
        window.show();
        while (!window.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

BENCHMARK(BM_BareWindowDrawing500Texts)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

} // namespace
