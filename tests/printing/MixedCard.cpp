#include "MixedCard.h"

#include "effects/Gsshape.h"
#include "effects/gsstext.h"
#include "objects/Gbcshape.h"
#include "objects/Gimage.h"
#include "objects/Glines.h"
#include "objects/Gpmlabel.h"
#include "objects/Gprichl.h"
#include "objects/Gpslabel.h"
#include "objects/gbclabel32.h"
#include "richtext/RichTextEngine.h"
#include "surface/Gbcpanel32.h"

#include <QImage>

namespace {

template <class T> T *Place(TGBusinessCardPanel32 &panel, int left, int top, int width, int height)
{
    auto *object = new T(&panel);
    object->MakeReady();
    object->SetParent(&panel);
    object->SetBounds(left, top, width, height);
    return object;
}

TGBusinessCardLabel *Label(TGBusinessCardPanel32 &panel, const QString &caption, int left, int top,
                           int width, int height)
{
    auto *label = Place<TGBusinessCardLabel>(panel, left, top, width, height);
    label->SetCaption(caption);
    return label;
}

} // namespace

void BuildMixedCard(TGBusinessCardPanel32 &panel)
{
    panel.setFixedSize(336, 192);

    auto *deep = Label(panel, QStringLiteral("Deep Shadow"), 6, 4, 150, 30);
    deep->Font()->SetSize(14);
    deep->Font()->SetStyle(fsBold);
    deep->SetDepthShadow(3);
    deep->SetShadowColor(0x0000FF); // red
    deep->SetDepthHighlight(2);
    deep->SetColorHighlight(0x00FF00);

    auto *boxed = Label(panel, QStringLiteral("Centred in a box"), 170, 4, 150, 26);
    boxed->SetTransparent(false);
    boxed->SetBackColor(0x80FFFF); // light yellow
    boxed->SetBorderStyle(TGBaseLabel::bsSingle);
    boxed->SetAlignment(taCenter);
    boxed->Font()->SetColor(0x800000); // navy

    auto *right = Label(panel, QStringLiteral("Right, italic, underlined"), 6, 38, 150, 24);
    right->SetAlignment(taRightJustify);
    right->Font()->SetStyle(fsItalic | fsUnderline);

    // Far longer than its box: cut at the box's right edge.
    auto *overflow =
        Label(panel, QStringLiteral("This caption runs on past its box"), 170, 38, 70, 22);
    overflow->SetBorderStyle(TGBaseLabel::bsSingle);

    // Past the card's right edge: cut there.
    auto *edge = Label(panel, QStringLiteral("Over the right edge"), 270, 66, 130, 24);
    edge->SetDepthShadow(2);

    auto *turned = Label(panel, QStringLiteral("Turned"), 6, 70, 30, 100);
    turned->SetAngle(90);
    turned->SetDepthShadow(2);
    turned->SetShadowColor(0xFF0000); // blue

    auto *lines = Place<TGMultiLineLabel>(panel, 44, 68, 120, 60);
    lines->SetItems(
        {QStringLiteral("First line"), QStringLiteral("Second line"), QStringLiteral("Third")});

    auto *symbol = Place<TGSymbolLabel>(panel, 172, 70, 40, 40);
    symbol->SetCaption(QStringLiteral("("));

    TRichTextEngine::EnsureMaster(&panel); // rich text draws through it
    auto *rich = Place<TGPRichBaseLabel>(panel, 220, 96, 110, 40);
    rich->SetRTFText(QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red200\\green0"
                                "\\blue0;}\\f0\\fs20 Rich {\\b bold} and {\\cf1 red}\\par}"));

    auto *ellipse = Place<TBCShapes>(panel, 44, 134, 60, 36);
    ellipse->SetShape(TGLabelShapes::stEllipse);
    ellipse->Brush()->SetColor(0x00C0FF);
    ellipse->Brush()->SetStyle(bsSolid);

    auto *line = Place<TGLineShape>(panel, 110, 132, 56, 40);
    line->SetLineStyle(TGLineShape::stAngleSlopingDown);
    line->Pen()->SetWidth(3);

    auto *image = Place<TGImage>(panel, 172, 140, 40, 30);
    QImage art(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            art.setPixel(x, y, qRgb(60 * x, 80 * y, 200));
    TPicture picture;
    picture.SetImage(art);
    image->SetPicture(picture);

    auto *shape = Place<TSuperShape>(panel, 220, 140, 60, 34);
    shape->SetShadowDepth(4);
    shape->SetForeColor(0x00A000);

    auto *super = Place<TGSuperText>(panel, 284, 138, 44, 40);
    super->SetCaption(QStringLiteral("Sx"));
    super->SetShadowDepth(3);

    auto *upside = Label(panel, QStringLiteral("Upside"), 108, 100, 60, 26);
    upside->SetAngle(180);
    upside->SetDepthHighlight(2);

    auto *down = Label(panel, QStringLiteral("Down"), 318, 96, 18, 70);
    down->SetAngle(270);
    down->SetDepthHighlight(2);
    down->SetDirectionHighlight(hdUpRight);

    auto *struck = Label(panel, QStringLiteral("Struck out"), 214, 178, 100, 20);
    struck->Font()->SetStyle(fsStrikeOut);
    struck->SetDepthShadow(1);
    struck->SetDirectionShadow(sdDownLeft);

    // Text in a symbol font: the pictures it stands for.
    auto *pictures = Label(panel, QStringLiteral("*("), 232, 64, 36, 28);
    pictures->Font()->SetName(QStringLiteral("WingDings"));
    pictures->Font()->SetSize(16);

    // Past the card's bottom edge: cut there.
    auto *bottom = Label(panel, QStringLiteral("Below the bottom edge"), 60, 176, 150, 26);
    bottom->SetDepthHighlight(1);
}
