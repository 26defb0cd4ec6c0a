// A full repaint of a card holding 50 objects of the plain kinds (shapes,
// lines, multi-line labels and symbol labels) at 150 % zoom, as the design
// surface paints it. Budget: under 8 ms (median).
#include "objects/Gbcshape.h"
#include "objects/Glines.h"
#include "objects/Gpmlabel.h"
#include "objects/Gpslabel.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

void AddMixedObjects(TGBusinessCardPanel32 &surface, QObject &owner)
{
    const QString symbols = QStringLiteral("[(*)FJQ+,-");
    for (int i = 0; i < 50; ++i) {
        const int left = 6 + (i % 10) * 32;
        const int top = 6 + (i / 10) * 36;
        TGGraphicControl *object = nullptr;
        switch (i % 4) {
        case 0: {
            auto *shape = new TBCShapes(&owner);
            shape->SetShape(TGLabelShapes::TShapeType(i % 6));
            shape->SetRoundPerc(20);
            shape->Pen()->SetWidth(1 + i % 3);
            shape->SetTransparent(i % 8 == 0);
            object = shape;
            break;
        }
        case 1: {
            auto *line = new TGLineShape(&owner);
            line->SetLineStyle(TGLineShape::TLineStyle(i % 4));
            line->Pen()->SetWidth(1 + i % 2);
            object = line;
            break;
        }
        case 2: {
            auto *text = new TGMultiLineLabel(&owner);
            text->SetItems({QStringLiteral("Acme Ltd"), QStringLiteral("12 High St")});
            text->SetWordWrap(i % 3 == 0);
            text->SetAlignment(TGMultiLineBaseLabel::TAlignment(i % 3));
            object = text;
            break;
        }
        default: {
            auto *symbol = new TGSymbolLabel(&owner);
            symbol->SetCaption(symbols.mid(i % symbols.size(), 1));
            object = symbol;
            break;
        }
        }
        object->MakeReady();
        surface.PlaceObject(object, TRect::FromBounds(left, top, 30, 30));
    }
}

void BM_RepaintMixedCardAt150(benchmark::State &state)
{
    QObject owner;
    TGBusinessCardPanel32 surface;
    surface.SetOwner(&owner);
    surface.setFixedSize(336, 192);
    AddMixedObjects(surface, owner);
    surface.SetZoom(1.5f);
    if (surface.Objects().size() != 50)
        state.SkipWithError("the card does not hold 50 objects");
    QImage image(surface.size(), QImage::Format_ARGB32_Premultiplied);
    // One paint first: layouts and font look-ups a real surface has done before.
    {
        QPainter painter(&image);
        surface.PaintCard(painter, false);
    }
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        surface.PaintCard(painter, false);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(BM_RepaintMixedCardAt150)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace
