#pragma once

#include "document/Desktop.h"
#include "document/ProgramFolder.h"

#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// The shell's own routines: window placements kept in TSC.INI and the
// printer check. The desktop routines every window uses come with them.

// The rectangle a saved placement reads as (edges as stored: Right and Bottom
// are one past the window). Bottom == 0 means nothing was saved.
struct TSavedPlacement
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};
// Where a restored window goes. A saved rectangle sticking out past the right
// or bottom of the screen is moved back by the excess, keeping its size.
// Without a usable saved rectangle the window keeps its size and is centred
// over centreOver, or over the screen when centreOver is null. The top edge is
// never left above the screen, so the title bar stays within reach.
QRect PlacementRect(const TSavedPlacement &saved, const QSize &windowSize, const QRect &screen,
                    const QRect &centreOver = QRect());

// "<ClassName>_Placement", with the screen's logical dpi appended above 96.
QString PlacementSection(const QWidget *window);
void SavePlacement(QWidget *window);
void RestorePlacement(QWidget *window);

// PlacementSection for a class name at a given logical dpi.
QString PlacementSectionFor(const QString &className, int dpi);
// RestorePlacement with the main window given: a window that is not the main
// window is centred over it on a first run. Null means centre on the screen.
void RestorePlacement(QWidget *window, const QWidget *mainWindow);
// The top-level main window, or null.
QWidget *FindMainWindow();

// True when a printer is installed and a default printer is set; with report,
// the reason for false is shown with ShowInformation.
bool PrinterAvailable(bool report);

// The two messages of PrinterAvailable.
extern const char *const NoPrintersMessage;
extern const char *const NoDefaultPrinterMessage;

// The decision of PrinterAvailable: null when printing is possible, else the
// message that explains why not.
const char *PrinterProblem(int printerCount, bool hasDefaultPrinter);
