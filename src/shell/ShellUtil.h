#pragma once

#include "surface/Desktop.h"

#include <QString>

class QWidget;

// The shell's own routines: window placements kept in TSC.INI and the
// printer check. The desktop routines every window uses come with them.

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
