#pragma once

#include "document/CardLayout.h"
#include "graphics/Colors.h"
#include "graphics/Picture.h"

#include <QList>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <functional>

class TBaseReport;
class TGGraphicControl;

// Which sides of a two-sided design a job prints.
enum class TPrintSides { Both, FrontOnly, BackOnly };

// Draws a sheet of cards on a report: for every chosen position of the
// layout it computes the card's place on the paper (layout and nudges), draws
// the background art and has every object of the card print itself there.
// A design with a back side prints it on the page after each sheet's fronts,
// each back where it lands behind its front once the sheet is turned over.
// A plain class: the status window, tessaro-batch and the preview run it.
class TSheetRenderer
{
public:
    // ---- the job
    // The card's objects in painting order; they print from their bounds at 100 %.
    QList<TGGraphicControl *> Objects;
    int Copies = 1; // sheets to produce
    // One flag per position index (row x Across + column); positions
    // without a flag print.
    QList<bool> PrintSelection;
    bool OutlineOnly = false;
    // A cross at the centre of every chosen position instead of the cards:
    // front and back crosses meet when the back nudges are right.
    bool CrossesOnly = false;
    // Also outline every printed position (clear brush, thinnest pen).
    bool DrawOutlines = false;
    double CardHeight = 2.0; // inches
    double CardWidth = 3.5;
    int Across = 2;
    int Down = 5;
    double TopMargin = 0.5; // inches, nudges included
    double LeftMargin = 0.75;
    double HPitch = 3.5;
    double VPitch = 2.0;
    double CornerRadius = 0.0; // inches: outlines follow round corners
    // A print shop's bleed, in inches: the background art covers the card
    // and this much around it, and objects are cut off this far outside the
    // card instead of at its edge. 0 on sheets, where cards sit side by side.
    double Bleed = 0.0;
    // Thin cut lines at each card's corners, outside the bleed.
    bool CropMarks = false;
    // Where crop marks start outside the bleed, and how long they are (inches).
    static constexpr double CropMarkGap = 1.0 / 24.0;
    static constexpr double CropMarkLength = 0.25;
    QString BackgroundFile;
    int BackgroundKind = 0; // 0 none, 1 metafile, 2 bitmap
    // False for the preview: one card, outlined in silver.
    bool ToPrinter = true;

    // ---- the back side
    // Its objects and art. The back prints when HasBack is set (the design
    // has a back with objects or art); a job without it is one-sided.
    QList<TGGraphicControl *> BackObjects;
    QString BackBackgroundFile;
    int BackBackgroundKind = 0;
    bool HasBack = false;
    TPrintSides Sides = TPrintSides::Both;
    // Where the back of the card in column c, row r of the front lies on the
    // back page: columns (long edge) or rows (short edge) counted from the
    // other side, from these margins and pitches (SetBackLayout).
    bool ShortEdgeFlip = false;
    double BackTopMargin = 0.5;
    double BackLeftMargin = 0.75;
    double BackHPitch = 3.5;
    double BackVPitch = 2.0;
    // A sheet goes to the device in parts of about this many objects'
    // drawing, which the device joins into the sheet (see NewPagePart): a
    // PDF writer then holds one part in memory instead of the whole sheet.
    // The default, some 2 MB of page content for text, keeps a part's own
    // cost in the file (about half a kilobyte) small beside what it holds,
    // and never splits a sheet of an everyday card.
    qsizetype ObjectsPerPagePart = 4096;
    bool StopRequested = false;

    // ---- merge printing: one card per record
    // The number of different cards (0: every sheet alike). They fill the
    // chosen positions in order, sheet after sheet, each card Copies times
    // in a row, on as many sheets as they need; the preview shows them all.
    int MergeCards = 0;
    // Makes the objects of both sides show card n before it is drawn.
    std::function<void(int card)> OnMergeCard;
    // The sheets the job prints.
    int SheetCount() const;
    // The chosen positions of a sheet.
    int PositionsPerSheet() const;
    // The card being drawn (merge printing), or -1.
    int CurrentCard() const { return m_currentCard; }

    // Runs before each position is drawn, with its index (progress, and a
    // chance to let the user stop), and after it has been drawn.
    std::function<void(int index)> OnPositionStarting;
    std::function<void()> OnPositionDone;

    // Takes the card size, counts, margins and pitches of the layout and adds
    // the nudges (1/32 inch each) to the margins and pitches.
    void SetLayout(const TCardLayout &layout, const TPrinterNudges &nudges);
    // The back page's grid: the layout mirrored across the paper's vertical
    // (long edge) or horizontal (short edge) centre line, then the back
    // nudges added as the front's are, looking at the back page.
    void SetBackLayout(const TCardLayout &layout, const TDuplexSettings &duplex);
    // The pages each sheet takes: 2 when both sides of a two-sided design print.
    int PagesPerSheet() const { return PrintsFront() && PrintsBack() ? 2 : 1; }
    bool PrintsFront() const { return !HasBack || Sides != TPrintSides::BackOnly; }
    bool PrintsBack() const { return HasBack && Sides != TPrintSides::FrontOnly; }
    // The top-left corner of the card at a position of the front, on the
    // front page or on the back page, in inches from the paper corner.
    QPointF CardCorner(int column, int row, bool back) const;

    // Runs the whole job on the report: loads the background, then the
    // report's job with the two steps below. False when it was aborted;
    // failures of the report reach the caller as EReportError.
    bool Render(TBaseReport &report);

    // The report's two steps: the copies and status format, then the sheets.
    void BeforePrintLabels(TBaseReport &report);
    void PrintLabels(TBaseReport &report);
    void LoadBackGround();
    void PrintBackGround(TBaseReport &report, double x, double y);
    // The back side's art, loaded by LoadBackGround.
    void PrintBackSideBackGround(TBaseReport &report, double x, double y);

    // The number of positions drawn (all sheets together).
    int CardsDrawn() const { return m_cardsDrawn; }

private:
    // One page of a sheet: the fronts or the backs of every chosen position.
    // A merged sheet starts at card firstCard (of MergeCards x Copies).
    void PrintSide(TBaseReport &report, const QList<QPointer<TGGraphicControl>> &objects,
                   bool back, int firstCard = 0);
    void PrintArt(TBaseReport &report, const TPicture &art, int kind, double x, double y);
    void DrawCross(TBaseReport &report, double x, double y);
    bool IsSelected(int index) const;
    bool Stopped(const TBaseReport &report) const;
    void OutlinePosition(TBaseReport &report, double x, double y, TColor color, bool clearBrush);
    void DrawCropMarks(TBaseReport &report, double x, double y);

    TPicture m_background;
    TPicture m_backBackground;
    int m_cardsDrawn = 0;
    int m_currentCard = -1;
};
