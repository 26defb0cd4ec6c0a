#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// The shell routines every window uses: where the program's files live, the
// two message boxes, help, window placement and the printer check. They keep
// no state; each call opens what it needs and closes it again.

// The per-user data folder, always ending in '/'. Created on first use; when
// it cannot be created the path is still returned (callers' writes then fail
// with their own messages).
QString ProgramFolder();
// ProgramFolder() + "TSC.INI".
QString PreferencesPath();
// ProgramFolder() + "TSC.HLP" (the help topics are shipped inside the program).
QString HelpFilePath();

// Modal box captioned "Information" with an information icon and an OK button.
void ShowInformation(const QString &message);
// Modal box with the caption, a question icon and Yes / No; true for Yes.
bool AskYesNo(const QString &message, const QString &caption);

// Opens the help window at the topic of a context number, or the contents.
void ShowHelpTopic(int context);
void ShowHelpContents();

// "<ClassName>_Placement", with the screen's logical dpi appended above 96.
QString PlacementSection(const QWidget *window);
void SavePlacement(QWidget *window);
void RestorePlacement(QWidget *window);

// PlacementSection for a class name at a given logical dpi.
QString PlacementSectionFor(const QString &className, int dpi);
// RestorePlacement with the main window given: a window that is not the main
// window is centred over it on a first run. Null means centre on the screen.
void RestorePlacement(QWidget *window, const QWidget *mainWindow);
// The top-level TMainScreen, or null.
QWidget *FindMainWindow();
// Places a dialog before it is shown: centred over the main window, or on the
// screen when the main window is maximised or absent.
void PlaceDialog(QWidget *dialog, const QWidget *mainWindow = FindMainWindow());

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

// True when a printer is installed and a default printer is set; with report,
// the reason for false is shown with ShowInformation.
bool PrinterAvailable(bool report);

// The two messages of PrinterAvailable.
extern const char *const NoPrintersMessage;
extern const char *const NoDefaultPrinterMessage;

// The decision of PrinterAvailable: null when printing is possible, else the
// message that explains why not.
const char *PrinterProblem(int printerCount, bool hasDefaultPrinter);
