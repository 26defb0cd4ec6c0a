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
    if (ToPrinter && Copies > 1) {
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
    const QList<QPointer<TGGraphicControl>> objects(Objects.cbegin(), Objects.cend());
    // Each object prepares its drawing at the first position and places it
    // at the others; what it prepared goes with the job, however it ends.
    struct TJobPreparation
    {
        const QList<QPointer<TGGraphicControl>> &objects;
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
    } preparation(objects);

    report.SetMarginLeft(0);
    report.SetMarginTop(0);
    // A layout without positions or a job without sheets would never fill a sheet.
    const int across = std::max(1, Across);
    const int down = std::max(1, Down);
    const int sheets = ToPrinter ? std::max(1, Copies) : 1;

    int column = -1;
    int row = 0;
    qsizetype objectsInPart = 0; // drawn on the current part of the sheet
    for (;;) {
        if (Stopped(report))
            break;
        ++column;
        if (column + 1 > across) {
            column = 0;
            ++row;
        }
        if (!ToPrinter && column > 0)
            break;
        if (row + 1 > down) {
            if (report.CurrentPage() >= sheets)
                break;
            report.NewPage();
            objectsInPart = 0;
            column = 0;
            row = 0;
        }
        const int index = row * across + column;
        if (!IsSelected(index))
            continue;
        const double x = column * HPitch + LeftMargin;
        const double y = row * VPitch + TopMargin;
        if (OnPositionStarting)
            OnPositionStarting(index);
        if (Stopped(report))
            break;
        if (objectsInPart > 0 && objectsInPart + objects.size() > ObjectsPerPagePart) {
            report.NewPagePart();
            objectsInPart = 0;
        }
        objectsInPart += std::max<qsizetype>(1, objects.size());

        if (OutlineOnly) {
            OutlinePosition(report, x, y, report.PenColor(), false);
        } else {
            // As on screen, nothing of the card reaches past its edges onto
            // the next card or off the sheet.
            const double b = Bleed;
            if (BackgroundKind != 0) {
                report.SetBaseClipRect(x - b, y - b, x + CardWidth + b, y + CardHeight + b);
                PrintBackGround(report, x, y);
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

void TSheetRenderer::LoadBackGround()
{
    BackgroundKind = 0;
    m_background.Clear();
    if (BackgroundFile.isEmpty())
        return;
    const QString upper = BackgroundFile.toUpper();
    if (upper.contains(QLatin1String(".BMP"))) {
        if (QFile::exists(BackgroundFile) && m_background.LoadFromFile(BackgroundFile) &&
            m_background.IsBitmap())
            BackgroundKind = 2;
    } else if (upper.contains(QLatin1String(".WMF"))) {
        if (m_background.LoadFromFile(BackgroundFile) &&
            m_background.GraphicKind() == TPicture::Kind::Metafile)
            BackgroundKind = 1;
    }
    if (BackgroundKind == 0)
        m_background.Clear();
}

void TSheetRenderer::PrintBackGround(TBaseReport &report, double x, double y)
{
    if (BackgroundKind == 0)
        return;
    // The art covers the card as laid out on the sheet, whatever its size,
    // and the bleed around it.
    const double left = x - Bleed, top = y - Bleed;
    const double right = x + CardWidth + Bleed, bottom = y + CardHeight + Bleed;
    if (BackgroundKind == 2) {
        // A picture too large to hold stops the job with a message; it is
        // not left out unseen.
        const QSize device = report.InchRect(left, top, right, bottom).size();
        report.PrintBitmapRect(
            left, top, right, bottom,
            PrintableImage(m_background, QStringLiteral("the card background"), device));
        return;
    }
    try {
        report.StretchDraw(report.InchRect(left, top, right, bottom), m_background);
    } catch (const std::exception &) {
        // A metafile background that fails to draw is left out.
    }
}
