#include "document/Desktop.h"

#include <QGuiApplication>
#include <QObject>
#include <QScreen>
#include <QVariant>
#include <cstdio>

namespace {

const char *const kHelpTopicProperty = "tessaroHelpTopic";

std::unique_ptr<TDesktop> &Installed()
{
    static std::unique_ptr<TDesktop> desktop = std::make_unique<TConsoleDesktop>();
    return desktop;
}

} // namespace

TDesktop::~TDesktop() = default;

void TConsoleDesktop::ShowInformation(const QString &message)
{
    QString text = message;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fputs(qPrintable(text + QLatin1Char('\n')), stderr);
    std::fflush(stderr);
}

bool TConsoleDesktop::AskYesNo(const QString &, const QString &)
{
    return false;
}

void TConsoleDesktop::ShowHelpTopic(int) {}

void TConsoleDesktop::ShowHelpContents() {}

std::optional<QFont> TConsoleDesktop::ChooseFont(const QFont &, QWidget *, const QString &,
                                                 TColor *)
{
    return std::nullopt;
}

QRect TConsoleDesktop::AvailableScreenRect(const QWidget *)
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        if (QScreen *screen = QGuiApplication::primaryScreen())
            return screen->availableGeometry();
    return QRect(0, 0, 1024, 768);
}

void TConsoleDesktop::PlaceDialog(QWidget *, const QWidget *) {}

std::unique_ptr<TDesktop> InstallDesktop(std::unique_ptr<TDesktop> desktop)
{
    std::unique_ptr<TDesktop> previous = std::move(Installed());
    Installed() = desktop ? std::move(desktop) : std::make_unique<TConsoleDesktop>();
    return previous;
}

TDesktop &Desktop()
{
    return *Installed();
}

void ShowInformation(const QString &message)
{
    Desktop().ShowInformation(message);
}

bool AskYesNo(const QString &message, const QString &caption)
{
    return Desktop().AskYesNo(message, caption);
}

void ShowHelpTopic(int context)
{
    Desktop().ShowHelpTopic(context);
}

void ShowHelpContents()
{
    Desktop().ShowHelpContents();
}

std::optional<QFont> ChooseFont(const QFont &font, QWidget *parent, const QString &title,
                                TColor *color)
{
    return Desktop().ChooseFont(font, parent, title, color);
}

QRect AvailableScreenRect(const QWidget *window)
{
    return Desktop().AvailableScreenRect(window);
}

void PlaceDialog(QWidget *dialog, const QWidget *over)
{
    Desktop().PlaceDialog(dialog, over);
}

void SetHelpTopic(QObject *window, int context)
{
    if (window)
        window->setProperty(kHelpTopicProperty, context);
}

int HelpTopicOf(const QObject *window)
{
    return window ? window->property(kHelpTopicProperty).toInt() : 0;
}
