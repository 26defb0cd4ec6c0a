#include "effects/gsstext.h"

#include "document/Desktop.h"
#include "document/MergeData.h"
#include "effects/Gsshape.h"
#include "graphics/SymbolFonts.h"
#include "report/RPBase.h"
#include "surface/ScreenInfo.h"

#include <QAction>
#include <QColorDialog>
#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QScopeGuard>
#include <cmath>

const QStringList &TGSuperText::SurfaceTypeIdentifiers()
{
    static const QStringList names{
        QStringLiteral("stNormal"),
        QStringLiteral("stBrushTransparent"),
        QStringLiteral("stBrushImage"),
        QStringLiteral("stGradientFill"),
    };
    return names;
}

const QStringList &TGSuperText::ShadowOrientationIdentifiers()
{
    static const QStringList names{
        QStringLiteral("sdNone"),      QStringLiteral("sdRight"),    QStringLiteral("sdLeft"),
        QStringLiteral("sdDownRight"), QStringLiteral("sdDownLeft"), QStringLiteral("sdDown"),
    };
    return names;
}

TGSuperText::TGSuperText(QObject *owner)
    : TGGraphicControl(owner)
    , m_font(QStringLiteral("Arial"), 48, fsBold, [this] { FontChanged(); })
    , m_fill([this] { return m_surfaceType == stGradientFill; }, 0xFF0000, 0x00FFFF, gdRight)
{
    SetCreationBounds(142, 33);
    m_fill.OnChange = [this] { DesignChanged(); };
    m_fill.OnFileChange = [this] {
        if (!IsLoading())
            ReportChange();
    };
}

void TGSuperText::FontChanged()
{
    m_layoutNeeded = true;
    DesignChanged();
}

void TGSuperText::UpdateShadowOffset()
{
    // Unit steps of each direction, scaled by the depth.
    static constexpr int steps[][2] = {{0, 0}, {1, 0}, {-1, 0}, {1, 1}, {-1, 1}, {0, 1}};
    const auto &step = steps[m_shadowOrientation];
    // A depth read from a damaged design is held within the coordinate range.
    const int depth = std::clamp(m_shadowDepth, -MaxCoordinate, MaxCoordinate);
    m_shadowDx = step[0] * depth;
    m_shadowDy = step[1] * depth;
    m_layoutNeeded = true;
}

void TGSuperText::SetShadowDepth(int depth)
{
    StoreDesignValue(m_shadowDepth, depth, [this] { UpdateShadowOffset(); });
}

void TGSuperText::SetShadowOrientation(TShadowOrientation orientation)
{
    // A value outside the enumeration could not be written back; it is ignored.
    if (orientation >= sdNone && orientation <= sdDown)
        StoreDesignValue(m_shadowOrientation, orientation, [this] { UpdateShadowOffset(); });
}

void TGSuperText::SetBorderStyle(TBorderStyle style)
{
    // A border keeps the height from shrinking to the text.
    if (style == bsNone || style == bsSingle)
        StoreDesignValue(m_borderStyle, style, [this] { m_layoutNeeded = true; });
}

void TGSuperText::SetControlTransparent(bool value)
{
    StoreDesignValue(m_controlTransparent, value, [this] { m_layoutNeeded = true; });
}

void TGSuperText::SetCaption(const QString &caption)
{
    StoreDesignValue(m_caption, caption, [this] { m_layoutNeeded = true; });
}

void TGSuperText::FillMergeFields(const TMergeValues &values)
{
    SetCaption(ExpandMergeFieldsOnOneLine(m_caption, values));
}

void TGSuperText::AssignFont(const QFont &font, std::optional<TColor> color)
{
    Inherited::AssignFont(font, color);
    m_font.Set(font, color);
}

void TGSuperText::SetOutlineStyle(TPenStyle style)
{
    if (style >= psSolid && style <= psInsideFrame)
        StoreDesignValue(m_outlineStyle, style);
}

void TGSuperText::SetSurfaceType(TSurfaceType type)
{
    if (type == m_surfaceType || type < stNormal || type > stGradientFill)
        return;
    m_surfaceType = type;
    if (IsLoading())
        return;
    m_fill.FollowSurfaceType(type == stBrushImage);
    // Transparent glyphs without an outline would vanish.
    if (type == stBrushTransparent && m_outlineStyle == psClear)
        m_outlineStyle = psSolid;
    DesignChanged();
}

void TGSuperText::CopyProperties(const TGSuperText &other)
{
    CopyStoredProperties(*this, other, DialogProperties());
    SetBounds(Left(), Top(), other.Width(), other.Height());
}

void TGSuperText::BoundsChanged()
{
    Inherited::BoundsChanged();
    if (!m_layoutInProgress)
        m_layoutNeeded = true;
    if (Width() <= 0 || Height() <= 0) {
        SetBounds(Left(), Top(), std::max(1, Width()), std::max(1, Height()));
        return;
    }
    m_fill.FitGradientTo(QSize(Width(), Height()));
}

void TGSuperText::Loaded()
{
    Inherited::Loaded();
    UpdateShadowOffset();
    m_fill.InvalidateGradient();
}

const TPropertyTable &TGSuperText::PropertyTable() const
{
    using T = TGSuperText;
    static const TPropertyTable table = [] {
        using namespace props;
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(
            Integer<T>(QStringLiteral("ShadowDepth"), &T::ShadowDepth, &T::SetShadowDepth, 0));
        t.push_back(Enum<T, TShadowOrientation>(
            QStringLiteral("ShadowOrientation"), ShadowOrientationIdentifiers(),
            &T::ShadowOrientation, &T::SetShadowOrientation, sdDownRight));
        t.push_back(
            Color<T>(QStringLiteral("Shadowcolor"), &T::ShadowColor, &T::SetShadowColor, 8421504));
        t.push_back(Enum<T, TBorderStyle>(QStringLiteral("BorderStyle"), BorderStyleIdentifiers(),
                                          &T::BorderStyle, &T::SetBorderStyle));
        t.push_back(Boolean<T>(QStringLiteral("ControlTransparent"), &T::ControlTransparent,
                               &T::SetControlTransparent));
        t.push_back(Color<T>(QStringLiteral("BGColor"), &T::BGColor, &T::SetBGColor));
        t.push_back(String<T>(QStringLiteral("Caption"), &T::Caption, &T::SetCaption));
        t.push_back(TObjectFont::Property<T>());
        t.push_back(Enum<T, TFillDirection>(QStringLiteral("FillDirection"),
                                            FillDirectionIdentifiers(), &T::FillDirection,
                                            &T::SetFillDirection));
        t.push_back(Color<T>(QStringLiteral("GradientToColor"), &T::GradientToColor,
                             &T::SetGradientToColor));
        t.push_back(Color<T>(QStringLiteral("GradientFromColor"), &T::GradientFromColor,
                             &T::SetGradientFromColor));
        t.push_back(Object<T>(QStringLiteral("Image"), &T::Image));
        t.push_back(
            Color<T>(QStringLiteral("OutlineColor"), &T::OutlineColor, &T::SetOutlineColor));
        t.push_back(Enum<T, TPenStyle>(QStringLiteral("OutlineStyle"),
                                       TSuperShape::PenStyleIdentifiers(), &T::OutlineStyle,
                                       &T::SetOutlineStyle));
        t.push_back(
            Integer<T>(QStringLiteral("OutlineWidth"), &T::OutlineWidth, &T::SetOutlineWidth));
        t.push_back(Enum<T, TSurfaceType>(QStringLiteral("SurfaceType"), SurfaceTypeIdentifiers(),
                                          &T::SurfaceType, &T::SetSurfaceType));
        t.push_back(String<T>(QStringLiteral("LastBitmapFileNameandPath"),
                              &T::LastBitmapFileNameandPath, &T::SetLastBitmapFileNameandPath));
        return t;
    }();
    return table;
}

// ---- layout -----------------------------------------------------------------

QFont TGSuperText::CanvasFont() const
{
    return m_font.Data().ToQFont(ZoomScale());
}

TDrawnText TGSuperText::DrawnOnCanvas(const QString &caption) const
{
    return SymbolDrawnText(CanvasFont(), caption);
}

int TGSuperText::CanvasAdvance(const QString &caption) const
{
    const TDrawnText drawn = DrawnOnCanvas(caption);
    return QFontMetrics(drawn.font).horizontalAdvance(drawn.text);
}

void TGSuperText::UpdateLayout()
{
    RunLayout();
}

void TGSuperText::RunLayout()
{
    if (!m_layoutNeeded || m_layoutInProgress)
        return;
    m_layoutInProgress = true;
    const auto done = qScopeGuard([this] {
        m_layoutInProgress = false;
        m_layoutNeeded = false;
    });
    const float z = ZoomScale();
    const int sdx = z == 1.0f ? m_shadowDx : SaturatedInt(std::trunc(m_shadowDx * z));
    const int sdy = z == 1.0f ? m_shadowDy : SaturatedInt(std::trunc(m_shadowDy * z));
    // Symbol-font captions are measured as the pictures they draw.
    const TDrawnText drawn = DrawnOnCanvas(m_caption + QLatin1Char(' '));
    const QFontMetrics metrics(drawn.font);
    const int th = metrics.height();
    const int tw = metrics.horizontalAdvance(drawn.text);
    const int mx = sdx < 0 ? -sdx : 0;
    const int my = sdy < 0 ? -sdy : 0;
    const int hgt = std::abs(sdy) + th;

    int width = Width();
    int height = Height();
    if (width <= 5)
        width = tw;
    // A borderless transparent text shrinks to its text; a framed or filled
    // one keeps the height the user gave it.
    if (hgt * 1.2 < height && m_controlTransparent && m_borderStyle == bsNone)
        height = SaturatedInt(std::trunc(hgt * 1.2));
    if (hgt > height)
        height = hgt;
    if (width != Width() || height != Height())
        SetBounds(Left(), Top(), width, height);

    m_textRect = {mx + 5, my, Width(), my + th};
    m_shadowRect = {m_textRect.Left + sdx, m_textRect.Top + sdy, m_textRect.Right + sdx,
                    m_textRect.Bottom + sdy};
}

int TGSuperText::CaptionInset() const
{
    return std::max(m_textRect.Left, m_shadowRect.Left);
}

QString TGSuperText::DrawnCaption() const
{
    const int room = Width() - CaptionInset();
    TTextKey key = TTextKey::Of(m_font.Data(), ZoomScale(), m_caption);
    if (m_cutCaption && m_cutCaption->room == room && m_cutCaption->key == key)
        return m_cutCaption->cut;
    m_cutCaption = TCutCaption{std::move(key), room, CutCaption(room)};
    return m_cutCaption->cut;
}

QString TGSuperText::CutCaption(int room) const
{
    if (CanvasAdvance(m_caption) <= room)
        return m_caption;
    // The longest beginning that fits; found by halving so that a long
    // pasted caption costs a few measurements, not one per character.
    qsizetype fits = 0;
    qsizetype tooLong = m_caption.size();
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (CanvasAdvance(m_caption.left(middle)) <= room)
            fits = middle;
        else
            tooLong = middle;
    }
    // Never half of a surrogate pair.
    if (fits > 0 && m_caption.at(fits - 1).isHighSurrogate())
        --fits;
    return m_caption.left(fits);
}

QPainterPath TGSuperText::CaptionPath(const QString &caption, const TRect &at) const
{
    TTextKey key = TTextKey::Of(m_font.Data(), ZoomScale(), caption);
    for (const std::optional<TCaptionOutline> &outline : m_captionOutlines) {
        if (outline && outline->at == at && outline->key == key)
            return outline->path;
    }
    const TDrawnText drawn = DrawnOnCanvas(caption);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addText(QPointF(at.Left, at.Top + QFontMetricsF(drawn.font).ascent()), drawn.font,
                 drawn.text);
    // Two places are kept: the text's and its shadow's.
    m_captionOutlines[m_nextOutline] = TCaptionOutline{std::move(key), at, path};
    m_nextOutline = (m_nextOutline + 1) % m_captionOutlines.size();
    return path;
}

bool TGSuperText::SizeToCaption()
{
    const TDrawnText drawn = SymbolDrawnText(m_font.Data().ToQFont(), m_caption);
    const QFontMetrics unscaled(drawn.font);
    const int a = unscaled.horizontalAdvance(drawn.text);
    const int b = unscaled.height();
    RunLayout();
    const int cl = std::max(m_textRect.Left, m_shadowRect.Left);
    const int ct = std::max(m_textRect.Top, m_shadowRect.Top);
    SetBounds(Left(), Top(), SaturatedInt(std::trunc(cl + a * 1.2)),
              SaturatedInt(std::trunc((b + ct) * 1.2)));
    if (Height() < b)
        SetHeight(SaturatedInt(std::trunc(b * 1.5)));
    if (Width() < a)
        SetWidth(SaturatedInt(std::trunc(a * 1.5)));
    return Height() >= b && Width() >= a;
}

void TGSuperText::FitToCaption()
{
    if (m_caption.isEmpty())
        return;
    m_layoutNeeded = true;
    RunLayout();
    // As the layout measures it: the caption followed by one space, from
    // where the text or its shadow starts.
    const qint64 width =
        qint64(CaptionInset()) + CanvasAdvance(m_caption + QLatin1Char(' '));
    if (Width() < width)
        SetWidth(int(std::min<qint64>(width, MaxCoordinate)));
    m_layoutNeeded = true;
    RunLayout();
    Repaint();
}

// ---- drawing ----------------------------------------------------------------

void TGSuperText::Paint(QPainter &painter)
{
    if (m_paintInProgress)
        return;
    m_paintInProgress = true;
    const auto done = qScopeGuard([this] { m_paintInProgress = false; });
    if (Width() < 5 || Height() < 5)
        m_layoutNeeded = true;
    RunLayout();
    const int w = Width();
    const int h = Height();
    if (w <= 0 || h <= 0)
        return;
    painter.save();
    painter.setClipRect(0, 0, w, h, Qt::IntersectClip);

    if (!m_controlTransparent)
        painter.fillRect(QRect(0, 0, w, h), ColorFromTColor(m_bgColor));
    if (m_borderStyle == bsSingle) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, 0, w - 1, h - 1);
    }

    const QString caption = DrawnCaption();
    if (caption.isEmpty()) {
        // Keeps an empty text visible and selectable.
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, 0, w - 1, h - 1);
        painter.drawLine(0, 0, w - 1, h - 1);
        painter.drawLine(0, h - 1, w - 1, 0);
        painter.restore();
        return;
    }

    if (m_shadowDepth >= 1 && m_shadowOrientation != sdNone) {
        painter.save();
        painter.setClipPath(CaptionPath(caption, m_shadowRect), Qt::IntersectClip);
        painter.fillRect(QRect(0, 0, w, h), ColorFromTColor(m_shadowColor));
        painter.restore();
    }

    if (m_surfaceType != stBrushTransparent) {
        painter.save();
        painter.setClipPath(CaptionPath(caption, m_textRect), Qt::IntersectClip);
        switch (m_surfaceType) {
        case stNormal:
            painter.fillRect(QRect(0, 0, w, h), ColorFromTColor(m_font.Data().Color()));
            break;
        case stBrushImage: {
            const QImage &texture = ImageBitmap().Image();
            QSize tile = texture.size();
            const float z = ZoomScale();
            if (z != 1.0f)
                tile = QSize(SaturatedInt(std::trunc(tile.width() * z)),
                             SaturatedInt(std::trunc(tile.height() * z)));
            TileFillPicture(painter, texture, QSize(w, h), tile);
            break;
        }
        case stGradientFill: {
            const QImage &gradient = m_fill.GradientFor(QSize(w, h));
            TileFillPicture(painter, gradient, QSize(w, h), gradient.size());
            break;
        }
        case stBrushTransparent:
            break;
        }
        painter.restore();
    }

    if (m_outlineStyle != psClear && m_outlineWidth >= 1) {
        QPen pen(ColorFromTColor(m_outlineColor), m_outlineWidth, QtPenStyle(m_outlineStyle));
        painter.strokePath(CaptionPath(caption, m_textRect), pen);
    }
    painter.restore();
}

void TGSuperText::PrintTo(TBaseReport *report, double x, double y)
{
    if (!report)
        return;
    m_layoutNeeded = true;
    RunLayout();
    if (Width() <= 0 || Height() <= 0)
        return;
    const double ppi = ScreenPixelsPerInch();
    const auto ix = [&](int px) { return x + (Left() + px) / ppi; };
    const auto iy = [&](int py) { return y + (Top() + py) / ppi; };

    const TGFont &font = m_font.Data();
    const QString caption = DrawnCaption();
    // A symbol-font caption prints as the pictures the screen shows.
    const TDrawnText drawn = SymbolDrawnText(font.ToQFont(), caption);
    report->SetFont(drawn.font.family(), font.Size());
    report->SetBold(font.Style() & fsBold);
    report->SetItalic(font.Style() & fsItalic);
    report->SetUnderline(font.Style() & fsUnderline);
    report->SetTextBKMode(bkTransparent);

    if (!m_controlTransparent || m_borderStyle == bsSingle) {
        if (m_controlTransparent)
            report->SetBrush(0xFFFFFF, bsClear);
        else
            report->SetBrush(m_bgColor, bsSolid);
        report->SetPen(0, m_borderStyle == bsSingle ? psSolid : psClear, 1, pmCopy);
        report->Rectangle(ix(0), iy(0), ix(Width()), iy(Height()));
    }
    report->SetBrush(0xFFFFFF, bsClear);
    if (caption.isEmpty())
        return;

    // The caption's top edge as on screen: its baseline lies one ascent of
    // the printed font below it.
    const double ascent = QFontMetricsF(report->DeviceFont()).ascent();
    const auto baseline = [&](const TRect &r) {
        return report->YD2I(report->YI2D(iy(r.Top)) + ascent);
    };
    const auto printCaption = [&](const TRect &r) {
        report->GotoXY(ix(r.Left), baseline(r));
        report->PrintText(drawn.text);
    };

    if (m_shadowDepth > 0 && m_shadowOrientation != sdNone) {
        report->SetFontColor(m_shadowColor);
        printCaption(m_shadowRect);
    }
    report->SetFontColor(font.Color());

    if (m_surfaceType != stBrushTransparent) {
        report->BeginPath();
        printCaption(m_textRect);
        report->EndPath();
        report->SelectPathAsClip();
        // The fills run over the object's printed rectangle exactly.
        const QRect printed(QPoint(report->XI2D(ix(0)), report->YI2D(iy(0))),
                            QPoint(report->XI2D(ix(Width())) - 1, report->YI2D(iy(Height())) - 1));
        switch (m_surfaceType) {
        case stNormal:
            report->SetBrush(font.Color(), bsSolid);
            report->FillDeviceRect(printed);
            break;
        case stBrushImage:
            PrintFillTiles(*report, PrintableImage(ImageBitmap().Picture(), Name()), ix(0), iy(0),
                           Width() / ppi, Height() / ppi, ppi);
            break;
        case stGradientFill:
            PrintGradient(*report, GradientFromColor(), GradientToColor(), FillDirection(),
                          printed);
            break;
        case stBrushTransparent:
            break;
        }
        report->ClearClip();
    }

    if (m_outlineStyle != psClear && m_outlineWidth > 0) {
        report->SetBrush(font.Color(), bsClear);
        report->SetPen(m_outlineColor, m_outlineStyle, -m_outlineWidth, pmCopy);
        report->BeginPath();
        printCaption(m_textRect);
        report->EndPath();
        report->StrokePath();
    }
}

// ---- menu and properties dialog -----------------------------------------------

std::function<bool(TGSuperText &, QString &, QWidget *)> TGSuperText::ShowPropertiesDialog;

bool TGSuperText::ChooseFont()
{
    const std::optional<QFont> chosen =
        ::ChooseFont(m_font.Data().ToQFont(), DialogParent(), tr("Font"));
    if (!chosen)
        return false;
    m_font.Set(*chosen);
    m_layoutNeeded = true;
    Repaint();
    return true;
}

bool TGSuperText::ChooseBackgroundColor()
{
    const QColor chosen =
        QColorDialog::getColor(ColorFromTColor(m_bgColor), DialogParent(), tr("Background Color"));
    if (!chosen.isValid())
        return false;
    SetBGColor(TColorFromColor(chosen));
    SetControlTransparent(false);
    ReportChange();
    Repaint();
    return true;
}

void TGSuperText::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    AddMenuSeparator();
    AddMenuItem(tr("Font"), [this] { ChooseFont(); });
    m_transparentItem =
        AddMenuItem(tr("Transparent"), [this] { SetControlTransparent(!m_controlTransparent); });
    m_transparentItem->setCheckable(true);
    AddMenuItem(tr("Background Color"), [this] { ChooseBackgroundColor(); });
    m_borderItem = AddMenuItem(
        tr("Border"), [this] { SetBorderStyle(m_borderStyle == bsSingle ? bsNone : bsSingle); });
    m_borderItem->setCheckable(true);
    m_propertiesItem = AddMenuItem(tr("Properties"), [this] { EditProperties(); });
    RefreshMenu();
}

void TGSuperText::RefreshMenu()
{
    Inherited::RefreshMenu();
    if (m_borderItem)
        m_borderItem->setChecked(m_borderStyle == bsSingle);
    if (m_transparentItem)
        m_transparentItem->setChecked(m_controlTransparent);
    if (m_propertiesItem)
        m_propertiesItem->setEnabled(bool(ShowPropertiesDialog));
}

void TGSuperText::EditProperties()
{
    if (!EditOnSample(*this, ShowPropertiesDialog))
        return;
    m_layoutNeeded = true;
    RunLayout();
    Repaint();
    ReportChange();
}

void TGSuperText::TakeEditedProperties(const TGSuperText &sample)
{
    // The dialog leaves the frame and background alone.
    CopyStoredProperties(
        *this, sample,
        DialogProperties({QStringLiteral("BorderStyle"), QStringLiteral("ControlTransparent"),
                          QStringLiteral("BGColor")}));
}
