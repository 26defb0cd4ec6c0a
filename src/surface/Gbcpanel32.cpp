#include "surface/Gbcpanel32.h"

#include "document/KindRegistry.h"
#include "surface/Cursors.h"
#include "surface/GGraphc.h"

TGBusinessCardPanel32::TGBusinessCardPanel32(QWidget *parent)
    : TGBasePanel(parent)
{
    SetZoom(1.0f);
}

QString TGBusinessCardPanel32::ToolName(TLPanelState state)
{
    const TCardKind *kind = KindCatalogue::ForTool(state);
    return kind ? kind->ToolName() : QString();
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
    const TCardKind *kind = KindCatalogue::ForTool(m_panelState);
    if (m_panelState == psPointing || !kind || !kind->ClassName)
        return;
    TRect rect = dropped;
    if (rect.Right - rect.Left < 25)
        rect.Right = rect.Left + 50;
    if (rect.Bottom - rect.Top < 15)
        rect.Bottom = rect.Top + 15;

    TStoredObject *made =
        TObjectKindRegistry::Instance().Create(QString::fromLatin1(kind->ClassName), Owner());
    auto *object = qobject_cast<TGGraphicControl *>(made);
    if (!object) {
        delete made;
        return;
    }
    if (kind->PointerWhileEditing) {
        PlaceForEditing(object, rect);
    } else {
        if (kind->Prepare)
            kind->Prepare(*object, *this);
        PlaceObject(object, rect);
    }
    if (kind->EditPlaced)
        kind->EditPlaced(*object);
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
