#include "objects/Gpslabel.h"

#include "graphics/SymbolFonts.h"

#include "objects/Ggetsym.h"
#include "surface/DesignSurface.h"

#include <QFontMetrics>
#include <QMenu>
#include <cmath>

TGSymbolLabel::TGSymbolLabel(QObject *owner)
    : TGBaseLabel(owner)
{
    Font()->SetName(QStringLiteral("WingDings"));
    Font()->SetSize(24);
    Font()->SetColor(0);
    SetCaption(QStringLiteral("["));
}

void TGSymbolLabel::AssignFont(const QFont &, std::optional<TColor>) {}

QSize TGSymbolLabel::GlyphSize() const
{
    return GlyphSizeAt(double(ZoomScale()));
}

QSize TGSymbolLabel::GlyphSizeAt(double scale) const
{
    // An empty caption (only a file holds one) is sized as the space, so the
    // object never shrinks to a sliver that can neither be seen nor grabbed.
    const QFont font = LabelFont().ToQFont(scale);
    const TDrawnText drawn = SymbolDrawnText(
        font, ShownCaption().isEmpty() ? QStringLiteral(" ") : ShownCaption());
    const QFontMetrics fm(drawn.font);
    const int w = std::max(1, static_cast<int>(std::trunc(1.1 * fm.horizontalAdvance(drawn.text))));
    const int h = std::max(1, static_cast<int>(std::trunc(1.1 * fm.height())));
    return {w, h};
}

void TGSymbolLabel::FitToGlyph()
{
    if (m_fitting || IsLoading())
        return;
    m_fitting = true;
    const QSize size = GlyphSize();
    SizeForLayout([&] {
        if (Width() != size.width())
            SetWidth(size.width());
        if (Height() != size.height())
            SetHeight(size.height());
    });
    m_fitting = false;
}

void TGSymbolLabel::BoundsChanged()
{
    Inherited::BoundsChanged();
    if (m_fitting || IsLoading())
        return;
    FitToGlyph();
    if (Parent())
        Parent()->PostSelectionRefresh();
}

void TGSymbolLabel::UpdateLayout()
{
    // The text layout may grow the object to its line height; the glyph has
    // the last word, and only where the two end up counts.
    SizeForLayout([this] {
        Inherited::UpdateLayout();
        FitToGlyph();
    });
}

bool TGSymbolLabel::SymbolSelector()
{
    TGetSymbol dialog(DialogParent());
    dialog.SetHeldFont(LabelFont());
    dialog.SetGridFont(LabelFont());
    const QString caption = Caption();
    const int code = caption.isEmpty() ? -1 : int(SymbolCodeOf(caption.at(0)));
    dialog.SetSelectedIndex(code - TGetSymbol::FirstCode);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    Font()->Assign(dialog.HeldFont());
    const int index = dialog.SelectedIndex();
    if (index >= 0)
        SetCaption(QString(SymbolCodeChar(uint(index + TGetSymbol::FirstCode))));
    BoundsChanged();
    Repaint();
    return true;
}

void TGSymbolLabel::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    // No font, alignment or turning: the symbol is chosen in its own dialog.
    QMenu *menu = ObjectMenu();
    for (QAction *item : menu->actions()) {
        const QString caption = item->text();
        if (caption == tr("Font") || caption == tr("Alignment") || caption == tr("Angle"))
            menu->removeAction(item);
    }
    AddMenuSeparator();
    AddMenuItem(tr("Symbol Selector"), [this] { SymbolSelector(); });
}
