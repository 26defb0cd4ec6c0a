#include "report/RPBase.h"

#include "graphics/Picture.h"
#include "graphics/Geometry.h"
#include "graphics/SymbolFonts.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPaintEngine>
#include <QPainter>
#include <QPicture>
#include <cmath>

namespace {

constexpr double kLetterWidth = 8.5, kLetterHeight = 11.0;
constexpr double kA4Width = 210.0 / 25.4, kA4Height = 297.0 / 25.4;

// Raster operations only where the device has them (not in PDF or QPicture
// playback on a printer); elsewhere the pen simply copies.
QPainter::CompositionMode CompositionOf(TPenMode m)
{
    switch (m) {
    case pmXor:
        return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor:
        return QPainter::RasterOp_NotSourceXorDestination;
    case pmMask:
        return QPainter::RasterOp_SourceAndDestination;
    case pmMerge:
        return QPainter::RasterOp_SourceOrDestination;
    case pmNotCopy:
        return QPainter::RasterOp_NotSource;
    case pmNot:
        return QPainter::RasterOp_NotDestination;
    default:
        break;
    }
    return QPainter::CompositionMode_SourceOver;
}

void ApplyPenMode(QPainter *painter, TPenMode m)
{
    QPaintEngine *engine = painter->paintEngine();
    if (engine && engine->hasFeature(QPaintEngine::RasterOpModes))
        painter->setCompositionMode(CompositionOf(m));
}

} // namespace

bool PlayPicture(QPainter &painter, const QPicture &picture)
{
    QPaintDevice *device = painter.device();
    painter.save();
    if (device && device->logicalDpiX() > 0 && device->logicalDpiY() > 0)
        painter.scale(double(picture.logicalDpiX()) / device->logicalDpiX(),
                      double(picture.logicalDpiY()) / device->logicalDpiY());
    QPicture shared(picture); // play() is not const; the copy shares the data
    const bool ok = shared.play(&painter);
    painter.restore();
    return ok;
}

TBaseReport::TBaseReport() = default;
TBaseReport::~TBaseReport() = default;

// ---------------------------------------------------------------- settings

void TBaseReport::SetUnits(TPrintUnits units)
{
    m_units = units;
    switch (units) {
    case unInch:
        m_unitsFactor = 1.0;
        break;
    case unMM:
        m_unitsFactor = 25.4;
        break;
    case unCM:
        m_unitsFactor = 2.54;
        break;
    case unPoint:
        m_unitsFactor = 72.0;
        break;
    case unUser:
        break;
    }
}

void TBaseReport::SetUnitsFactor(double factor)
{
    if (factor > 0 && std::isfinite(factor))
        m_unitsFactor = factor;
}

void TBaseReport::SetScaleX(double percent)
{
    if (percent > 0 && std::isfinite(percent))
        m_scaleX = percent;
}

void TBaseReport::SetScaleY(double percent)
{
    if (percent > 0 && std::isfinite(percent))
        m_scaleY = percent;
}

void TBaseReport::SetLinesPerInch(int n)
{
    if (n > 0)
        m_linesPerInch = n;
}

void TBaseReport::SetUserLineHeight(double inches)
{
    if (inches > 0 && std::isfinite(inches))
        m_userLineHeight = inches;
}

void TBaseReport::SetCopies(int copies)
{
    if (copies >= 1)
        m_copies = copies;
}

bool TBaseReport::SetPaperSize(int code)
{
    if (code != kPaperLetter && code != kPaperA4)
        return false;
    m_paperCode = code;
    if (!m_inJob) {
        if (code == kPaperA4)
            SetPageSizeInches(kA4Width, kA4Height);
        else
            SetPageSizeInches(kLetterWidth, kLetterHeight);
    }
    return true;
}

void TBaseReport::SetPageSizeInches(double w, double h)
{
    if (m_orientation == poLandScape)
        std::swap(w, h);
    m_pageWidth = w;
    m_pageHeight = h;
}

void TBaseReport::SetTabWidth(double inches)
{
    if (inches > 0 && std::isfinite(inches))
        m_tabWidth = inches;
}

// ---------------------------------------------------------------- status

QString TBaseReport::StatusString() const
{
    QString out;
    const QString &f = m_statusFormat;
    for (int i = 0; i < f.size(); ++i) {
        if (f[i] == u'%' && i + 1 < f.size()) {
            const QChar c = f[i + 1];
            if (c == u'p') {
                out += QString::number(m_currentPage);
                ++i;
                continue;
            }
            if (c == u'0' || c == u'1') {
                const int line = c.digitValue();
                if (line < m_statusText.size())
                    out += m_statusText[line];
                ++i;
                continue;
            }
        }
        out += f[i];
    }
    return out;
}

void TBaseReport::UpdateStatus()
{
    if (!m_statusLabel)
        return;
    QString text = StatusString();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    m_statusLabel->setText(text);
}

const char *const NoPrintersDefinedMessage = "No printers are defined, aborting print job.";

// ---------------------------------------------------------------- job control

bool TBaseReport::Execute()
{
    if (m_inJob)
        throw EReportError(QStringLiteral("A print job is already running on this report."));
    m_aborted = false;
    m_currentPage = 0;
    ResetDrawingState();
    if (!BeginJob())
        return false;
    m_inJob = true;
    try {
        if (OnBeforePrint)
            OnBeforePrint(*this);
        if (!m_aborted) {
            m_painter = BeginPage();
            m_currentPage = 1;
            ApplyDrawingState();
            UpdateStatus();
            RunPages();
        }
        Finish(m_aborted);
    } catch (...) {
        // The document is abandoned: nothing half-made reaches the printer or
        // the file, and the job counts as aborted.
        m_aborted = true;
        try {
            Finish(true);
        } catch (...) {
        }
        throw;
    }
    if (OnAfterPrint)
        OnAfterPrint(*this);
    return !m_aborted;
}

void TBaseReport::RunPages()
{
    if (OnPrint)
        OnPrint(*this);
}

void TBaseReport::Finish(bool abandon)
{
    const bool hadPainter = m_painter != nullptr;
    m_painter = nullptr;
    ForgetPlacement();
    m_pathOpen = false;
    m_clipStack.clear();
    try {
        if (hadPainter && !abandon)
            EndPage();
        EndJob(abandon);
    } catch (...) {
        m_inJob = false;
        throw;
    }
    m_inJob = false;
}

void TBaseReport::NewPage()
{
    if (!m_painter || m_aborted)
        return;
    TurnDevicePage();
    ++m_currentPage;
    UpdateStatus();
}

void TBaseReport::NewPagePart()
{
    if (!m_painter || m_aborted || !JoinsPageParts())
        return;
    m_startingPagePart = true;
    try {
        TurnDevicePage();
    } catch (...) {
        m_startingPagePart = false;
        throw;
    }
    m_startingPagePart = false;
}

void TBaseReport::TurnDevicePage()
{
    // What the last placed object changed goes with its page.
    ForgetPlacement();
    m_clipSelected = false;
    EndPage();
    m_painter = nullptr;
    m_painter = BeginPage();
    m_pathOpen = false;
    m_path = QPainterPath();
    ApplyDrawingState();
    if (m_hasBaseClip)
        m_painter->setClipPath(m_baseClip, Qt::ReplaceClip);
}

void TBaseReport::Abort()
{
    if (m_aborted)
        return;
    m_aborted = true;
    if (m_inJob) {
        AbortDevice();
        m_painter = nullptr;
    }
}

void TBaseReport::SetMetrics(double leftOff, double topOff, double bottomOff, double pageW,
                             double pageH, int xdpi, int ydpi)
{
    m_leftOffset = leftOff;
    m_topOffset = topOff;
    m_bottomOffset = bottomOff;
    m_pageWidth = pageW;
    m_pageHeight = pageH;
    m_xdpi = std::max(1, xdpi);
    m_ydpi = std::max(1, ydpi);
}

void TBaseReport::ResetDrawingState()
{
    m_penColor = 0;
    m_penStyle = psSolid;
    m_penMode = pmCopy;
    m_penWidth = 1;
    m_brushColor = 0xFFFFFF;
    m_brushStyle = bsSolid;
    m_brushPattern = QImage();
    m_cursorX = m_cursorY = 0;
    m_penX = m_penY = 0;
    m_pathOpen = false;
    m_path = QPainterPath();
    m_clipStack.clear();
    m_hasBaseClip = false;
    m_baseClip = QPainterPath();
    m_baseClipRect = QRectF();
    ForgetPlacement();
    m_clipSelected = false;
}

void TBaseReport::ApplyDrawingState()
{
    RestorePage(TClipRestore::Keep); // state alone: the clip may wait
    if (!m_painter)
        return;
    m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    m_painter->setPen(MakePen());
    m_painter->setBrush(MakeBrush());
    m_painter->setFont(DeviceFont());
    ApplyPenMode(m_painter, m_penMode);
}

// ---------------------------------------------------------------- coordinates

int TBaseReport::XI2D(double x) const
{
    return RoundEven((x / m_unitsFactor * m_scaleX * ZoomPercent() / 10000.0 - m_leftOffset) *
                     m_xdpi);
}

int TBaseReport::YI2D(double y) const
{
    return RoundEven((y / m_unitsFactor * m_scaleY * ZoomPercent() / 10000.0 - m_topOffset) *
                     m_ydpi);
}

double TBaseReport::XD2I(double px) const
{
    return (px / m_xdpi + m_leftOffset) * 10000.0 / (m_scaleX * ZoomPercent()) * m_unitsFactor;
}

double TBaseReport::YD2I(double py) const
{
    return (py / m_ydpi + m_topOffset) * 10000.0 / (m_scaleY * ZoomPercent()) * m_unitsFactor;
}

QRect TBaseReport::InchRect(double x1, double y1, double x2, double y2) const
{
    const int l = XI2D(x1), t = YI2D(y1), r = XI2D(x2), b = YI2D(y2);
    return QRect(QPoint(std::min(l, r), std::min(t, b)),
                 QPoint(std::max(l, r) - 1, std::max(t, b) - 1));
}

int TBaseReport::HundredthsToPixels(int hundredths) const
{
    return std::max(1, RoundEven(hundredths * double(m_xdpi) * m_scaleX * ZoomPercent() * 1e-6));
}

// ---------------------------------------------------------------- drawing state

void TBaseReport::SetPen(TColor color, TPenStyle style, int width, TPenMode mode)
{
    RestorePage(TClipRestore::Keep); // state alone: the clip may wait
    m_penColor = color;
    m_penStyle = style;
    m_penWidth = width;
    m_penMode = mode;
    if (m_painter) {
        m_painter->setPen(MakePen());
        ApplyPenMode(m_painter, mode);
    }
}

void TBaseReport::SetBrush(TColor color, TBrushStyle style, const QImage &pattern)
{
    RestorePage(TClipRestore::Keep); // state alone: the clip may wait
    m_brushColor = color;
    m_brushStyle = style;
    m_brushPattern = pattern;
    if (m_painter)
        m_painter->setBrush(MakeBrush());
}

int TBaseReport::PenDeviceWidth() const
{
    if (m_penWidth < 0)
        return HundredthsToPixels(-m_penWidth);
    return m_penWidth;
}

QPen TBaseReport::MakePen() const
{
    if (m_penMode == pmNop)
        return QPen(Qt::NoPen);
    QColor c = ColorFromTColor(m_penColor);
    if (m_penMode == pmBlack)
        c = Qt::black;
    else if (m_penMode == pmWhite)
        c = Qt::white;
    QPen pen(c);
    pen.setStyle(QtPenStyle(m_penStyle));
    pen.setWidth(PenDeviceWidth());
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QBrush TBaseReport::MakeBrush() const
{
    if (!m_brushPattern.isNull())
        return QBrush(m_brushPattern);
    return QBrush(ColorFromTColor(m_brushColor), QtBrushStyle(m_brushStyle));
}

void TBaseReport::SetFont(const QString &name, double points)
{
    RestorePage(TClipRestore::Keep); // state alone: the clip may wait
    if (!(points > 0) || !std::isfinite(points))
        return;
    m_fontName = name;
    m_fontSize = points;
    m_bold = m_italic = m_underline = m_strikeOut = false;
    m_fontColor = 0;
    m_fontRotation = 0;
    if (m_painter)
        m_painter->setFont(DeviceFont());
}

void TBaseReport::SetBold(bool on)
{
    m_bold = on;
}
void TBaseReport::SetItalic(bool on)
{
    m_italic = on;
}
void TBaseReport::SetUnderline(bool on)
{
    m_underline = on;
}
void TBaseReport::SetStrikeOut(bool on)
{
    m_strikeOut = on;
}
void TBaseReport::SetFontColor(TColor color)
{
    m_fontColor = color;
}

void TBaseReport::SetFontRotation(int degrees)
{
    m_fontRotation = ((degrees % 360) + 360) % 360;
}

int TBaseReport::FontDeviceHeight() const
{
    return RoundEven(m_ydpi * m_fontSize / 72.0 * m_scaleY * ZoomPercent() * 1e-4);
}

QFont TBaseReport::DeviceFont() const
{
    QFont f(m_fontName);
    // A font without a name (a design may leave it out) keeps one empty
    // family: a recorded page stores the first family of every font drawn
    // with, and Qt takes it without asking whether there is one.
    if (f.families().isEmpty())
        f.setFamilies({QString()});
    f.setPixelSize(std::max(1, FontDeviceHeight()));
    f.setBold(m_bold);
    f.setItalic(m_italic);
    f.setUnderline(m_underline);
    f.setStrikeOut(m_strikeOut);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

double TBaseReport::LineHeight() const
{
    switch (m_lineHeightMethod) {
    case lhmLinesPerInch:
        return 1.0 / m_linesPerInch;
    case lhmFont:
        return m_fontSize / 60.0;
    case lhmUser:
        break;
    }
    return m_userLineHeight;
}

double TBaseReport::TextWidth(const QString &text) const
{
    const TDrawnText drawn = SymbolDrawnText(DeviceFont(), text);
    const QFontMetricsF fm(drawn.font);
    const double px = std::max(1.0, fm.horizontalAdvance(drawn.text));
    return px / m_xdpi * 10000.0 / (m_scaleX * ZoomPercent()) * m_unitsFactor;
}

// ---------------------------------------------------------------- figures

// Figures follow the device convention that the right and bottom edges are
// outside: the outline runs through the last pixel inside.
void TBaseReport::Rectangle(double x1, double y1, double x2, double y2)
{
    RestorePage();
    if (!m_painter)
        return;
    const QRect r = InchRect(x1, y1, x2, y2);
    m_painter->setPen(MakePen());
    m_painter->setBrush(MakeBrush());
    if (m_painter->pen().style() == Qt::NoPen)
        m_painter->fillRect(r, m_painter->brush());
    else
        m_painter->drawRect(r.adjusted(0, 0, -1, -1));
}

void TBaseReport::Ellipse(double x1, double y1, double x2, double y2)
{
    RestorePage();
    if (!m_painter)
        return;
    const QRect r = InchRect(x1, y1, x2, y2);
    m_painter->setPen(MakePen());
    m_painter->setBrush(MakeBrush());
    m_painter->drawEllipse(r.adjusted(0, 0, -1, -1));
}

void TBaseReport::RoundRect(double x1, double y1, double x2, double y2, double cornerW,
                            double cornerH)
{
    RestorePage();
    if (!m_painter)
        return;
    const QRect r = InchRect(x1, y1, x2, y2);
    const double zx = m_scaleX * ZoomPercent() / 10000.0 / m_unitsFactor;
    const double zy = m_scaleY * ZoomPercent() / 10000.0 / m_unitsFactor;
    const double cw = std::abs(cornerW) * zx * m_xdpi;
    const double ch = std::abs(cornerH) * zy * m_ydpi;
    m_painter->setPen(MakePen());
    m_painter->setBrush(MakeBrush());
    m_painter->drawRoundedRect(QRectF(r.adjusted(0, 0, -1, -1)), cw / 2, ch / 2, Qt::AbsoluteSize);
}

void TBaseReport::MoveTo(double x, double y)
{
    m_penX = x;
    m_penY = y;
}

void TBaseReport::LineTo(double x, double y)
{
    RestorePage();
    if (m_painter) {
        m_painter->setPen(MakePen());
        m_painter->drawLine(QPoint(XI2D(m_penX), YI2D(m_penY)), QPoint(XI2D(x), YI2D(y)));
    }
    m_penX = x;
    m_penY = y;
}

// ---------------------------------------------------------------- pictures

void TBaseReport::PrintBitmapRect(double x1, double y1, double x2, double y2, const QImage &bitmap)
{
    StretchDraw(InchRect(x1, y1, x2, y2), bitmap);
}

void TBaseReport::PrintBitmapRect(double x1, double y1, double x2, double y2,
                                  const TGBitmap &bitmap)
{
    StretchDraw(InchRect(x1, y1, x2, y2), bitmap.Image());
}

void TBaseReport::StretchDraw(const QRect &deviceRect, const QImage &bitmap)
{
    RestorePage();
    if (!m_painter || bitmap.isNull() || deviceRect.isEmpty())
        return;
    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    m_painter->drawImage(deviceRect, bitmap);
    m_painter->restore();
}

void TBaseReport::StretchDraw(const QRect &deviceRect, const QPicture &picture)
{
    StretchDraw(deviceRect, picture, QRectF(picture.boundingRect()));
}

void TBaseReport::StretchDraw(const QRect &deviceRect, const QPicture &picture, const QRectF &frame)
{
    RestorePage();
    if (!m_painter || picture.isNull() || deviceRect.isEmpty() || frame.width() <= 0 ||
        frame.height() <= 0)
        return;
    m_painter->save();
    m_painter->translate(deviceRect.left(), deviceRect.top());
    m_painter->scale(deviceRect.width() / frame.width(), deviceRect.height() / frame.height());
    m_painter->translate(-frame.left(), -frame.top());
    PlayPicture(*m_painter, picture);
    m_painter->restore();
}

void TBaseReport::StretchDraw(const QRect &deviceRect, const TPicture &picture)
{
    RestorePage();
    if (!m_painter || picture.IsEmpty() || deviceRect.isEmpty())
        return;
    m_painter->save();
    picture.Draw(*m_painter, deviceRect);
    m_painter->restore();
}

void TBaseReport::PrintPictureRect(double x1, double y1, double x2, double y2,
                                   const QPicture &picture, const QRectF &frame)
{
    StretchDraw(InchRect(x1, y1, x2, y2), picture, frame);
}

void TBaseReport::PrintPictureRect(double x1, double y1, double x2, double y2,
                                   const TPicture &picture)
{
    StretchDraw(InchRect(x1, y1, x2, y2), picture);
}

// ---------------------------------------------------------------- text

void TBaseReport::DrawTextAt(const QPointF &baseline, const QString &shown, const QRect *clip)
{
    // Text in a symbol font the desktop lacks goes on paper as its pictures.
    const TDrawnText drawn = SymbolDrawnText(DeviceFont(), shown);
    const QFont &font = drawn.font;
    const QString &text = drawn.text;
    if (m_pathOpen) {
        QPainterPath glyphs;
        glyphs.addText(QPointF(0, 0), font, text);
        QTransform t;
        t.translate(baseline.x(), baseline.y());
        t.rotate(-m_fontRotation);
        m_path.addPath(t.map(glyphs));
        return;
    }
    if (clip && m_fontRotation == 0 && !m_clipSelected) {
        // Text cut to a rectangle within the base clip (each line of a
        // multi-line label): one clip and one transform, and the page state
        // comes back only when something else draws.
        QPainter *painter =
            BeginPlacedTransform(QTransform::fromTranslate(baseline.x(), baseline.y()));
        ClipPlaced(QRectF(*clip).translated(-baseline));
        if (painter->font() != font)
            painter->setFont(font);
        const QPen pen(ColorFromTColor(m_fontColor));
        if (painter->pen() != pen)
            painter->setPen(pen);
        painter->drawText(QPointF(0, 0), text);
        EndPlaced();
        return;
    }
    RestorePage();
    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (clip)
        m_painter->setClipRect(*clip, Qt::IntersectClip);
    m_painter->translate(baseline);
    m_painter->rotate(-m_fontRotation);
    m_painter->setFont(font);
    if (!clip && m_textBKMode == bkOpaque && m_brushStyle != bsClear) {
        const QFontMetricsF fm(font);
        m_painter->fillRect(QRectF(0, -fm.ascent(), fm.horizontalAdvance(text), fm.height()),
                            ColorFromTColor(m_brushColor));
    }
    m_painter->setPen(ColorFromTColor(m_fontColor));
    m_painter->drawText(QPointF(0, 0), text);
    m_painter->restore();
}

void TBaseReport::TextRect(const QRect &deviceClip, const QString &text, double x, double y)
{
    if (!m_painter)
        return;
    const QFontMetricsF fm(DeviceFont());
    if (!m_pathOpen && m_brushStyle != bsClear) {
        RestorePage();
        m_painter->fillRect(deviceClip, ColorFromTColor(m_brushColor));
    }
    DrawTextAt(QPointF(XI2D(x), YI2D(y) + fm.ascent()), text, &deviceClip);
}

void TBaseReport::GotoXY(double x, double y)
{
    m_cursorX = x;
    m_cursorY = y;
}

void TBaseReport::PrintText(const QString &text)
{
    const double angle = m_fontRotation * M_PI / 180.0;
    const QStringList parts = text.split(u'\t');
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            // A tab: to the next stop, measured along the line from inch 0.
            const double stops = std::floor(m_cursorX / m_tabWidth + 1e-9) + 1;
            m_cursorX = stops * m_tabWidth;
        }
        const QString &seg = parts[i];
        if (seg.isEmpty())
            continue;
        if (m_painter)
            DrawTextAt(QPointF(XI2D(m_cursorX), YI2D(m_cursorY)), seg, nullptr);
        const double w = TextWidth(seg);
        m_cursorX += w * std::cos(angle);
        m_cursorY -= w * std::sin(angle);
    }
}

// ---------------------------------------------------------------- device canvas

void TBaseReport::FillDeviceRect(const QRect &deviceRect)
{
    RestorePage();
    if (!m_painter)
        return;
    m_painter->fillRect(deviceRect, ColorFromTColor(m_brushColor));
}

void TBaseReport::DevicePolygon(const QPolygon &points)
{
    RestorePage();
    if (!m_painter || points.size() < 2)
        return;
    m_painter->setPen(MakePen());
    m_painter->setBrush(MakeBrush());
    m_painter->drawPolygon(points, Qt::WindingFill);
}

void TBaseReport::BeginPath()
{
    if (!m_painter)
        return;
    m_path = QPainterPath();
    m_path.setFillRule(Qt::WindingFill);
    m_pathOpen = true;
}

void TBaseReport::EndPath()
{
    m_pathOpen = false;
}

void TBaseReport::SelectPathAsClip()
{
    RestorePage(TClipRestore::Replaced);
    if (!m_painter)
        return;
    m_pathOpen = false;
    ApplyClip(m_path);
}

void TBaseReport::StrokePath()
{
    RestorePage();
    if (!m_painter)
        return;
    m_pathOpen = false;
    m_painter->strokePath(m_path, MakePen());
}

// ---------------------------------------------------------------- clip regions

QPainterPath TBaseReport::ClipPathOf(int kind, double x1, double y1, double x2, double y2,
                                     double cw, double ch) const
{
    const QRectF r(InchRect(x1, y1, x2, y2)); // right/bottom already outside
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    if (kind == 0) {
        p.addRect(r);
    } else if (kind == 1) {
        p.addEllipse(r);
    } else {
        const double zx = m_scaleX * ZoomPercent() / 10000.0 / m_unitsFactor;
        const double zy = m_scaleY * ZoomPercent() / 10000.0 / m_unitsFactor;
        p.addRoundedRect(r, std::abs(cw) * zx * m_xdpi / 2, std::abs(ch) * zy * m_ydpi / 2,
                         Qt::AbsoluteSize);
    }
    return p;
}

bool TBaseReport::PushClipPath(const QPainterPath &path)
{
    if (!m_painter || int(m_clipStack.size()) >= kMaxClipRegions)
        return false;
    m_clipStack.push_back(path);
    return true;
}

bool TBaseReport::PushClipRect(double x1, double y1, double x2, double y2)
{
    return m_painter && PushClipPath(ClipPathOf(0, x1, y1, x2, y2, 0, 0));
}

bool TBaseReport::PushClipEllipse(double x1, double y1, double x2, double y2)
{
    return m_painter && PushClipPath(ClipPathOf(1, x1, y1, x2, y2, 0, 0));
}

bool TBaseReport::PushClipRoundRect(double x1, double y1, double x2, double y2, double cornerW,
                                    double cornerH)
{
    return m_painter && PushClipPath(ClipPathOf(2, x1, y1, x2, y2, cornerW, cornerH));
}

bool TBaseReport::PushClipPolygon(const QPoint *points, int count)
{
    if (!points || count < 3)
        return false;
    return PushClipPolygon(QPolygon(QList<QPoint>(points, points + count)));
}

bool TBaseReport::PushClipPolygon(const QPolygon &points)
{
    if (!m_painter || points.size() < 3)
        return false;
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    p.addPolygon(QPolygonF(points));
    p.closeSubpath();
    return PushClipPath(p);
}

void TBaseReport::ApplyClip(const QPainterPath &path)
{
    RestorePage(TClipRestore::Replaced);
    m_clipSelected = true;
    m_painter->setClipPath(path, Qt::ReplaceClip);
    if (m_hasBaseClip)
        m_painter->setClipPath(m_baseClip, Qt::IntersectClip);
}

void TBaseReport::SelectClip()
{
    if (!m_painter || m_clipStack.empty())
        return;
    ApplyClip(m_clipStack.back());
}

void TBaseReport::ClearClip()
{
    RestorePage(TClipRestore::Replaced);
    m_clipSelected = false;
    if (!m_painter)
        return;
    if (m_hasBaseClip)
        m_painter->setClipPath(m_baseClip, Qt::ReplaceClip);
    else
        m_painter->setClipping(false);
}

void TBaseReport::SetBaseClipRect(double x1, double y1, double x2, double y2)
{
    RestorePage(TClipRestore::Replaced);
    m_clipSelected = false;
    m_baseClip = ClipPathOf(0, x1, y1, x2, y2, 0, 0);
    m_baseClipRect = m_baseClip.boundingRect();
    m_hasBaseClip = true;
    if (m_painter)
        m_painter->setClipPath(m_baseClip, Qt::ReplaceClip);
}

void TBaseReport::ClearBaseClip()
{
    RestorePage(TClipRestore::Replaced);
    m_clipSelected = false;
    m_hasBaseClip = false;
    m_baseClip = QPainterPath();
    m_baseClipRect = QRectF();
    if (m_painter)
        m_painter->setClipping(false);
}

void TBaseReport::PopClip()
{
    if (!m_clipStack.empty())
        m_clipStack.pop_back();
}

// ---------------------------------------------------------------- content drawn in place

// The painter's setters only mark what changed; the device hears of it at the
// next drawing call. So a piece sets transform and clip once and draws, and
// whatever EndPlaced puts back costs nothing until something else draws.

QPainter *TBaseReport::BeginPlaced(const QRect &deviceRect, const QSizeF &frame)
{
    if (deviceRect.isEmpty() || !(frame.width() > 0) || !(frame.height() > 0)) {
        EndPlaced();
        return nullptr;
    }
    // As StretchDraw places a recorded picture: the frame's corner on the
    // rectangle's, stretched to its size.
    QTransform placed = QTransform::fromTranslate(deviceRect.left(), deviceRect.top());
    placed.scale(deviceRect.width() / frame.width(), deviceRect.height() / frame.height());
    return BeginPlacedTransform(placed);
}

QPainter *TBaseReport::BeginPlacedFromPage(const QRect &deviceRect, const QSizeF &frame)
{
    RestorePage(TClipRestore::Keep); // the piece sets its clip
    return BeginPlaced(deviceRect, frame);
}

QPainter *TBaseReport::BeginPlacedTransform(const QTransform &placed)
{
    if (m_placing)
        EndPlaced();
    if (!m_painter)
        return nullptr;
    if (!m_pagePending) {
        m_pageTransform = m_painter->worldTransform();
        m_pagePen = m_painter->pen();
        m_pageBrush = m_painter->brush();
        m_pageFont = m_painter->font();
    }
    m_pagePending = false;
    m_placing = true;
    m_placedClipKnown = false;
    m_placedFrame = placed;
    m_placed = placed;
    m_painter->setWorldTransform(m_placed * m_pageTransform);
    if (m_painter->compositionMode() != QPainter::CompositionMode_SourceOver)
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    return m_painter;
}

void TBaseReport::MovePlaced(const QPointF &origin)
{
    if (!m_placing)
        return;
    m_placed = QTransform::fromTranslate(origin.x(), origin.y()) * m_placedFrame;
    m_placedClipKnown = false;
    m_painter->setWorldTransform(m_placed * m_pageTransform);
}

QRectF TBaseReport::PlacedClipRect(const QRectF &frameRect) const
{
    QRectF r = frameRect;
    if (m_hasBaseClip) {
        const QRectF base = m_placed.inverted().mapRect(m_baseClipRect);
        if (!base.contains(r))
            r = r.intersected(base);
    }
    return r.isValid() ? r : QRectF();
}

void TBaseReport::ClipPlaced(const QRectF &frameRect)
{
    if (!m_placing)
        return;
    // Set in frame units under the placement, the device takes clip and
    // transform in one state block.
    const QRectF r = PlacedClipRect(frameRect);
    if (m_placedClip == TPlacedClip::Rect && m_placedClipKnown && r == m_placedClipRect)
        return;
    m_placedClip = TPlacedClip::Rect;
    m_placedClipKnown = true;
    m_placedClipRect = r;
    m_painter->setClipRect(r, Qt::ReplaceClip);
}

void TBaseReport::UnclipPlaced(const QRectF &frameInk)
{
    if (!m_placing)
        return;
    // Inside the base clip, no clip at all serves as well as the base clip
    // and costs the device nothing to set.
    const bool inside = !m_hasBaseClip || m_baseClipRect.contains(m_placed.mapRect(frameInk));
    if (m_placedClip == TPlacedClip::Page || (inside && m_placedClip == TPlacedClip::Off))
        return;
    if (inside) {
        m_placedClip = TPlacedClip::Off;
        m_painter->setClipping(false);
        return;
    }
    // The base clip is a rectangle: set in frame units as well.
    m_placedClip = TPlacedClip::Page;
    m_painter->setClipRect(m_placed.inverted().mapRect(m_baseClipRect), Qt::ReplaceClip);
}

void TBaseReport::ForgetPlacement()
{
    m_placing = false;
    m_pagePending = false;
    m_placedClip = TPlacedClip::Page;
}

void TBaseReport::EndPlaced()
{
    if (!m_placing)
        return;
    m_placing = false;
    m_pagePending = m_painter != nullptr;
}

void TBaseReport::RestorePage(TClipRestore clip)
{
    if (m_placing)
        EndPlaced();
    if (m_pagePending) {
        m_pagePending = false;
        if (m_painter) {
            m_painter->setWorldTransform(m_pageTransform);
            m_painter->setPen(m_pagePen);
            m_painter->setBrush(m_pageBrush);
            m_painter->setFont(m_pageFont);
            ApplyPenMode(m_painter, m_penMode);
        }
    }
    if (clip == TClipRestore::Keep || m_placedClip == TPlacedClip::Page)
        return;
    m_placedClip = TPlacedClip::Page;
    if (clip == TClipRestore::Replaced || !m_painter)
        return;
    if (m_hasBaseClip)
        m_painter->setClipPath(m_baseClip, Qt::ReplaceClip);
    else
        m_painter->setClipping(false);
}
