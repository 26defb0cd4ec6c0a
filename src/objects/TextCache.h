#pragma once

#include "document/Groups.h"
#include "graphics/SymbolFonts.h"

#include <QStringList>

// What the text a text object draws follows: the font's stored attributes
// (its colour aside), the zoom and the text. Objects keep what they derived
// from the text (fonts, measurements, shaping) while this stays the same.
struct TTextKey
{
    QString name;
    int height = 0;
    int pitch = 0;
    uint32_t style = 0;
    float zoom = 0;
    QString text;
    QStringList lines;
    // Fonts added since (a symbol font among them) may draw the text otherwise.
    int fontGeneration = SymbolFontGeneration();

    static TTextKey Of(const TGFont &font, float zoom, const QString &text)
    {
        return {font.Name(), font.Height(), int(font.Pitch()), font.Style(), zoom, text, {}};
    }
    static TTextKey Of(const TGFont &font, float zoom, const QStringList &lines)
    {
        return {font.Name(), font.Height(), int(font.Pitch()), font.Style(), zoom, {}, lines};
    }
    bool operator==(const TTextKey &) const = default;
};
