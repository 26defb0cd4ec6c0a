#pragma once

#include "objects/Gpbasel.h"

// One character of a symbol font ("WingDings" by default) as a label. Its
// size always follows the glyph: 1.1 times the character's width and height
// at the current zoom.
class TGSymbolLabel : public TGBaseLabel
{
    Q_OBJECT

public:
    using Inherited = TGBaseLabel;

    explicit TGSymbolLabel(QObject *owner = nullptr);

    // A symbol keeps its own font when the surface applies one to objects.
    void AssignFont(const QFont &font, std::optional<TColor> color = std::nullopt) override;
    void BoundsChanged() override;
    void UpdateLayout() override;

    // The size the glyph asks for at the current zoom.
    QSize GlyphSize() const;
    // ... and at the given zoom.
    QSize GlyphSizeAt(double scale) const;
    // Opens the Symbol Selector on this label; true when the user chose OK.
    bool SymbolSelector();

protected:
    void BuildObjectMenu() override;
    std::optional<QSize> ContentSizeAtFullSize() const override { return GlyphSizeAt(1.0); }

private:
    void FitToGlyph();
    bool m_fitting = false;
};
