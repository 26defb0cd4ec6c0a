#include "printing/SheetRenderer.h"

#include "report/RPBase.h"
#include "report/RPCanvas.h"
#include "surface/GGraphc.h"

#include <QFile>
#include <QPointer>
#include <algorithm>
#include <cmath>

namespace {

constexpr double NudgeUnit = 1.0 / 32.0;
constexpr TColor PreviewOutlineColor = 12632256; // silver

// Loads background art (a bitmap or a metafile, by its name) into `art`: its
// kind, 0 none, 1 metafile, 2 bitmap. Art that cannot be read is left out.
int LoadArt(const QString &file, TPicture &art)
{
    int kind = 0;
    art.Clear();
    if (file.isEmpty())
        return 0;
    const QString upper = file.toUpper();
    if (upper.contains(QLatin1String(".BMP"))) {
        if (QFile::exists(file) && art.LoadFromFile(file) && art.IsBitmap())
            kind = 2;
    } else if (upper.contains(QLatin1String(".WMF"))) {
        if (art.LoadFromFile(file) && art.GraphicKind() == TPicture::Kind::Metafile)
            kind = 1;
    }
    if (kind == 0)
        art.Clear();
    return kind;
}

} // namespace

void TSheetRenderer::SetLayout(const TCardLayout &layout, const TPrinterNudges &nudges)
{
    CardHeight = double(layout.Height);
    CardWidth = double(layout.Width);
    Across = layout.Across;
    Down = layout.Down;
    TopMargin = double(layout.TopMargin) + nudges.TopMarginNudge * NudgeUnit;
    LeftMargin = double(layout.LeftMargin) + nudges.LeftMarginNudge * NudgeUnit;
    VPitch = double(layout.VPitch) + nudges.VerticalSpacing * NudgeUnit;
    HPitch = double(layout.HPitch) + nudges.HorizontalSpacing * NudgeUnit;
    CornerRadius = double(layout.CornerRadius);
}

void TSheetRenderer::SetBackLayout(const TCardLayout &layout, const TDuplexSettings &duplex)
{
    QSizeF paper = layout.PaperInches();
    if (paper.isEmpty())
        paper = QSizeF(8.5, 11.0);
    const TPrinterNudges &n = duplex.BackNudges;
    const double left = double(layout.LeftMargin);
    const double top = double(layout.TopMargin);
    const double hPitch = double(layout.HPitch);
    const double vPitch = double(layout.VPitch);
    ShortEdgeFlip = duplex.ShortEdge;
    // The outermost card of the mirrored grid starts the back page's grid.
    BackLeftMargin = ShortEdgeFlip
                         ? left
                         : paper.width() - left - (std::max(1, layout.Across) - 1) * hPitch -
                               double(layout.Width);
    BackTopMargin = ShortEdgeFlip ? paper.height() - top - (std::max(1, layout.Down) - 1) * vPitch -
                                        double(layout.Height)
                                  : top;
    BackLeftMargin += n.LeftMarginNudge * NudgeUnit;
    BackTopMargin += n.TopMarginNudge * NudgeUnit;
    BackHPitch = hPitch + n.HorizontalSpacing * NudgeUnit;
    BackVPitch = vPitch + n.VerticalSpacing * NudgeUnit;
}

bool TSheetRenderer::Render(TBaseReport &report)
{
    struct Hooks
    {
        TBaseReport &report;
        ~Hooks()
        {
            report.OnBeforePrint = nullptr;
            report.OnPrint = nullptr;
        }
    } hooks{report};
    report.OnBeforePrint = [this](TBaseReport &r) { BeforePrintLabels(r); };
    report.OnPrint = [this](TBaseReport &r) { PrintLabels(r); };
    report.OnAfterPrint = nullptr;
    LoadBackGround();
    return report.Execute();
}

void TSheetRenderer::BeforePrintLabels(TBaseReport &report)
{
    // A two-sided sheet is made here page by page: a queue's copies of the
    // document might come uncollated, fronts and backs apart.
    if (ToPrinter && Copies > 1 && PagesPerSheet() == 1 && MergeCards == 0) {
        auto *device = dynamic_cast<TCanvasReport *>(&report);
        if (device && device->PrinterCopiesItself()) {
            report.SetCopies(Copies);
            Copies = 1;
        }
    }
    report.SetStatusFormat(ToPrinter ? QStringLiteral("Printing Page %p\r%0\r%1")
                                     : QStringLiteral("Preparing Preview Page %p\r%0\r%1"));
    report.SetStatusText({QString(), QString()});
}

bool TSheetRenderer::IsSelected(int index) const
{
    // Positions the selection does not reach print, as all positions are
    // selected when the program starts.
    return index >= PrintSelection.size() || PrintSelection.at(index);
}

bool TSheetRenderer::Stopped(const TBaseReport &report) const
{
    return StopRequested || report.Aborted();
}

void TSheetRenderer::OutlinePosition(TBaseReport &report, double x, double y, TColor color,
                                     bool clearBrush)
{
    if (clearBrush) {
        report.SetBrush(report.BrushColor(), bsClear);
        report.SetPen(color, psSolid, 0, pmCopy);
    }
    if (CornerRadius > 0.0)
        report.RoundRect(x, y, x + CardWidth, y + CardHeight, 2 * CornerRadius, 2 * CornerRadius);
    else
        report.Rectangle(x, y, x + CardWidth, y + CardHeight);
}

void TSheetRenderer::DrawCropMarks(TBaseReport &report, double x, double y)
{
    // A quarter point wide, in whole device pixels.
    const int width = std::max(1, int(std::lround(report.XDPI() / 288.0)));
    report.SetPen(0, psSolid, width, pmCopy);
    const double near = Bleed + CropMarkGap;
    const double far = near + CropMarkLength;
    for (const double edgeX : {x, x + CardWidth}) {
        const double out = edgeX == x ? -1.0 : 1.0;
        for (const double edgeY : {y, y + CardHeight}) {
            const double down = edgeY == y ? -1.0 : 1.0;
            // Along the cut through this corner, outward from the bleed.
            report.MoveTo(edgeX + out * near, edgeY);
            report.LineTo(edgeX + out * far, edgeY);
            report.MoveTo(edgeX, edgeY + down * near);
            report.LineTo(edgeX, edgeY + down * far);
        }
    }
}

void TSheetRenderer::PrintLabels(TBaseReport &report)
{
    // Progress lets events run: an object freed meanwhile is left out.
    const QList<QPointer<TGGraphicControl>> front(Objects.cbegin(), Objects.cend());
    const QList<QPointer<TGGraphicControl>> back =
        PrintsBack() ? QList<QPointer<TGGraphicControl>>(BackObjects.cbegin(), BackObjects.cend())
                     : QList<QPointer<TGGraphicControl>>();
    // Each object prepares its drawing at the first position and places it
    // at the others; what it prepared goes with the job, however it ends.
    struct TJobPreparation
    {
        QList<QPointer<TGGraphicControl>> objects;
        TJobPreparation(const QList<QPointer<TGGraphicControl>> &list)
            : objects(list)
        {
            for (const QPointer<TGGraphicControl> &object : objects)
                if (object)
                    object->BeginPrintJob();
        }
        ~TJobPreparation()
        {
            for (const QPointer<TGGraphicControl> &object : objects)
                if (object)
                    object->EndPrintJob();
        }
    } preparation(PrintsFront() ? front + back : back);

    report.SetMarginLeft(0);
    report.SetMarginTop(0);
    // A job without sheets would never fill a sheet. A two-sided sheet is
    // two pages, the back after its front, as a duplex unit takes them.
    const int sheets = SheetCount();
    // Sheets alike are drawn once where the device can repeat pages.
    const bool repeats = MergeCards == 0 && sheets > 1 && report.CanRepeatPages();
    const int drawn = repeats ? 1 : sheets;
    bool firstPage = true;
    for (int sheet = 0; sheet < drawn; ++sheet) {
        for (const bool backPage : {false, true}) {
            if (backPage ? !PrintsBack() : !PrintsFront())
                continue;
            if (Stopped(report))
                return;
            if (!firstPage)
                report.NewPage();
            firstPage = false;
            PrintSide(report, backPage ? back : front, backPage, sheet * PositionsPerSheet());
        }
    }
    if (drawn < sheets && !Stopped(report))
        report.RepeatPages(PagesPerSheet(), sheets - drawn);
}

int TSheetRenderer::PositionsPerSheet() const
{
    const int positions = std::max(1, Across) * std::max(1, Down);
    int chosen = 0;
    for (int index = 0; index < positions; ++index)
        chosen += IsSelected(index) ? 1 : 0;
    return chosen;
}

int TSheetRenderer::SheetCount() const
{
    if (MergeCards <= 0)
        return ToPrinter ? std::max(1, Copies) : 1;
    // No chosen position would never place a card: one empty sheet.
    const qint64 cards = qint64(MergeCards) * std::max(1, Copies);
    const int perSheet = PositionsPerSheet();
    return perSheet == 0 ? 1 : int((cards + perSheet - 1) / perSheet);
}

QPointF TSheetRenderer::CardCorner(int column, int row, bool back) const
{
    if (!back)
        return QPointF(column * HPitch + LeftMargin, row * VPitch + TopMargin);
    // The back page's grid counts columns (long edge) or rows (short edge)
    // from the other side of the paper.
    const int across = std::max(1, Across);
    const int down = std::max(1, Down);
    const int backColumn = ShortEdgeFlip ? column : across - 1 - column;
    const int backRow = ShortEdgeFlip ? down - 1 - row : row;
    return QPointF(backColumn * BackHPitch + BackLeftMargin, backRow * BackVPitch + BackTopMargin);
}

void TSheetRenderer::PrintSide(TBaseReport &report,
                               const QList<QPointer<TGGraphicControl>> &objects, bool back,
                               int firstCard)
{
    const bool merging = MergeCards > 0;
    const qint64 mergedCards = qint64(MergeCards) * std::max(1, Copies);
    int card = firstCard;
    // A layout without positions still prints its one card.
    const int across = std::max(1, Across);
    const int down = std::max(1, Down);
    const TPicture &art = back ? m_backBackground : m_background;
    const int artKind = back ? BackBackgroundKind : BackgroundKind;
    qsizetype objectsInPart = 0; // drawn on the current part of the page
    for (int row = 0; row < down; ++row) {
        for (int column = 0; column < across; ++column) {
            if (Stopped(report))
                return;
            // The preview ends at the second column: one card, or the
            // column of a layout one card across. Merged sheets differ, so
            // the preview shows them whole.
            if (!ToPrinter && column > 0 && !merging)
                return;
            const int index = row * across + column;
            if (!IsSelected(index))
                continue;
            if (merging) {
                // The last sheet's positions after the last card stay empty.
                if (card >= mergedCards)
                    return;
                m_currentCard = card / std::max(1, Copies);
                ++card;
                if (OnMergeCard)
                    OnMergeCard(m_currentCard);
            }
            const QPointF corner = CardCorner(column, row, back);
            const double x = corner.x();
            const double y = corner.y();
            if (OnPositionStarting)
                OnPositionStarting(index);
            if (Stopped(report))
                return;
            if (objectsInPart > 0 && objectsInPart + objects.size() > ObjectsPerPagePart) {
                report.NewPagePart();
                objectsInPart = 0;
            }
            objectsInPart += std::max<qsizetype>(1, objects.size());

            if (OutlineOnly) {
                OutlinePosition(report, x, y, report.PenColor(), false);
            } else if (CrossesOnly) {
                DrawCross(report, x, y);
            } else {
                // As on screen, nothing of the card reaches past its edges
                // onto the next card or off the sheet.
                const double b = Bleed;
                if (artKind != 0) {
                    report.SetBaseClipRect(x - b, y - b, x + CardWidth + b, y + CardHeight + b);
                    PrintArt(report, art, artKind, x, y);
                    report.ClearBaseClip();
                }
                if (!ToPrinter)
                    OutlinePosition(report, x, y, PreviewOutlineColor, true);
                report.SetBaseClipRect(x - b, y - b, x + CardWidth + b, y + CardHeight + b);
                for (const QPointer<TGGraphicControl> &object : objects)
                    if (object)
                        object->PrintTo(&report, x, y);
                report.ClearBaseClip();
                if (DrawOutlines)
                    OutlinePosition(report, x, y, 0, true);
                if (CropMarks)
                    DrawCropMarks(report, x, y);
            }
            ++m_cardsDrawn;
            if (OnPositionDone)
                OnPositionDone();
        }
    }
}

void TSheetRenderer::DrawCross(TBaseReport &report, double x, double y)
{
    // Half an inch across, with a ring a quarter inch wide: against the
    // light the front's and the back's crosses show how far apart they are.
    const double cx = x + CardWidth / 2.0;
    const double cy = y + CardHeight / 2.0;
    constexpr double arm = 0.25;
    constexpr double ring = 0.125;
    report.SetPen(0, psSolid, 0, pmCopy);
    report.SetBrush(report.BrushColor(), bsClear);
    report.MoveTo(cx - arm, cy);
    report.LineTo(cx + arm, cy);
    report.MoveTo(cx, cy - arm);
    report.LineTo(cx, cy + arm);
    report.Ellipse(cx - ring, cy - ring, cx + ring, cy + ring);
}

void TSheetRenderer::LoadBackGround()
{
    BackgroundKind = LoadArt(BackgroundFile, m_background);
    BackBackgroundKind = HasBack ? LoadArt(BackBackgroundFile, m_backBackground) : 0;
    if (!HasBack)
        m_backBackground.Clear();
}

void TSheetRenderer::PrintBackGround(TBaseReport &report, double x, double y)
{
    PrintArt(report, m_background, BackgroundKind, x, y);
}

void TSheetRenderer::PrintBackSideBackGround(TBaseReport &report, double x, double y)
{
    PrintArt(report, m_backBackground, BackBackgroundKind, x, y);
}

void TSheetRenderer::PrintArt(TBaseReport &report, const TPicture &art, int kind, double x,
                              double y)
{
    if (kind == 0)
        return;
    // The art covers the card as laid out on the sheet, whatever its size,
    // and the bleed around it.
    const double left = x - Bleed, top = y - Bleed;
    const double right = x + CardWidth + Bleed, bottom = y + CardHeight + Bleed;
    if (kind == 2) {
        // A picture too large to hold stops the job with a message; it is
        // not left out unseen.
        const QSize device = report.InchRect(left, top, right, bottom).size();
        report.PrintBitmapRect(left, top, right, bottom,
                               PrintableImage(art, QStringLiteral("the card background"), device));
        return;
    }
    try {
        report.StretchDraw(report.InchRect(left, top, right, bottom), art);
    } catch (const std::exception &) {
        // A metafile background that fails to draw is left out.
    }
}
