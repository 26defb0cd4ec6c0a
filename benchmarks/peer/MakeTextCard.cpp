// Writes the card the peer comparison prints: N plain text labels ("Line i
// of the card", Arial 10 pt, no 3-D depths) spread over the card, left,
// centred and right aligned in turn, saved as a design file.
//   make_text_card N OUT.TSC
#include "TextCardPlaces.h"
#include "objects/gbclabel32.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool ok = false;
    const int labels = argc == 3 ? QString::fromLocal8Bit(argv[1]).toInt(&ok) : 0;
    if (!ok || labels < 1 || labels > 100000) {
        std::fprintf(stderr, "usage: make_text_card N OUT.TSC (N from 1 to 100000)\n");
        return 2;
    }
    TGBusinessCardPanel32 surface;
    surface.SetOwner(&surface);
    surface.setFixedSize(336, 192);
    for (int i = 0; i < labels; ++i) {
        auto *label = new TGBusinessCardLabel(&surface);
        label->MakeReady();
        label->SetCaption(QStringLiteral("Line %1 of the card").arg(i + 1));
        constexpr TAlignment Alignments[] = {taLeftJustify, taCenter, taRightJustify};
        label->SetAlignment(Alignments[TextCardAlignment(i)]);
        const QRect r = TextCardPlace(i);
        const TRect place = TRect::FromBounds(r.x(), r.y(), r.width(), r.height());
        surface.PlaceObject(label, place);
        label->SetBounds(place.Left, place.Top, place.Width(), place.Height());
    }
    surface.SaveToFile(QString::fromLocal8Bit(argv[2]));
    return 0;
}
