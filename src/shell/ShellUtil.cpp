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

// Larger than any real window (X11 limits windows to 32767 pixels); a saved
// size beyond it can only come from a damaged file.
constexpr qint64 kMaxWindowSide = 32767;

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

QRect PlacementRect(const TSavedPlacement &saved, const QSize &windowSize, const QRect &screen,
                    const QRect &centreOver)
{
    const qint64 screenLeft = screen.x();
    const qint64 screenTop = screen.y();
    const qint64 screenRight = screenLeft + screen.width();
    const qint64 screenBottom = screenTop + screen.height();

    const qint64 width = qint64(saved.Right) - saved.Left;
    const qint64 height = qint64(saved.Bottom) - saved.Top;
    const bool usable = saved.Bottom != 0 && width > 0 && height > 0 && width <= kMaxWindowSide &&
                        height <= kMaxWindowSide;

    qint64 left = 0;
    qint64 top = 0;
    qint64 w = windowSize.width();
    qint64 h = windowSize.height();
    if (usable) {
        left = saved.Left;
        top = saved.Top;
        w = width;
        h = height;
        if (qint64(saved.Right) > screenRight)
            left += screenRight - saved.Right;
        if (qint64(saved.Bottom) > screenBottom)
            top += screenBottom - saved.Bottom;
        // Saved on a screen that is gone: wholly left of this one.
        if (left + w <= screenLeft)
            left = screenLeft;
    } else {
        const QRect over = centreOver.isEmpty() ? screen : centreOver;
        // Integer division truncates toward zero, as the placement rule wants.
        left = over.x() + (qint64(over.width()) - w) / 2;
        top = over.y() + (qint64(over.height()) - h) / 2;
    }
    if (top < screenTop)
        top = screenTop;
    return QRect(int(left), int(top), int(w), int(h));
}

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
