// The catalogue of card object kinds: one row per kind, in tool bar order.
// A new kind is its own files plus one row here.
#include "shell/CardKinds.h"

#include "document/KindRegistry.h"
#include "effects/Gsshape.h"
#include "effects/gsstext.h"
#include "objects/Gbarcode.h"
#include "objects/Gbcshape.h"
#include "objects/Gimage.h"
#include "objects/Glines.h"
#include "objects/Glshapes.h"
#include "objects/Gplabel.h"
#include "objects/Gpmlabel.h"
#include "objects/Gprichl.h"
#include "objects/Gpslabel.h"
#include "objects/gbclabel32.h"
#include "shell/ToolIcons.h"
#include "surface/Gbcpanel32.h"
#include "surface/KindCatalogue.h"

namespace {

template <class Kind> void Register()
{
    TObjectKindRegistry::Instance().Register<Kind>();
}

template <class Kind> Kind &As(TGGraphicControl &object)
{
    return static_cast<Kind &>(object);
}

template <TGLabelShapes::TShapeType Shape>
void PrepareShape(TGGraphicControl &object, TGBusinessCardPanel32 &)
{
    As<TBCShapes>(object).SetShape(Shape);
    object.MakeReady();
}

QList<TCardKind> Catalogue()
{
    QList<TCardKind> kinds;
    // The selection tool, which places nothing.
    kinds.append({nullptr, psPointing, "Pointerbutton", "Selection tool", &PointerToolIcon});
    kinds.append({
        "TGBusinessCardLabel", psLabel, "DrawLabelButton", "Text tool", &TextToolIcon,
        &Register<TGBusinessCardLabel>, 5,
        [](TGGraphicControl &object, TGBusinessCardPanel32 &surface) {
            auto &label = As<TGBusinessCardLabel>(object);
            label.SetParent(&surface);
            label.MakeReady();
            label.SetCaption(QStringLiteral("Text"));
            label.Font()->Assign(surface.SurfaceFont());
        },
        false,
        [](TGGraphicControl &object) {
            // A cancelled text dialog leaves "Text"; the label fits its caption either way.
            auto &label = As<TGBusinessCardLabel>(object);
            label.EditText();
            label.FitToText();
        },
    });
    kinds.append({
        "TGMultiLineLabel", psMultiLineLabel, "DrawMLTextButton", "Multi-line text tool",
        &MultiLineTextToolIcon, &Register<TGMultiLineLabel>, 7,
        [](TGGraphicControl &object, TGBusinessCardPanel32 &surface) {
            object.MakeReady();
            As<TGMultiLineLabel>(object).Font()->Assign(surface.SurfaceFont());
        },
        false,
        [](TGGraphicControl &object) {
            // Fits to the lines whatever the editor's result.
            auto &text = As<TGMultiLineLabel>(object);
            text.EditText();
            text.FitToLines();
        },
    });
    kinds.append({
        "TGSymbolLabel", psSymbolLabel, "DrawSymbolButton", "Symbol tool", &SymbolToolIcon,
        &Register<TGSymbolLabel>, 6,
        [](TGGraphicControl &object, TGBusinessCardPanel32 &) { object.MakeReady(); },
        false,
        [](TGGraphicControl &object) {
            // A cancelled selector leaves the first symbol; the label fits it either way.
            auto &symbol = As<TGSymbolLabel>(object);
            symbol.SymbolSelector();
            symbol.FitToText();
        },
    });
    kinds.append({"TBCShapes", psRectangle, "DrawRectanglebutton", "Rectangle tool",
                  &RectangleToolIcon, &Register<TBCShapes>, 3,
                  &PrepareShape<TGLabelShapes::stRectangle>});
    kinds.append({"TBCShapes", psEllipse, "DrawEllipseButton", "Ellipse tool", &EllipseToolIcon,
                  &Register<TBCShapes>, 3, &PrepareShape<TGLabelShapes::stEllipse>});
    kinds.append({"TBCShapes", psRoundRectangle, "DrawRoundrectbutton", "Round Rectangle tool",
                  &RoundRectangleToolIcon, &Register<TBCShapes>, 3,
                  &PrepareShape<TGLabelShapes::stRoundRect>});
    kinds.append({
        "TGLineShape", psLine, "DrawLinebutton", "Line Tool", &LineToolIcon,
        &Register<TGLineShape>, 0,
        [](TGGraphicControl &object, TGBusinessCardPanel32 &) {
            As<TGLineShape>(object).SetLineStyle(TGLineShape::stVertical);
            object.MakeReady();
        },
    });
    kinds.append({
        "TGImage", psImage, "DrawImageButton", "Clip Art Tool", &ClipArtToolIcon,
        &Register<TGImage>, 1, nullptr, true,
        // Cancelled, the image stays as an empty framed box of the dragged size.
        [](TGGraphicControl &object) { As<TGImage>(object).LoadImage(); },
    });
    kinds.append({
        "TSuperShape", psSuperShape, "DrawSupershape",
        "Supershape tool \nMulti-purpose shapes and surfaces", &SuperShapeToolIcon,
        &Register<TSuperShape>, 8, nullptr, true,
        // Placed with its creation values; the properties dialog edits them.
        [](TGGraphicControl &object) { As<TSuperShape>(object).EditProperties(); },
    });
    kinds.append({
        "TGPRichBaseLabel", psRichLabel, "DrawRichText",
        "Rich Text tool \nMixed fonts, colors and styles", &RichTextToolIcon,
        &Register<TGPRichBaseLabel>, 9, nullptr, true,
        [](TGGraphicControl &object) { As<TGPRichBaseLabel>(object).Edit(); },
    });
    kinds.append({
        "TGSuperText", psSuperText, "DrawSuperTextButton",
        "SuperText tool \nSpecial Effects Text - fill with gradients or bitmaps",
        &SuperTextToolIcon, &Register<TGSuperText>, 10, nullptr, true,
        [](TGGraphicControl &object) {
            // Its 48-point caption does not fit the width a click gives: as the
            // labels do, it widens to show its caption, also when the dialog is
            // cancelled ("Text").
            auto &text = As<TGSuperText>(object);
            text.EditProperties();
            text.FitToCaption();
        },
    });
    kinds.append({
        "TGBarcode", TLPanelState(psSuperText + 1), "DrawBarcodeButton",
        "Barcode tool \nQR codes and barcodes, also of your contact details", &BarcodeToolIcon,
        &Register<TGBarcode>, 11, nullptr, true,
        [](TGGraphicControl &object) {
            auto &code = As<TGBarcode>(object);
            code.FitPlacedSize();
            code.EditProperties();
        },
    });
    // Classes design files hold that no tool places.
    kinds.append({"TGPLabel", psPointing, nullptr, nullptr, nullptr, &Register<TGPLabel>, 4});
    kinds.append(
        {"TGLabelShapes", psPointing, nullptr, nullptr, nullptr, &Register<TGLabelShapes>, 2});
    return kinds;
}

} // namespace

void RegisterCardObjectKinds()
{
    static const bool installed = [] {
        KindCatalogue::Install(Catalogue());
        return true;
    }();
    Q_UNUSED(installed);
}
