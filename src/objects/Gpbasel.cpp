#include "objects/Gpbasel.h"

#include "document/Desktop.h"
#include "graphics/SymbolFonts.h"
#include "objects/Gf3d.h"
#include "report/RPBase.h"
#include "surface/ScreenInfo.h"

#include <QAction>
#include <QColorDialog>
#include <QFontDialog>
#include <QFontMetrics>
#include <QMenu>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>

TGBaseLabel::TGBaseLabel(QObject *owner)
    : TGGraphicControl(owner)
{
    SetCreationBounds(142, 33);
    m_font.SetName(QStringLiteral("Arial"));
    m_font.SetSize(10);
    m_font.SetColor(0);
    m_font.OnChange = [this] { FontChanged(); };
    // The label sets its own font, so the font is always stored.
    m_parentFont = false;
}

TPropertyTable TGBaseLabel::LabelProperties()
{
    using T = TGBaseLabel;
    using namespace props;
    TPropertyTable table = BaseProperties();
    const TPropertyTable own = {
        Enum<T, TAlignment>(QStringLiteral("Alignment"),
                            {QStringLiteral("taLeftJustify"), QStringLiteral("taRightJustify"),
                             QStringLiteral("taCenter")},
                            &T::Alignment, &T::SetAlignment, taLeftJustify),
        Integer<T>(QStringLiteral("DepthHighlight"), &T::DepthHighlight, &T::SetDepthHighlight, 0),
        Integer<T>(QStringLiteral("DepthShadow"), &T::DepthShadow, &T::SetDepthShadow, 0),
        Enum<T, THighlightDirection>(QStringLiteral("DirectionHighlight"),
                                     {QStringLiteral("hdNone"), QStringLiteral("hdright"),
                                      QStringLiteral("hdLeft"), QStringLiteral("hdUpRight"),
                                      QStringLiteral("hdUpLeft"), QStringLiteral("hdUp")},
                                     &T::DirectionHighlight, &T::SetDirectionHighlight, hdUpLeft),
        Enum<T, TShadowDirection>(QStringLiteral("DirectionShadow"),
                                  {QStringLiteral("sdNone"), QStringLiteral("sdRight"),
                                   QStringLiteral("sdLeft"), QStringLiteral("sdDownRight"),
                                   QStringLiteral("sdDownLeft"), QStringLiteral("sdDown")},
                                  &T::DirectionShadow, &T::SetDirectionShadow, sdDownRight),
        Color<T>(QStringLiteral("colorHighlight"), &T::ColorHighlight, &T::SetColorHighlight,
                 16776960),
        Color<T>(QStringLiteral("colorShadow"), &T::ShadowColor, &T::SetShadowColor, 8421504),
        Integer<T>(QStringLiteral("Angle"), &T::Angle, &T::SetAngle, 0),
        String<T>(QStringLiteral("Caption"), &T::Caption, &T::SetCaption),
        StoredWhen(Object<T>(QStringLiteral("Font"), &T::Font),
                   [](const TPersistent &p) { return !As<T>(p).ParentFont(); }),
        Boolean<T>(QStringLiteral("Transparent"), &T::Transparent, &T::SetTransparent),
        Color<T>(QStringLiteral("BackColor"), &T::BackColor, &T::SetBackColor),
        Enum<T, TBorderStyle>(QStringLiteral("BorderStyle"), BorderStyleIdentifiers(),
                              &T::BorderStyle, &T::SetBorderStyle),
    };
    table.insert(table.end(), own.begin(), own.end());
    return table;
}

const TPropertyTable &TGBaseLabel::PropertyTable() const
{
    static const TPropertyTable table = LabelProperties();
    return table;
}

void TGBaseLabel::LookChanged()
{
    if (!IsLoading())
        Repaint();
}

void TGBaseLabel::FontChanged()
{
    m_parentFont = false;
    m_layoutNeeded = true;
    if (IsLoading())
        return;
    ReportChange();
    Repaint();
}

void TGBaseLabel::SetAlignment(TAlignment value)
{
    if (value >= taLeftJustify && value <= taCenter)
        StoreDesignValue(m_alignment, value, [this] { m_layoutNeeded = true; });
}

namespace {

// Depths far beyond anything the dialog offers (0 to 10) come only from damaged
// files; they are kept as stored but drawn at most this far, so no sum overflows.
int DrawnDepth(int depth)
{
    constexpr int MaxDrawnDepth = 1000;
    return std::clamp(depth, -MaxDrawnDepth, MaxDrawnDepth);
}

} // namespace

void TGBaseLabel::UpdateShadowOffset()
{
    const int d = DrawnDepth(m_depthShadow);
    switch (m_directionShadow) {
    case sdNone:
        m_shadowOffset = QPoint(0, 0);
        break;
    case sdRight:
        m_shadowOffset = QPoint(d, 0);
        break;
    case sdLeft:
        m_shadowOffset = QPoint(-d, 0);
        break;
    case sdDownRight:
        m_shadowOffset = QPoint(d, d);
        break;
    case sdDownLeft:
        m_shadowOffset = QPoint(-d, d);
        break;
    case sdDown:
        m_shadowOffset = QPoint(0, d);
        break;
    }
}

void TGBaseLabel::UpdateHighlightOffset()
{
    const int d = DrawnDepth(m_depthHighlight);
    switch (m_directionHighlight) {
    case hdNone:
        m_highlightOffset = QPoint(0, 0);
        break;
    case hdright:
        m_highlightOffset = QPoint(d, 0);
        break;
    case hdLeft:
        m_highlightOffset = QPoint(-d, 0);
        break;
    case hdUpRight:
        m_highlightOffset = QPoint(d, -d);
        break;
    case hdUpLeft:
        m_highlightOffset = QPoint(-d, -d);
        break;
    case hdUp:
        m_highlightOffset = QPoint(0, -d);
        break;
    }
}

// Depth and direction change the look, not the design's content: no report.
void TGBaseLabel::SetDepthHighlight(int value)
{
    if (value == m_depthHighlight)
        return;
    m_depthHighlight = value;
    UpdateHighlightOffset();
    m_layoutNeeded = true;
    LookChanged();
}

void TGBaseLabel::SetDepthShadow(int value)
{
    if (value == m_depthShadow)
        return;
    m_depthShadow = value;
    UpdateShadowOffset();
    m_layoutNeeded = true;
    LookChanged();
}

void TGBaseLabel::SetDirectionHighlight(THighlightDirection value)
{
    if (value < hdNone || value > hdUp || value == m_directionHighlight)
        return;
    m_directionHighlight = value;
    UpdateHighlightOffset();
    m_layoutNeeded = true;
    LookChanged();
}

void TGBaseLabel::SetDirectionShadow(TShadowDirection value)
{
    if (value < sdNone || value > sdDown || value == m_directionShadow)
        return;
    m_directionShadow = value;
    UpdateShadowOffset();
    m_layoutNeeded = true;
    LookChanged();
}

void TGBaseLabel::SetColorHighlight(TColor value)
{
    if (value == m_colorHighlight)
        return;
    m_colorHighlight = value;
    LookChanged();
}

void TGBaseLabel::SetShadowColor(TColor value)
{
    if (value == m_shadowColor)
        return;
    m_shadowColor = value;
    LookChanged();
}

void TGBaseLabel::SetAngle(int value)
{
    if (value != 0 && value != 90 && value != 180 && value != 270)
        return;
    if (value == m_angle)
        return;
    m_angle = value;
    m_layoutNeeded = true;
    if (IsLoading())
        return;
    if (value != 0)
        m_alignment = taLeftJustify;
    const bool upright = value == 0 || value == 180;
    if ((upright && Height() > Width()) || (!upright && Width() > Height()))
        SetBounds(Left(), Top(), Height(), Width());
    Repaint();
}

void TGBaseLabel::SetBorderStyle(TBorderStyle value)
{
    if (value >= bsNone && value <= bsSingle)
        StoreDesignValue(m_borderStyle, value);
}

void TGBaseLabel::BoundsChanged()
{
    TGGraphicControl::BoundsChanged();
    m_layoutNeeded = true;
    if (Width() <= 0 || Height() <= 0)
        SetBounds(Left(), Top(), std::max(1, Width()), std::max(1, Height()));
}

void TGBaseLabel::TakeFont(const QFont &font, std::optional<TColor> color)
{
    // One change of the font, however many of its attributes differ.
    TGFont taken;
    taken.Assign(m_font);
    taken.Assign(font);
    if (color)
        taken.SetColor(*color);
    m_font.Assign(taken);
    m_layoutNeeded = true;
}

void TGBaseLabel::AssignFont(const QFont &font, std::optional<TColor> color)
{
    TakeFont(font, color);
}

void TGBaseLabel::Loaded()
{
    TGGraphicControl::Loaded();
    UpdateShadowOffset();
    UpdateHighlightOffset();
    m_layoutNeeded = true;
    // A file may hold what the setters never let through: no side is 0 or
    // less, and a turned label (its angle was set, as the setter would when
    // reading it) is left-aligned and stands on the side the angle gives it.
    int width = std::max(1, Width());
    int height = std::max(1, Height());
    if (m_angle != 0) {
        m_alignment = taLeftJustify;
        const bool upright = m_angle == 180;
        if ((upright && height > width) || (!upright && width > height))
            std::swap(width, height);
    }
    if (width != Width() || height != Height())
        SetBounds(Left(), Top(), width, height);
}

QFont TGBaseLabel::CanvasFont() const
{
    // ToQFont truncates the scaled point size when the zoom is not exactly 1.
    return m_font.ToQFont(static_cast<double>(ZoomScale()));
}

namespace {

// Character height plus internal and external leading, as the text metrics of
// the drawing canvas give them.
int LineHeightOf(const QFont &font, const QFontMetrics &fm)
{
    const int internalLeading = std::max(0, fm.height() - font.pixelSize());
    return fm.height() + internalLeading + std::max(0, fm.leading());
}

TRect Moved(const TRect &r, int dx, int dy)
{
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

// An offset given for upright text, turned with the text.
QPoint Turned(const QPoint &offset, int angle)
{
    switch (angle) {
    case 90:
        return QPoint(offset.y(), -offset.x());
    case 180:
        return QPoint(-offset.x(), -offset.y());
    case 270:
        return QPoint(-offset.y(), offset.x());
    default:
        return offset;
    }
}

// The corner of a copy's rectangle where the turned text starts.
QPoint StartCorner(const TRect &r, int angle)
{
    switch (angle) {
    case 90:
        return QPoint(r.Left, r.Bottom);
    case 180:
        return QPoint(r.Right, r.Bottom);
    case 270:
        return QPoint(r.Right, r.Top);
    default:
        return QPoint(r.Left, r.Top);
    }
}

} // namespace

QString TGBaseLabel::ShownCaption() const
{
    // More characters than any card can show (a 100-inch card at 150 % is
    // 14,400 pixels across) are neither measured nor drawn; the caption
    // itself is kept whole.
    constexpr qsizetype MaxShownCharacters = 16384;
    return m_caption.size() > MaxShownCharacters ? m_caption.left(MaxShownCharacters) : m_caption;
}

TDrawnText TGBaseLabel::DrawnCaption() const
{
    return SymbolDrawnText(CanvasFont(), ShownCaption());
}

const TGBaseLabel::TCaptionDrawing &TGBaseLabel::CaptionDrawing() const
{
    TTextKey key = TTextKey::Of(m_font, ZoomScale(), ShownCaption());
    if (!m_captionDrawing || !(m_captionDrawing->key == key)) {
        TCaptionDrawing drawing;
        drawing.key = std::move(key);
        drawing.drawn = DrawnCaption();
        const QFontMetrics fm(drawing.drawn.font);
        drawing.ascent = fm.ascent();
        drawing.lineHeight = LineHeightOf(drawing.drawn.font, fm);
        drawing.spacedWidth = fm.horizontalAdvance(drawing.drawn.text + QLatin1Char(' '));
        drawing.shaped = TShapedText(drawing.drawn.font, drawing.drawn.text);
        m_captionDrawing = std::move(drawing);
    }
    return *m_captionDrawing;
}

void TGBaseLabel::LayoutLabel()
{
    const TCaptionDrawing &caption = CaptionDrawing();
    // Sizes below one pixel (an empty font, depths of a damaged file) would
    // be raised by the bounds check and ask for this pass again, for ever.
    const int lineHeight = std::max(1, caption.lineHeight);
    const int textWidth = std::max(1, caption.spacedWidth);
    const int sx = m_shadowOffset.x();
    const int sy = m_shadowOffset.y();
    const int hx = m_highlightOffset.x();
    const int hy = m_highlightOffset.y();
    const int ix = std::max({0, -sx, -hx});
    const int iy = std::max({0, -sy, -hy});
    m_textInset = QPoint(ix, iy);
    const int needed = std::max(1, lineHeight + sy - hy);

    // Each correction works on the size the one before left.
    SizeForLayout([&] {
        if (m_angle == 0 || m_angle == 180) {
            if (m_angle == 180 && 2 * textWidth < Width())
                SetWidth(2 * textWidth);
            if (Width() <= 5)
                SetWidth(textWidth);
            if (1.2 * needed < Height())
                SetHeight(static_cast<int>(std::trunc(1.2 * needed)));
            if (Height() < needed)
                SetHeight(needed);
        } else {
            if (1.2 * textWidth < Height())
                SetHeight(static_cast<int>(std::trunc(1.2 * textWidth)));
            if (Height() < 5)
                SetHeight(textWidth);
            if (1.2 * needed < Width())
                SetWidth(static_cast<int>(std::trunc(1.2 * needed)));
            if (Width() < needed)
                SetWidth(needed);
        }
    });

    TRect text;
    if (m_angle == 0 || m_angle == 180)
        text = {ix, iy, Width(), lineHeight + iy};
    else
        text = {iy, ix, iy + lineHeight, Height() - iy};
    if (m_angle == 90)
        text = Moved(text, 0, Height() - (text.Bottom - text.Top + 1) + hx);
    else if (m_angle == 180)
        text = Moved(text, Width() - (text.Right - text.Left + 1) - sy, 0);
    m_textRect = text;
    const QPoint shadowMove = Turned(m_shadowOffset, m_angle);
    const QPoint highlightMove = Turned(m_highlightOffset, m_angle);
    m_shadowRect = Moved(text, shadowMove.x(), shadowMove.y());
    m_highlightRect = Moved(text, highlightMove.x(), highlightMove.y());
    m_textOrigin = StartCorner(m_textRect, m_angle);
    m_shadowOrigin = StartCorner(m_shadowRect, m_angle);
    m_highlightOrigin = StartCorner(m_highlightRect, m_angle);

    if (m_angle == 0) {
        int x = m_textRect.Left;
        if (m_alignment == taRightJustify)
            x = m_textRect.Right - textWidth;
        else if (m_alignment == taCenter)
            x = (m_textRect.Right - m_textRect.Left) / 2 - textWidth / 2;
        m_textOrigin.setX(x);
        m_highlightOrigin.setX(x + hx);
        m_shadowOrigin.setX(x + sx);
    }
    // The size corrections above went through BoundsChanged; one pass is enough.
    m_layoutNeeded = false;
    m_printText.reset();
}

QVarLengthArray<TGBaseLabel::TTextCopy, 3> TGBaseLabel::TextCopies() const
{
    QVarLengthArray<TTextCopy, 3> copies;
    // A copy without offset lies exactly under the main text; drawn with
    // antialiasing it would only tint the letters' edges, so it is left out.
    if (!m_shadowOffset.isNull())
        copies.append({m_shadowRect, m_shadowOrigin, m_shadowColor});
    if (!m_highlightOffset.isNull())
        copies.append({m_highlightRect, m_highlightOrigin, m_colorHighlight});
    copies.append({m_textRect, m_textOrigin, m_font.Color()});
    return copies;
}

void TGBaseLabel::DrawLabel(QPainter &painter)
{
    if (m_layoutNeeded)
        LayoutLabel();
    painter.save();
    if (!m_transparent)
        painter.fillRect(QRect(0, 0, Width(), Height()), ColorFromTColor(m_backColor));

    const TCaptionDrawing &caption = CaptionDrawing();
    const int ascent = caption.ascent;
    painter.setFont(caption.drawn.font);
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
    for (const TTextCopy &copy : TextCopies()) {
        painter.save();
        painter.setClipRect(copy.clip.ToQRect(), Qt::IntersectClip);
        painter.translate(copy.origin);
        // Angles turn counter-clockwise; the origin is the top-left of the text cell.
        if (m_angle != 0)
            painter.rotate(-m_angle);
        painter.setPen(ColorFromTColor(copy.color));
        caption.shaped.Draw(painter, QPointF(0, ascent));
        painter.restore();
    }

    if (m_borderStyle == bsSingle)
        FillBorder(painter);
    painter.restore();
}

void TGBaseLabel::FillBorder(QPainter &painter) const
{
    // A one-pixel black frame on the outermost rows and columns, filled
    // rather than stroked so it stays on those pixels when it is stretched
    // onto a printer.
    const int w = Width();
    const int h = Height();
    painter.fillRect(QRect(0, 0, w, 1), Qt::black);
    painter.fillRect(QRect(0, h - 1, w, 1), Qt::black);
    painter.fillRect(QRect(0, 0, 1, h), Qt::black);
    painter.fillRect(QRect(w - 1, 0, 1, h), Qt::black);
}

void TGBaseLabel::UpdateLayout()
{
    // A side under 5 pixels (a damaged file, a drag to nothing) gets its
    // usable size back from the text.
    if (Width() < 5 || Height() < 5)
        m_layoutNeeded = true;
    if (m_layoutNeeded)
        LayoutLabel();
}

void TGBaseLabel::Paint(QPainter &painter)
{
    UpdateLayout();
    DrawLabel(painter);
}

void TGBaseLabel::FitToText()
{
    if (m_angle != 0)
        return;
    const int l = std::max({m_textRect.Left, m_shadowRect.Left, m_highlightRect.Left});
    const int t = std::max({m_textRect.Top, m_shadowRect.Top, m_highlightRect.Top});
    const TDrawnText drawn = DrawnCaption();
    const QFontMetrics fm(drawn.font);
    const int w = l + fm.horizontalAdvance(drawn.text + QStringLiteral("     "));
    const int h = t + fm.height();
    if (Width() < w)
        SetWidth(w);
    if (Height() < h)
        SetHeight(h);
    m_layoutNeeded = true;
    Repaint();
}

bool TGBaseLabel::ChooseFont()
{
    TColor color = m_font.Color();
    const std::optional<QFont> chosen =
        ::ChooseFont(m_font.ToQFont(), DialogParent(), tr("Font"), &color);
    if (!chosen)
        return false;
    TakeFont(*chosen, color);
    return true;
}

void TGBaseLabel::Show3DEffects()
{
    TGFont3DEffects dialog(this, DialogParent());
    if (dialog.exec() == QDialog::Accepted)
        ReportChange();
}

void TGBaseLabel::ChooseBackColor()
{
    const QColor chosen =
        QColorDialog::getColor(ColorFromTColor(m_backColor), DialogParent(), tr("Color"));
    if (!chosen.isValid())
        return;
    SetBackColor(TColorFromColor(chosen));
    SetTransparent(false);
    if (m_transparentItem)
        m_transparentItem->setChecked(m_transparent);
    Repaint();
}

void TGBaseLabel::ToggleTransparent()
{
    SetTransparent(!m_transparent);
    if (m_transparentItem)
        m_transparentItem->setChecked(m_transparent);
}

void TGBaseLabel::ToggleBorder()
{
    SetBorderStyle(m_borderStyle == bsSingle ? bsNone : bsSingle);
}

void TGBaseLabel::AlignFromMenu(TAlignment value)
{
    SetAlignment(value);
    ReportChange();
}

void TGBaseLabel::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    AddMenuSeparator();
    AddMenuItem(tr("Font"), [this] { ChooseFont(); });
    AddMenuItem(tr("3D Effects"), [this] { Show3DEffects(); });
    m_alignmentItems = AddChoiceMenu(
        tr("Alignment"),
        {{tr("Left"), taLeftJustify}, {tr("Center"), taCenter}, {tr("Right"), taRightJustify}},
        [this](int value) { AlignFromMenu(TAlignment(value)); });
    m_transparentItem = AddMenuItem(tr("Transparent"), [this] { ToggleTransparent(); });
    m_transparentItem->setCheckable(true);
    m_transparentItem->setChecked(m_transparent);
    AddMenuItem(tr("Background Color"), [this] { ChooseBackColor(); });
    m_borderItem = AddMenuItem(tr("Border"), [this] { ToggleBorder(); });
    m_borderItem->setCheckable(true);
    m_borderItem->setChecked(m_borderStyle == bsSingle);
}

void TGBaseLabel::RefreshMenu()
{
    Inherited::RefreshMenu();
    if (!m_borderItem)
        return;
    m_borderItem->setChecked(m_borderStyle == bsSingle);
    TickChoices(m_alignmentItems, m_alignment);
    // The tick also follows a change made outside the menu (a file, the dialogs).
    m_transparentItem->setChecked(m_transparent);
}

void TGBaseLabel::DropPrintPreparation()
{
    Inherited::DropPrintPreparation();
    m_printText.reset();
}

const TGBaseLabel::TPrintText &TGBaseLabel::PrintText()
{
    if (m_printText)
        return *m_printText;
    TPrintText text;
    const TCaptionDrawing &caption = CaptionDrawing(); // laid out at the zoom the card prints at
    text.drawn = caption.drawn;
    text.shaped = caption.shaped; // the page shaping is kept with the job, not the caption
    // The picture DrawLabel records places its text by its exact ascent.
    const QFontMetricsF fm(text.drawn.font);
    text.ascent = fm.ascent();
    text.ink = fm.tightBoundingRect(text.drawn.text).translated(0, text.ascent);
    m_printText = std::move(text);
    return *m_printText;
}

namespace {

// The ink a clip must hold to change nothing. A PDF page clips the glyph
// outlines themselves, so ink inside the area prints the same without a clip;
// a device that rasterises keeps a pixel to spare for antialiased edges.
QRectF SparedInk(const QRectF &ink, const QPainter &painter)
{
    const QPaintEngine *engine = painter.paintEngine();
    if (engine && engine->type() == QPaintEngine::Pdf)
        return ink;
    return ink.adjusted(-1, -1, 1, 1);
}

} // namespace

void TGBaseLabel::PrintTo(TBaseReport *report, double x, double y)
{
    // The same drawing as DrawLabel, placed as a recorded picture of it would
    // be, but drawn straight onto the page: each piece clipped only where it
    // would reach past its copy's box, the label or the card.
    if (!report)
        return;
    UpdateLayout(); // sets the size the drawing is cut to
    if (Width() <= 0 || Height() <= 0)
        return;
    const TPrintText &text = PrintText();
    if (text.drawn.font.underline() || text.drawn.font.strikeOut()) {
        // A played picture puts these lines a fraction of a pixel off the
        // letters' baseline; drawn straight they would move on paper.
        PrintRecordedPicture(report, x, y, [this](QPainter &painter) { DrawLabel(painter); });
        return;
    }
    const QSizeF size(Width(), Height());
    QPainter *painter = report->BeginPlaced(PrintRect(*report, x, y), size);
    if (painter) {
        const QRectF frame(QPointF(0, 0), size);
        // A piece gets a clip of its own only where its ink would reach
        // past the area it is cut to or the card.
        const auto clipTo = [&](const QRectF &area, const QRectF &ink) {
            if (area.contains(ink))
                report->UnclipPlaced(ink);
            else
                report->ClipPlaced(area);
        };
        if (!m_transparent) {
            clipTo(frame, frame);
            painter->fillRect(QRect(0, 0, Width(), Height()), ColorFromTColor(m_backColor));
        }
        // Labels one after another mostly share font and colour: what the
        // painter has already is not set again, so the device writes nothing for it.
        if (painter->font() != text.drawn.font)
            painter->setFont(text.drawn.font);
        if (painter->brush().style() != Qt::NoBrush)
            painter->setBrush(Qt::NoBrush);
        const QRectF ink = SparedInk(text.ink, *painter);
        // Each copy from its own origin, as DrawLabel draws it.
        for (const TTextCopy &copy : TextCopies()) {
            const QRectF area =
                QRectF(copy.clip.ToQRect()).intersected(frame).translated(-copy.origin);
            if (area.isEmpty())
                continue;
            report->MovePlaced(copy.origin);
            const QPen pen(ColorFromTColor(copy.color));
            if (painter->pen() != pen)
                painter->setPen(pen);
            if (m_angle == 0) {
                if (area.contains(ink))
                    report->UnclipPlaced(ink);
                else
                    report->ClipPlaced(area);
                text.shaped.Draw(*painter, QPointF(0, text.ascent));
            } else {
                report->ClipPlaced(area);
                const QTransform placed = painter->worldTransform();
                painter->rotate(-m_angle);
                text.shaped.Draw(*painter, QPointF(0, text.ascent));
                painter->setWorldTransform(placed);
            }
        }
        if (m_borderStyle == bsSingle) {
            report->MovePlaced(QPointF(0, 0));
            clipTo(frame, frame);
            FillBorder(*painter);
        }
        report->EndPlaced();
    }
    if (!InPrintJob())
        m_printText.reset();
}
