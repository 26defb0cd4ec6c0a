#pragma once

#include "document/Groups.h"
#include "graphics/Colors.h"

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTransform>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class QLabel;
class QPainter;
class QPicture;
class TPicture;

enum TPrintUnits { unInch, unMM, unCM, unPoint, unUser };
enum TLineHeightMethod { lhmLinesPerInch, lhmFont, lhmUser };
enum TOrientation { poPortrait, poLandScape, poDefault };
enum TBKMode { bkTransparent, bkOpaque };
enum TStreamMode { smMemory, smFile, smUser, smTempFile };
enum TAccuracyMethod { amPositioning, amAppearance };

// Plays a recorded picture in the painter's current coordinates. QPicture
// itself scales by the device's resolution over the screen's; that is undone
// here so one recorded unit is one unit of the painter on every device.
// False when the picture is damaged (nothing is drawn).
bool PlayPicture(QPainter &painter, const QPicture &picture);

// Paper codes the program selects by number.
constexpr int kPaperLetter = 1;
constexpr int kPaperA4 = 9;
constexpr int kPaperA3 = 8;

// A print job that could not be started or finished (printer missing, device
// refused, output file not writable, unreadable recording).
// Why a job on the default printer cannot start when no printer is installed.
extern const char *const NoPrintersDefinedMessage;

class EReportError;
// A picture decoded for printing, with no fewer pixels than the device
// pixels it covers when they are given, else whole; throws EReportError
// naming its owner when it cannot be ("... the picture of Component7
// (8192 x 8192)").
QImage PrintableImage(const TPicture &picture, const QString &owner, QSize devicePixels = QSize());

class EReportError : public std::runtime_error
{
public:
    explicit EReportError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    QString Message() const { return m_message; }

private:
    QString m_message;
};

// Common state and drawing operations of every report. Coordinates are
// inches on the paper (divided by UnitsFactor when other units are used); an
// inch x lands on device pixel Round((x * ScaleX * z / 10000 - LeftOffset) * XDPI),
// z being ZoomPercent(). Drawing works only while a job runs (Printing());
// outside one every drawing call does nothing.
class TBaseReport
{
public:
    using TJobEvent = std::function<void(TBaseReport &report)>;

    TBaseReport();
    virtual ~TBaseReport();
    TBaseReport(const TBaseReport &) = delete;
    TBaseReport &operator=(const TBaseReport &) = delete;

    // ---- stored settings
    TPrintUnits Units() const { return m_units; }
    void SetUnits(TPrintUnits units);
    double UnitsFactor() const { return m_unitsFactor; } // units per inch
    void SetUnitsFactor(double factor);                  // <= 0 ignored
    double MarginLeft() const { return m_marginLeft; }
    double MarginRight() const { return m_marginRight; }
    double MarginTop() const { return m_marginTop; }
    double MarginBottom() const { return m_marginBottom; }
    void SetMarginLeft(double v) { m_marginLeft = v; }
    void SetMarginRight(double v) { m_marginRight = v; }
    void SetMarginTop(double v) { m_marginTop = v; }
    void SetMarginBottom(double v) { m_marginBottom = v; }
    double ScaleX() const { return m_scaleX; } // percent
    double ScaleY() const { return m_scaleY; }
    void SetScaleX(double percent); // <= 0 ignored
    void SetScaleY(double percent);
    TLineHeightMethod LineHeightMethod() const { return m_lineHeightMethod; }
    void SetLineHeightMethod(TLineHeightMethod m) { m_lineHeightMethod = m; }
    int LinesPerInch() const { return m_linesPerInch; }
    void SetLinesPerInch(int n); // <= 0 ignored
    // Line height under lhmUser, in inches.
    void SetUserLineHeight(double inches);
    QString Title() const { return m_title; }
    void SetTitle(const QString &title) { m_title = title; }
    TOrientation Orientation() const { return m_orientation; }
    virtual void SetOrientation(TOrientation o) { m_orientation = o; }
    int Copies() const { return m_copies; }
    void SetCopies(int copies); // < 1 ignored
    // 1 Letter, 9 A4; any other code is refused (false).
    virtual bool SetPaperSize(int code);
    int PaperSize() const { return m_paperCode; }
    TBKMode TextBKMode() const { return m_textBKMode; }
    void SetTextBKMode(TBKMode m) { m_textBKMode = m; }
    TStreamMode StreamMode() const { return m_streamMode; }
    void SetStreamMode(TStreamMode m) { m_streamMode = m; }
    // Distance between tab stops for PrintText, inches.
    double TabWidth() const { return m_tabWidth; }
    void SetTabWidth(double inches);

    // ---- status line: StatusFormat with %p = current page, %0 and %1 = the
    // first two lines of StatusText (empty when missing).
    QLabel *StatusLabel() const { return m_statusLabel; }
    void SetStatusLabel(QLabel *label) { m_statusLabel = label; }
    QString StatusFormat() const { return m_statusFormat; }
    void SetStatusFormat(const QString &f) { m_statusFormat = f; }
    QStringList &StatusText() { return m_statusText; }
    void SetStatusText(const QStringList &lines) { m_statusText = lines; }
    QString StatusString() const;
    // Writes StatusString() into the label ('\r' becomes a line break). A
    // job does so each time a page begins.
    void UpdateStatus();

    // ---- job events (called by Execute)
    TJobEvent OnBeforePrint; // before the device opens: copies may still change
    TJobEvent OnPrint;       // draws every page; the first page is current
    TJobEvent OnAfterPrint;  // after the document is finished

    // ---- job control
    // Runs a job: OnBeforePrint, opening the device, OnPrint, finishing the
    // document, OnAfterPrint. Returns true when the document was produced,
    // false when it was not started (no printer; the user has been told) or
    // was aborted. Device failures throw EReportError; an exception from an
    // event ends the job (the device is released) and is passed on.
    virtual bool Execute();
    // Ends the current page and starts the next (ignored outside a job).
    void NewPage();
    // Goes on with the current page on a fresh page of the device, which
    // joins the two when the document is finished: a device that holds a
    // page in memory until it ends then holds one part at a time. The page
    // number, pen, brush, font and base clip stay; a clip selected from the
    // clip stack and an open path do not (as after NewPage), so it belongs
    // between pieces of drawing that stand on their own, such as two cards.
    // Ignored by devices that cannot join pages.
    void NewPagePart();
    int CurrentPage() const { return m_currentPage; }
    // Stops the job at once: the device document is abandoned and later
    // drawing does nothing.
    void Abort();
    bool Aborted() const { return m_aborted; }
    bool Printing() const { return m_painter != nullptr; }

    // ---- page metrics (inches / pixels per inch)
    double LeftOffset() const { return m_leftOffset; }
    double TopOffset() const { return m_topOffset; }
    double BottomOffset() const { return m_bottomOffset; }
    double PageWidth() const { return m_pageWidth; }
    double PageHeight() const { return m_pageHeight; }
    int XDPI() const { return m_xdpi; }
    int YDPI() const { return m_ydpi; }
    // Zoom in percent used by the coordinate model: 100 except in a preview.
    virtual double ZoomPercent() const { return 100.0; }

    // ---- coordinates
    int XI2D(double x) const;
    int YI2D(double y) const;
    // Device pixels back to inches (the inverse model, unrounded).
    double XD2I(double px) const;
    double YD2I(double py) const;
    // Device rectangle of the inch corners; left/top from (x1, y1), right/bottom
    // from (x2, y2), normalised.
    QRect InchRect(double x1, double y1, double x2, double y2) const;
    // Device pixels of a length of hundredths of an inch, at least 1.
    int HundredthsToPixels(int hundredths) const;

    // ---- drawing state
    // width < 0: -width hundredths of an inch; 0: the thinnest line; > 0: device pixels.
    void SetPen(TColor color, TPenStyle style, int width, TPenMode mode);
    // A non-null pattern is tiled instead of the style.
    void SetBrush(TColor color, TBrushStyle style, const QImage &pattern = QImage());
    TColor PenColor() const { return m_penColor; }
    TPenStyle PenStyle() const { return m_penStyle; }
    TPenMode PenMode() const { return m_penMode; }
    int PenWidth() const { return m_penWidth; } // as given to SetPen
    int PenDeviceWidth() const;                 // 0 = thinnest
    TColor BrushColor() const { return m_brushColor; }
    TBrushStyle BrushStyle() const { return m_brushStyle; }

    // Face and size; resets colour (black), styles and rotation. Size <= 0 ignored.
    void SetFont(const QString &name, double points);
    void SetBold(bool on);
    void SetItalic(bool on);
    void SetUnderline(bool on);
    void SetStrikeOut(bool on);
    void SetFontColor(TColor color);
    void SetFontRotation(int degrees); // taken modulo 360, 0..359
    QString FontName() const { return m_fontName; }
    double FontSize() const { return m_fontSize; }
    bool FontBold() const { return m_bold; }
    bool FontItalic() const { return m_italic; }
    bool FontUnderline() const { return m_underline; }
    bool FontStrikeOut() const { return m_strikeOut; }
    TColor FontColor() const { return m_fontColor; }
    int FontRotation() const { return m_fontRotation; }
    int FontDeviceHeight() const; // pixels of the em height
    QFont DeviceFont() const;     // the font as the device draws it

    double LineHeight() const;                   // inches
    double TextWidth(const QString &text) const; // inches, at least one device pixel

    // ---- figures (inches, current pen and brush)
    void Rectangle(double x1, double y1, double x2, double y2);
    void Ellipse(double x1, double y1, double x2, double y2);
    void RoundRect(double x1, double y1, double x2, double y2, double cornerW, double cornerH);
    void MoveTo(double x, double y);
    void LineTo(double x, double y);

    // ---- pictures
    void PrintBitmapRect(double x1, double y1, double x2, double y2, const QImage &bitmap);
    void PrintBitmapRect(double x1, double y1, double x2, double y2, const TGBitmap &bitmap);
    void StretchDraw(const QRect &deviceRect, const QImage &bitmap);
    // The picture's frame (QPicture::boundingRect(); set it with
    // QPicture::setBoundingRect to the recorded size) is mapped onto the rectangle.
    void StretchDraw(const QRect &deviceRect, const QPicture &picture);
    void StretchDraw(const QRect &deviceRect, const QPicture &picture, const QRectF &frame);
    void StretchDraw(const QRect &deviceRect, const TPicture &picture);
    // A recorded drawing whose frame (in its own units, e.g. the label's
    // pixels at zoom 1.0) is stretched onto the inch rectangle.
    void PrintPictureRect(double x1, double y1, double x2, double y2, const QPicture &picture,
                          const QRectF &frame);
    // A bitmap, metafile or icon stretched onto the inch rectangle.
    void PrintPictureRect(double x1, double y1, double x2, double y2, const TPicture &picture);

    // ---- text
    // Top-left of the text at inch (x, y), clipped to the device rectangle;
    // the rectangle is filled with the brush colour unless the brush is clear.
    void TextRect(const QRect &deviceClip, const QString &text, double x, double y);
    void GotoXY(double x, double y);
    double XPos() const { return m_cursorX; }
    double YPos() const { return m_cursorY; }
    // Baseline at the cursor's y, left end at its x; the cursor moves to the
    // end. A tab moves to the next multiple of TabWidth.
    void PrintText(const QString &text);

    // ---- device canvas (device pixels of the current page; null outside a job)
    QPainter *Canvas()
    {
        RestorePage();
        return m_painter;
    }
    // Whether the device can end the document with more copies of its last
    // pages without their being drawn again (RepeatPages).
    bool CanRepeatPages() const { return m_painter && !m_aborted && JoinsPageParts(); }
    // The last `count` pages follow `times` more times, each the same page:
    // a sheet (one page, or its front and back) drawn once and printed many
    // times. Only as the last thing a job does.
    void RepeatPages(int count, int times);
    void FillDeviceRect(const QRect &deviceRect); // solid, engine brush colour
    // With a brush of its own (a gradient, which a PDF holds as one shading).
    void FillDeviceRect(const QRect &deviceRect, const QBrush &brush);
    void DevicePolygon(const QPolygon &points);   // pen and brush, winding fill
    // While a path is open, PrintText and TextRect add glyph outlines to it
    // instead of painting.
    void BeginPath();
    void EndPath();
    bool PathOpen() const { return m_pathOpen; }
    const QPainterPath &Path() const { return m_path; }
    void SelectPathAsClip(); // replaces the clip (within the base clip)
    void StrokePath();       // engine pen, no fill

    // ---- clip region stack (at most 21 entries)
    static constexpr int kMaxClipRegions = 21;
    bool PushClipRect(double x1, double y1, double x2, double y2);
    bool PushClipEllipse(double x1, double y1, double x2, double y2);
    bool PushClipRoundRect(double x1, double y1, double x2, double y2, double cornerW,
                           double cornerH);
    bool PushClipPolygon(const QPoint *points, int count);
    bool PushClipPolygon(const QPolygon &points);
    void SelectClip(); // top region becomes the clip (nothing when empty)
    void ClearClip();  // back to the base clip, or no clip
    void PopClip();
    int ClipDepth() const { return int(m_clipStack.size()); }

    // A clip beneath all others, in inches: whatever the drawing selects or
    // clears, nothing lands outside it (a card's rectangle while it prints).
    void SetBaseClipRect(double x1, double y1, double x2, double y2);
    void ClearBaseClip();
    bool HasBaseClip() const { return m_hasBaseClip; }

    // ---- content drawn in place
    // An object's drawing in its own units, frame (0, 0)-(frame) stretched
    // onto a device rectangle as StretchDraw stretches a recorded picture,
    // but drawn straight onto the page with one transform and no clip of
    // its own unless a piece needs one: a page of many objects stays small.
    // BeginPlaced returns the page painter with the placement as its
    // transform (null when nothing is drawn); the caller sets pen, brush
    // and font, and chooses the clip (ClipPlaced or UnclipPlaced) before
    // each thing it draws. The page's transform, clip, pen, brush and font
    // come back by themselves before the report draws anything else.
    QPainter *BeginPlaced(const QRect &deviceRect, const QSizeF &frame);
    // The same, starting from the page's pen, brush and font rather than
    // from what the last placed piece left: for a recorded picture, which
    // sets only what differs from a fresh painter.
    QPainter *BeginPlacedFromPage(const QRect &deviceRect, const QSizeF &frame);
    // Moves the frame's origin to this point of the frame as BeginPlaced
    // set it (back with (0, 0)): what follows, clips included, is in units
    // from there, as a painter translated to it would draw.
    void MovePlaced(const QPointF &origin);
    // Clips what follows to a frame rectangle within the base clip (one
    // rectangle that replaces the clip); an empty rectangle clips
    // everything away.
    void ClipPlaced(const QRectF &frameRect);
    // The rectangle ClipPlaced would clip to, in frame units.
    QRectF PlacedClipRect(const QRectF &frameRect) const;
    // No clip but the base clip for what follows, which lies within
    // frameInk (frame units); when that is inside the base clip, no clip at all.
    void UnclipPlaced(const QRectF &frameInk);
    void EndPlaced();

protected:
    // Device hooks of a job. BeginJob prepares the device and sets the page
    // metrics; false means nothing is printed (already explained to the user).
    virtual bool BeginJob() = 0;
    // Opens a page and returns the painter in device pixels of the printable area.
    virtual QPainter *BeginPage() = 0;
    virtual void EndPage() = 0;
    // Finishes (or, when abandoning, discards) the document; throws on failure.
    virtual void EndJob(bool abandon) = 0;
    // Called by Abort while a job runs, before the painter is forgotten.
    virtual void AbortDevice() {}
    // True when the device puts the parts NewPagePart starts together into
    // one page; BeginPage then learns from StartingPagePart which it opens.
    virtual bool JoinsPageParts() const { return false; }
    // Adds the copies RepeatPages asks for, where JoinsPageParts.
    virtual void RepeatDevicePages(int count, int times)
    {
        Q_UNUSED(count);
        Q_UNUSED(times);
    }
    bool StartingPagePart() const { return m_startingPagePart; }
    // The body run between the first page and the end of the document.
    virtual void RunPages();

    void SetMetrics(double leftOff, double topOff, double bottomOff, double pageW, double pageH,
                    int xdpi, int ydpi);
    void SetPageSizeInches(double w, double h);
    void ApplyDrawingState(); // pen, brush, font onto a fresh page painter

    QPainter *m_painter = nullptr;
    bool m_inJob = false;

private:
    // The pen mode as the painter's composition, where its device has raster operations.
    static void ApplyPenMode(QPainter *painter, TPenMode mode);
    QPen MakePen() const;
    QBrush MakeBrush() const;
    QPainterPath ClipPathOf(int kind, double x1, double y1, double x2, double y2, double cw,
                            double ch) const;
    bool PushClipPath(const QPainterPath &path);
    void ResetDrawingState();
    void DrawTextAt(const QPointF &baseline, const QString &text, const QRect *clip);
    void Finish(bool abandon);
    // Ends the device's page and opens the next in the report's drawing state.
    void TurnDevicePage();

    TPrintUnits m_units = unInch;
    double m_unitsFactor = 1.0;
    double m_marginLeft = 0.5, m_marginRight = 0.5, m_marginTop = 0.5, m_marginBottom = 0.5;
    double m_scaleX = 100.0, m_scaleY = 100.0;
    TLineHeightMethod m_lineHeightMethod = lhmFont;
    int m_linesPerInch = 6;
    double m_userLineHeight = 1.0 / 6.0;
    QString m_title = QStringLiteral("Tessaro");
    TOrientation m_orientation = poDefault;
    int m_copies = 1;
    int m_paperCode = kPaperLetter;
    TBKMode m_textBKMode = bkTransparent;
    TStreamMode m_streamMode = smMemory;
    double m_tabWidth = 0.5;

    QLabel *m_statusLabel = nullptr;
    QString m_statusFormat;
    QStringList m_statusText;

    int m_currentPage = 0;
    bool m_aborted = false;
    bool m_startingPagePart = false;

    double m_leftOffset = 0, m_topOffset = 0, m_bottomOffset = 0;
    double m_pageWidth = 8.5, m_pageHeight = 11.0;
    int m_xdpi = 600, m_ydpi = 600;

    TColor m_penColor = 0;
    TPenStyle m_penStyle = psSolid;
    TPenMode m_penMode = pmCopy;
    int m_penWidth = 1;
    TColor m_brushColor = 0xFFFFFF;
    TBrushStyle m_brushStyle = bsSolid;
    QImage m_brushPattern;

    QString m_fontName = QStringLiteral("Arial");
    double m_fontSize = 10.0;
    bool m_bold = false, m_italic = false, m_underline = false, m_strikeOut = false;
    TColor m_fontColor = 0;
    int m_fontRotation = 0;

    double m_cursorX = 0, m_cursorY = 0;
    double m_penX = 0, m_penY = 0;

    bool m_pathOpen = false;
    QPainterPath m_path;
    std::vector<QPainterPath> m_clipStack;
    QPainterPath m_baseClip;
    QRectF m_baseClipRect;       // the base clip's rectangle (page pixels)
    bool m_clipSelected = false; // a region of the clip stack is the clip
    bool m_hasBaseClip = false;

    // The drawing in place: the page's transform and state to go back to,
    // the placement and the clip last set (frame units). The page state is
    // put back only when something else draws: setting it back at once
    // would cost the device a state block between two placed objects.
    // RestorePage puts it back. Restore: with the base clip; Keep: the clip
    // stays as the last piece left it (pen, brush and font setters);
    // Replaced: the caller sets a clip of its own.
    enum class TClipRestore { Restore, Keep, Replaced };
    void RestorePage(TClipRestore clip = TClipRestore::Restore);
    QPainter *BeginPlacedTransform(const QTransform &placed);
    // Drops what a placed piece left to restore (the page or job it belongs to has ended).
    void ForgetPlacement();
    bool m_placing = false;
    bool m_pagePending = false;
    QTransform m_pageTransform;
    QTransform m_placedFrame; // as BeginPlaced set it
    QTransform m_placed;      // moved by MovePlaced
    QPen m_pagePen;
    QBrush m_pageBrush;
    QFont m_pageFont;
    // The clip a piece left: the page's (base or none), none, or its own rectangle.
    enum class TPlacedClip { Page, Off, Rect };
    TPlacedClip m_placedClip = TPlacedClip::Page;
    bool m_placedClipKnown = false; // m_placedClipRect is in this placement's units
    QRectF m_placedClipRect;

private:
    // Sets the clip to the path, kept within the base clip.
    void ApplyClip(const QPainterPath &path);
};
