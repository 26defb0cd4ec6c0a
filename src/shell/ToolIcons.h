#pragma once

#include <QIcon>

// The tool bar's pictures, drawn by the program so that they scale cleanly.
QIcon PointerToolIcon();
QIcon TextToolIcon();
QIcon MultiLineTextToolIcon();
QIcon SymbolToolIcon();
QIcon RectangleToolIcon();
QIcon EllipseToolIcon();
QIcon RoundRectangleToolIcon();
QIcon LineToolIcon();
QIcon ClipArtToolIcon();
QIcon SuperShapeToolIcon();
QIcon RichTextToolIcon();
QIcon SuperTextToolIcon();
QIcon BarcodeToolIcon();
QIcon GridIcon();
QIcon SnapIcon();
