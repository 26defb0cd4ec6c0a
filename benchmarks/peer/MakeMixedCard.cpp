// Writes the mixed card (one of every kind that prints, in the looks that
// test the printed drawing) as a design file, to print it with two builds
// and compare the sheets.
//   make_mixed_card OUT.TSC
#include "printing/MixedCard.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_mixed_card OUT.TSC\n");
        return 2;
    }
    TGBusinessCardPanel32 surface;
    surface.SetOwner(&surface);
    BuildMixedCard(surface);
    surface.SaveToFile(QString::fromLocal8Bit(argv[1]));
    return 0;
}
