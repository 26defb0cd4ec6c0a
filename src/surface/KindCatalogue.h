#pragma once

#include <QIcon>
#include <QList>
#include <QString>

class TGBusinessCardPanel32;
class TGGraphicControl;

// The tools of the card surface. The selection tool and the tools of the
// kinds the program was born with keep their names; a kind added later takes
// the next number from its catalogue row.
enum TLPanelState {
    psPointing,
    psLabel,
    psSymbolLabel,
    psMultiLineLabel,
    psRectangle,
    psEllipse,
    psRoundRectangle,
    psLine,
    psImage,
    psSuperShape,
    psRichLabel,
    psSuperText
};

// One row of the catalogue of card object kinds: what the design file calls
// it, the tool that places it (with its button), the values a new one starts
// with and the dialog it opens once placed.
struct TCardKind
{
    // The class the design file stores; null for the selection tool.
    const char *ClassName = nullptr;
    // The tool that places it; psPointing for a kind no tool places.
    TLPanelState Tool = psPointing;
    // The tool button's object name and hint (its first line names the
    // tool); null when there is no button.
    const char *ButtonName = nullptr;
    const char *Hint = nullptr;
    QIcon (*Icon)() = nullptr;
    // Enters the class (and its bases) in the object kind registry, in the
    // order of RegistryRank (the reader's own order, not the tool bar's).
    void (*Register)() = nullptr;
    int RegistryRank = 0;
    // Gives a new object its creation values before it is placed.
    void (*Prepare)(TGGraphicControl &object, TGBusinessCardPanel32 &surface) = nullptr;
    // The tool returns to the pointer as the object is placed, for a kind
    // whose dialog opens at once and may take a while.
    bool PointerWhileEditing = false;
    // Runs once the object is placed: its dialog, and the fit that follows
    // it whatever the user chose.
    void (*EditPlaced)(TGGraphicControl &object) = nullptr;

    // The tool's name: the first line of the hint.
    QString ToolName() const;
};

// The catalogue the program installs: the rows in tool bar order.
namespace KindCatalogue {
void Install(const QList<TCardKind> &kinds);
const QList<TCardKind> &Kinds();
// The row of a tool; null for none.
const TCardKind *ForTool(TLPanelState tool);
} // namespace KindCatalogue
