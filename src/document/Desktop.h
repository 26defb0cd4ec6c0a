#pragma once

#include "graphics/Colors.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>

class QObject;
class QWidget;

// What the card objects, their dialogs and every window above them ask of the
// desktop: the two message boxes, help by topic, the font dialog and where a
// dialog goes. The program installs the desktop of its windows when it starts
// (TApplication); until then, and in tessaro-batch, the console desktop
// answers. Each call opens what it needs and closes it again.
class TDesktop
{
public:
    virtual ~TDesktop();

    // Modal box captioned "Information" with an information icon and an OK button.
    virtual void ShowInformation(const QString &message) = 0;
    // Modal box with the caption, a question icon and Yes / No; true for Yes.
    virtual bool AskYesNo(const QString &message, const QString &caption) = 0;
    // Opens the help window at the topic of a context number, or the contents.
    virtual void ShowHelpTopic(int context) = 0;
    virtual void ShowHelpContents() = 0;
    // Runs the font dialog on a font; empty when cancelled (see ::ChooseFont).
    virtual std::optional<QFont> ChooseFont(const QFont &font, QWidget *parent,
                                            const QString &title, TColor *color) = 0;
    // The part of the screen showing the window that windows may use.
    virtual QRect AvailableScreenRect(const QWidget *window) = 0;
    // Places a dialog before it is shown (see ::PlaceDialog).
    virtual void PlaceDialog(QWidget *dialog, const QWidget *over) = 0;
};

// The desktop without windows: messages go to standard error, questions are
// answered No, help and the font dialog open nothing, dialogs stay where
// they are and the screen is the primary screen.
class TConsoleDesktop : public TDesktop
{
public:
    void ShowInformation(const QString &message) override;
    bool AskYesNo(const QString &message, const QString &caption) override;
    void ShowHelpTopic(int context) override;
    void ShowHelpContents() override;
    std::optional<QFont> ChooseFont(const QFont &font, QWidget *parent, const QString &title,
                                    TColor *color) override;
    QRect AvailableScreenRect(const QWidget *window) override;
    void PlaceDialog(QWidget *dialog, const QWidget *over) override;
};

// Makes desktop the one the calls below go to (null: the console desktop
// again) and hands back the one it replaces.
std::unique_ptr<TDesktop> InstallDesktop(std::unique_ptr<TDesktop> desktop);
TDesktop &Desktop();

// The calls of the installed desktop.
void ShowInformation(const QString &message);
bool AskYesNo(const QString &message, const QString &caption);
void ShowHelpTopic(int context);
void ShowHelpContents();
// Runs the font dialog on a font; empty when cancelled. A design names its
// fonts ("Arial") while the desktop may draw them with a metric twin
// ("Liberation Sans"): the dialog shows the family the name resolves to, and
// unless the user picks another family the result keeps the name. With a
// colour the dialog offers the text colour too, starting from it, and OK
// leaves the chosen one there.
std::optional<QFont> ChooseFont(const QFont &font, QWidget *parent,
                                const QString &title = QString(), TColor *color = nullptr);
QRect AvailableScreenRect(const QWidget *window);
// Places a dialog before it is shown: centred over the window it belongs to
// (its parent's window unless another is named), or on the screen when that
// window is maximised, hidden or absent.
void PlaceDialog(QWidget *dialog, const QWidget *over = nullptr);

// The help topic of a window, opened by F1 while it is active. A window
// without one gets the topic its Help button opens, else its owner's.
void SetHelpTopic(QObject *window, int context);
// 0 when the window has none of its own.
int HelpTopicOf(const QObject *window);
