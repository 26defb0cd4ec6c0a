#include "shell/ShellUtil.h"

#include "shell/IniFile.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>
#include <QtGlobal>

const char *const NoPrintersMessage =
    "There are no installed printers.\r\nUnable to perform printer related operations";
const char *const NoDefaultPrinterMessage =
    "There is no default printer selected.\r\nUnable to perform printer related operations";

namespace {

const char *const kMainWindowClass = "TMainScreen";

void WritePlacement(const QString &section, const QRect &normal, bool maximized)
{
    TIniFile ini(PreferencesPath());
    ini.BeginUpdate();
    ini.WriteInteger(section, QStringLiteral("Left"), normal.left());
    ini.WriteInteger(section, QStringLiteral("Top"), normal.top());
    ini.WriteInteger(section, QStringLiteral("Right"), normal.left() + normal.width());
    ini.WriteInteger(section, QStringLiteral("Bottom"), normal.top() + normal.height());
    ini.WriteBool(section, QStringLiteral("Maximized"), maximized);
    // A placement that cannot be stored is not worth interrupting the user for.
    if (!ini.EndUpdate())
        qWarning("%s", qPrintable(ini.LastError()));
}

} // namespace

QString PlacementSectionFor(const QString &className, int dpi)
{
    QString section = className + QStringLiteral("_Placement");
    if (dpi > 96)
        section += QString::number(dpi);
    return section;
}

QString PlacementSection(const QWidget *window)
{
    const QScreen *screen = window && window->screen() ? window->screen()
                                                       : QGuiApplication::primaryScreen();
    const int dpi = screen ? qRound(screen->logicalDotsPerInch()) : 96;
    return PlacementSectionFor(QString::fromLatin1(window->metaObject()->className()), dpi);
}

void SavePlacement(QWidget *window)
{
    if (!window)
        return;
    QRect normal = window->normalGeometry();
    if (!normal.isValid())
        normal = window->geometry();
    WritePlacement(PlacementSection(window), normal, window->isMaximized());
}

QWidget *FindMainWindow()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (w->inherits(kMainWindowClass))
            return w;
    }
    return nullptr;
}

void RestorePlacement(QWidget *window, const QWidget *mainWindow)
{
    if (!window)
        return;
    const QString section = PlacementSection(window);
    TSavedPlacement saved;
    bool maximize = window->isMaximized();
    {
        TIniFile ini(PreferencesPath());
        saved.Left = ini.ReadInteger(section, QStringLiteral("Left"), 0);
        saved.Top = ini.ReadInteger(section, QStringLiteral("Top"), 0);
        saved.Right = ini.ReadInteger(section, QStringLiteral("Right"), 0);
        saved.Bottom = ini.ReadInteger(section, QStringLiteral("Bottom"), 0);
        maximize = ini.ReadBool(section, QStringLiteral("Maximized"), maximize);
    }

    QRect over;
    if (mainWindow && mainWindow != window && mainWindow->isVisible() && !mainWindow->isMaximized())
        over = mainWindow->geometry();

    window->setGeometry(PlacementRect(saved, window->size(), AvailableScreenRect(window), over));
    const QRect normal = window->geometry(); // after the window's own size limits
    if (maximize)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);

    // Written back at once, so a first run leaves its placement in the file.
    WritePlacement(section, normal, maximize);
}

void RestorePlacement(QWidget *window)
{
    if (!window)
        return;
    const QWidget *main = window->inherits(kMainWindowClass) ? nullptr : FindMainWindow();
    RestorePlacement(window, main);
}

const char *PrinterProblem(int printerCount, bool hasDefaultPrinter)
{
    if (printerCount <= 0)
        return NoPrintersMessage;
    if (!hasDefaultPrinter)
        return NoDefaultPrinterMessage;
    return nullptr;
}

bool PrinterAvailable(bool report)
{
    const char *problem = nullptr;
    try {
        const int count = int(QPrinterInfo::availablePrinters().size());
        const bool hasDefault = count > 0 && !QPrinterInfo::defaultPrinter().isNull();
        problem = PrinterProblem(count, hasDefault);
    } catch (...) {
        return false; // the printer list could not be built: no message
    }
    if (problem && report)
        ShowInformation(QString::fromLatin1(problem));
    return problem == nullptr;
}
