#pragma once

#include "surface/Gbcpanel32.h"

#include <QIcon>

// The tool bar's pictures, drawn by the program so that they scale cleanly.
QIcon ToolIcon(TLPanelState tool);
QIcon GridIcon();
QIcon SnapIcon();
