#pragma once

#include "graphics/Colors.h"

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

class QWidget;

// What the card objects, their dialogs and every window above them ask of the
// desktop: where the program's files live, the two message boxes, help by
// topic and where a dialog goes. They keep no state; each call opens what it
// needs and closes it again.

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
// The help topic of a window, opened by F1 while it is active. A window
// without one gets the topic its Help button opens, else its owner's.
void SetHelpTopic(QWidget *window, int context);
// 0 when the window has none of its own.
int HelpTopicOf(const QWidget *window);
// Opens the help for a window as F1 does.
void ShowHelpFor(QWidget *window);
// Makes F1 open the help of the window it is pressed in, everywhere in the
// program, and keeps an open help window usable beside modal dialogs.
void InstallHelpKey();

// Runs the font dialog on a font; empty when cancelled. A design names its
// fonts ("Arial") while the desktop may draw them with a metric twin
// ("Liberation Sans"): the dialog shows the family the name resolves to, and
// unless the user picks another family the result keeps the name. With a
// colour the dialog offers the text colour too, starting from it, and OK
// leaves the chosen one there.
std::optional<QFont> ChooseFont(const QFont &font, QWidget *parent,
                                const QString &title = QString(), TColor *color = nullptr);

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
// The part of the screen showing the window that windows may use.
QRect AvailableScreenRect(const QWidget *window);

// Places a dialog before it is shown: centred over the window it belongs to
// (its parent's window unless another is named), or on the screen when that
// window is maximised, hidden or absent.
void PlaceDialog(QWidget *dialog, const QWidget *over = nullptr);
