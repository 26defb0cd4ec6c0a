#pragma once

class TGBusinessCardPanel32;

// A card holding one of every kind that prints, in the looks that test the
// printed drawing: text labels with shadow and highlight copies in colours,
// a background and a border, every alignment, text that overflows its box,
// labels turned a quarter and reaching past the card's right and bottom
// edges, several lines, a symbol, rich text, shapes, a line, a picture, a
// super shape and super text. The panel owns them all.
void BuildMixedCard(TGBusinessCardPanel32 &panel);
