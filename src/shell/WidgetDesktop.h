#pragma once

#include "document/Desktop.h"

// The desktop of the program's windows: message boxes over the active window,
// the help window, the program's font dialog and dialogs placed over their
// owners. TApplication installs it for its lifetime.
class TWidgetDesktop : public TDesktop
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

// Opens the help for a window as F1 does.
void ShowHelpFor(QWidget *window);
// Makes F1 open the help of the window it is pressed in, everywhere in the
// program, and keeps an open help window usable beside modal dialogs.
void InstallHelpKey();
