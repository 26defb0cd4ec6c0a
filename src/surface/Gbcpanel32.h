#pragma once

#include "surface/Gbasepnl.h"
#include "surface/KindCatalogue.h"

#include <QStringList>

// The card surface of the main window: the current tool, the creation of each
// object kind and the personal details that text objects offer.
class TGBusinessCardPanel32 : public TGBasePanel
{
    Q_OBJECT

public:

    explicit TGBusinessCardPanel32(QWidget *parent = nullptr);

    TLPanelState PanelState() const { return m_panelState; }
    void SetPanelState(TLPanelState state);


    void CreateObjectForTool(const TRect &rect) override;
    bool HasSpecialEffects() const;

    // The tool's name as its button's hint gives it.
    static QString ToolName(TLPanelState state);

private:
    // Readies and places an object that a dialog edits at once, and returns
    // the surface to the pointer first; an object that cannot get ready is
    // freed, not left half made.
    void PlaceForEditing(TGGraphicControl *object, const TRect &rect);
    TLPanelState m_panelState = psPointing;
};
