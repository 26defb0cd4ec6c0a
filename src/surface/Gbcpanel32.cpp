#include "surface/Gbcpanel32.h"

#include "objects/Placeholder.h"
#include "surface/Cursors.h"
#include "surface/GGraphc.h"

TGBusinessCardPanel32::TGBusinessCardPanel32(QWidget *parent)
    : TGBasePanel(parent)
{
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

    auto *object = new TGPlaceholderObject(Owner(), ToolName(m_panelState));
    object->MakeReady();
    PlaceObject(object, rect);
    switch (m_panelState) {
    case psImage:
    case psSuperShape:
    case psRichLabel:
    case psSuperText:
        SetScreenCursor(crDefault);
        SetPanelState(psPointing);
        break;
    default:
        break;
    }
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
