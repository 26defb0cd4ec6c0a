#include "surface/Gbcpanel32.h"

#include "surface/CardKinds.h"
#include "effects/Gsshape.h"
#include "effects/gsstext.h"
#include "objects/Gbcshape.h"
#include "objects/Gimage.h"
#include "objects/Glines.h"
#include "objects/Gpmlabel.h"
#include "objects/Gprichl.h"
#include "objects/Gpslabel.h"
#include "objects/gbclabel32.h"
#include "surface/Cursors.h"
#include "surface/GGraphc.h"

TGBusinessCardPanel32::TGBusinessCardPanel32(QWidget *parent)
    : TGBasePanel(parent)
{
    RegisterCardObjectKinds();
    for (int i = 0; i < PersonalInfoCount; ++i)
        PersonalInfo.append(QString());
    SetZoom(1.0f);
}

QString TGBusinessCardPanel32::ToolName(TLPanelState state)
{
    switch (state) {
    case psPointing:
        return tr("Selection tool");
    case psLabel:
        return tr("Text tool");
    case psSymbolLabel:
        return tr("Symbol tool");
    case psMultiLineLabel:
        return tr("Multi-line text tool");
    case psRectangle:
        return tr("Rectangle tool");
    case psEllipse:
        return tr("Ellipse tool");
    case psRoundRectangle:
        return tr("Round Rectangle tool");
    case psLine:
        return tr("Line Tool");
    case psImage:
        return tr("Clip Art Tool");
    case psSuperShape:
        return tr("Supershape tool");
    case psRichLabel:
        return tr("Rich Text tool");
    case psSuperText:
        return tr("SuperText tool");
    }
    return QString();
}

void TGBusinessCardPanel32::SetPanelState(TLPanelState state)
{
    if (state == m_panelState)
        return;
    m_panelState = state;
    SetPointing(state == psPointing);
    SetScreenCursor(state == psPointing ? crDefault : crDrag);
}

void TGBusinessCardPanel32::CreateObjectForTool(const TRect &dropped)
{
    if (m_panelState == psPointing)
        return;
    TRect rect = dropped;
    if (rect.Right - rect.Left < 25)
        rect.Right = rect.Left + 50;
    if (rect.Bottom - rect.Top < 15)
        rect.Bottom = rect.Top + 15;

    QObject *owner = Owner();
    switch (m_panelState) {
    case psLabel: {
        auto *label = new TGBusinessCardLabel(owner);
        label->SetParent(this);
        label->MakeReady();
        label->SetCaption(QStringLiteral("Text"));
        label->Font()->Assign(SurfaceFont());
        PlaceObject(label, rect);
        // A cancelled text dialog leaves "Text"; the label fits its caption either way.
        label->EditText();
        label->FitToText();
        break;
    }
    case psSymbolLabel: {
        auto *symbol = new TGSymbolLabel(owner);
        symbol->MakeReady();
        PlaceObject(symbol, rect);
        // A cancelled selector leaves the first symbol; the label fits it either way.
        symbol->SymbolSelector();
        symbol->FitToText();
        break;
    }
    case psMultiLineLabel: {
        auto *text = new TGMultiLineLabel(owner);
        text->MakeReady();
        text->Font()->Assign(SurfaceFont());
        PlaceObject(text, rect);
        // Fits to the lines whatever the editor's result.
        text->EditText();
        text->FitToLines();
        break;
    }
    case psRectangle:
    case psEllipse:
    case psRoundRectangle: {
        auto *shape = new TBCShapes(owner);
        shape->SetShape(m_panelState == psRectangle ? TGLabelShapes::stRectangle
                        : m_panelState == psEllipse ? TGLabelShapes::stEllipse
                                                    : TGLabelShapes::stRoundRect);
        shape->MakeReady();
        PlaceObject(shape, rect);
        break;
    }
    case psLine: {
        auto *line = new TGLineShape(owner);
        line->SetLineStyle(TGLineShape::stVertical);
        line->MakeReady();
        PlaceObject(line, rect);
        break;
    }
    case psImage: {
        auto *image = new TGImage(owner);
        PlaceForEditing(image, rect);
        // Cancelled, the image stays as an empty framed box of the dragged size.
        image->LoadImage();
        break;
    }
    case psSuperShape: {
        // Placed with its creation values; the properties dialog edits them.
        auto *shape = new TSuperShape(owner);
        PlaceForEditing(shape, rect);
        shape->EditProperties();
        break;
    }
    case psSuperText: {
        auto *text = new TGSuperText(owner);
        PlaceForEditing(text, rect);
        // Its 48-point caption does not fit the width a click gives: as the
        // labels do, it widens to show its caption, also when the dialog is
        // cancelled ("Text").
        text->EditProperties();
        text->FitToCaption();
        break;
    }
    case psRichLabel: {
        auto *rich = new TGPRichBaseLabel(owner);
        PlaceForEditing(rich, rect);
        rich->Edit();
        break;
    }
    case psPointing:
        break;
    }
}

void TGBusinessCardPanel32::PlaceForEditing(TGGraphicControl *object, const TRect &rect)
{
    try {
        object->MakeReady();
    } catch (...) {
        delete object;
        throw;
    }
    PlaceObject(object, rect);
    SetScreenCursor(crDefault);
    SetPanelState(psPointing);
}

bool TGBusinessCardPanel32::HasSpecialEffects() const
{
    for (qsizetype i = Objects().size() - 1; i >= 0; --i) {
        const TGGraphicControl *object = Objects().at(i);
        if (object->inherits("TSuperShape") || object->inherits("TGSuperText"))
            return true;
    }
    return false;
}
