// Writes a card holding one or more of every kind with many of their
// settings (3-D text in all alignments, backgrounds, borders, overflowing and
// edge-crossing text, multi-line, symbols, rich text, shapes, lines, effects,
// a picture), for comparing screen and paper output before and after a change:
//   make_mixed_card OUT.TSC
#include "effects/Gsshape.h"
#include "effects/gsstext.h"
#include "objects/Gimage.h"
#include "objects/Glines.h"
#include "objects/Glshapes.h"
#include "objects/Gpmlabel.h"
#include "objects/Gprichl.h"
#include "objects/Gpslabel.h"
#include "objects/gbclabel32.h"
#include "richtext/RichTextEngine.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

TGBusinessCardPanel32 *g_surface = nullptr;

template <typename Kind> Kind *Place(int left, int top, int width, int height)
{
    auto *object = new Kind(g_surface);
    object->MakeReady();
    const TRect place = TRect::FromBounds(left, top, width, height);
    g_surface->PlaceObject(object, place);
    object->SetBounds(left, top, width, height);
    return object;
}

void PlaceTextLabels()
{
    const TAlignment alignments[] = {taLeftJustify, taCenter, taRightJustify};
    for (int i = 0; i < 3; ++i) {
        auto *label = Place<TGBusinessCardLabel>(6, 4 + i * 22, 150, 20);
        label->SetCaption(QStringLiteral("Tessaro Cards %1").arg(i + 1));
        label->SetAlignment(alignments[i]);
        label->SetDepthShadow(i + 1);
        label->SetDepthHighlight(i);
        label->SetColorShadow(0x808080);
        label->SetColorHighlight(0x00FFFF);
        label->Font()->SetColor(i == 1 ? 0x0000C0 : 0);
        label->Font()->SetSize(10 + 2 * i);
        if (i == 1) {
            label->SetTransparent(false);
            label->SetBackColor(0xC0FFC0);
            label->SetBorderStyle(bsSingle);
        }
    }
    auto *overflow = Place<TGBusinessCardLabel>(170, 4, 60, 14);
    overflow->SetCaption(QStringLiteral("A caption much longer than its box"));
    auto *edge = Place<TGBusinessCardLabel>(290, 170, 120, 20);
    edge->SetCaption(QStringLiteral("Past the edge"));
    edge->Font()->SetStyle(1); // bold
}

void PlaceOtherKinds()
{
    auto *lines = Place<TGMultiLineLabel>(170, 24, 150, 44);
    lines->SetItems({QStringLiteral("123 Main Street"), QStringLiteral("Springfield"),
                     QStringLiteral("(555) 010-0199")});
    auto *symbol = Place<TGSymbolLabel>(300, 150, 30, 30);
    symbol->SetCaption(QStringLiteral("("));
    auto *rich = Place<TGPRichBaseLabel>(6, 76, 150, 40);
    rich->SetRTFText(QByteArrayLiteral(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red200\\green0\\blue0;}"
        "\\f0\\fs20 Plain \\b bold\\b0 and \\cf1 red\\cf0\\par\\qc centred line\\par}"));
    auto *rect = Place<TGLabelShapes>(170, 76, 60, 30);
    rect->Pen()->SetColor(0x000080);
    rect->Pen()->SetWidth(2);
    auto *ellipse = Place<TGLabelShapes>(236, 76, 60, 30);
    ellipse->SetShape(TGLabelShapes::stEllipse);
    ellipse->SetTransparent(false);
    ellipse->Brush()->SetColor(0xFFE0C0);
    auto *line = Place<TGLineShape>(6, 122, 300, 8);
    line->Pen()->SetColor(0x0080FF);
    line->Pen()->SetWidth(3);
    auto *star = Place<TSuperShape>(170, 112, 50, 50);
    star->SetShape(TSuperShape::gstStar);
    star->SetSurfaceType(TSuperShape::stGradientFill);
    star->SetForeColor(0x0000FF);
    star->SetGradientToColor(0xFFFF00);
    star->SetShadowDepth(4);
    star->SetShadowOrient(TSuperShape::soLowerRight);
    auto *effect = Place<TGSuperText>(6, 136, 150, 40);
    effect->SetCaption(QStringLiteral("Effects"));
    effect->SetSurfaceType(TGSuperText::stGradientFill);
    effect->SetGradientFromColor(0xFF0000);
    effect->SetGradientToColor(0x0000FF);
    effect->SetShadowDepth(3);
    effect->SetShadowOrientation(TGSuperText::sdDownRight);
    QImage art(40, 30, QImage::Format_RGB32);
    art.fill(Qt::white);
    QPainter painter(&art);
    painter.fillRect(5, 5, 30, 20, QColor(0, 120, 200));
    painter.end();
    TPicture picture;
    picture.SetImage(art);
    auto *image = Place<TGImage>(236, 112, 48, 36);
    image->SetPicture(picture);
    image->SetStretch(true);
}

} // namespace

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
    surface.setFixedSize(336, 192);
    g_surface = &surface;
    TRichTextEngine::EnsureMaster(&surface);
    PlaceTextLabels();
    PlaceOtherKinds();
    surface.SaveToFile(QString::fromLocal8Bit(argv[1]));
    return 0;
}
