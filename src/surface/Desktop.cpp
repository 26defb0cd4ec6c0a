#include "surface/Desktop.h"

#include "surface/HelpViewer.h"
#include "surface/ObjectFont.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>
#include <QtGlobal>

namespace {

// Larger than any real window (X11 limits windows to 32767 pixels); a saved
// size beyond it can only come from a damaged file.
constexpr qint64 kMaxWindowSide = 32767;

bool HaveWidgets()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

QString ForDisplay(const QString &message)
{
    QString text = message;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

const char *const kHelpTopicProperty = "tessaroHelpTopic";

// The Help button of a window: the dialogs name theirs "HelpButton" (some
// "Helpbutton").
QAbstractButton *HelpButtonOf(QWidget *window)
{
    const QList<QAbstractButton *> buttons = window->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (button->objectName().compare(QLatin1String("HelpButton"), Qt::CaseInsensitive) == 0 &&
            button->window() == window && button->isVisibleTo(window) && button->isEnabled())
            return button;
    }
    return nullptr;
}

// F1 anywhere, and the help window kept out of the reach of modal dialogs.
class THelpKeyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
            auto *key = static_cast<QKeyEvent *>(event);
            const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
            if (key->key() == Qt::Key_F1 && mods == Qt::NoModifier) {
                ShowHelpFor(static_cast<QWidget *>(watched)->window());
                return true;
            }
        }
        // A dialog that opens while the help is on screen would otherwise
        // freeze the help until it closes.
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && widget->isModal()) {
                if (THelpViewer *viewer = THelpViewer::Existing();
                    viewer && viewer != widget && viewer->isVisible())
                    viewer->StayUsableBeside(widget);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

QScreen *ScreenOf(const QWidget *window)
{
    if (window) {
        if (QScreen *screen = window->screen())
            return screen;
    }
    return QGuiApplication::primaryScreen();
}

} // namespace

QRect AvailableScreenRect(const QWidget *window)
{
    if (QScreen *screen = ScreenOf(window))
        return screen->availableGeometry();
    return QRect(0, 0, 1024, 768);
}

QString ProgramFolder()
{
    static bool reported = false;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.local/share/Tessaro");
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    if (!QDir().mkpath(folder) && !reported) {
        reported = true; // before showing: the box's event loop may call us again
        ShowInformation(QStringLiteral("Unable to create the folder %1.\r\n"
                                       "Designs and settings cannot be saved.")
                            .arg(QDir::toNativeSeparators(folder)));
    }
    return folder;
}

QString PreferencesPath()
{
    return ProgramFolder() + QStringLiteral("TSC.INI");
}

QString HelpFilePath()
{
    return ProgramFolder() + QStringLiteral("TSC.HLP");
}

void ShowInformation(const QString &message)
{
    if (!HaveWidgets()) {
        qWarning("%s", qPrintable(ForDisplay(message)));
        return;
    }
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), ForDisplay(message),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("InformationBox"));
    box.exec();
}

bool AskYesNo(const QString &message, const QString &caption)
{
    if (!HaveWidgets())
        return false;
    QMessageBox box(QMessageBox::Question, caption, ForDisplay(message),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("AskYesNoBox"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No); // closing the box answers No
    return box.exec() == QMessageBox::Yes;
}

void ShowHelpTopic(int context)
{
    if (!HaveWidgets())
        return;
    THelpViewer *viewer = THelpViewer::Instance();
    viewer->ShowTopic(context);
    viewer->Present();
}

void ShowHelpContents()
{
    if (!HaveWidgets())
        return;
    THelpViewer *viewer = THelpViewer::Instance();
    viewer->ShowContents();
    viewer->Present();
}

void SetHelpTopic(QWidget *window, int context)
{
    if (window)
        window->setProperty(kHelpTopicProperty, context);
}

int HelpTopicOf(const QWidget *window)
{
    return window ? window->property(kHelpTopicProperty).toInt() : 0;
}

void ShowHelpFor(QWidget *window)
{
    for (QWidget *w = window ? window->window() : nullptr; w;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
        if (const int context = HelpTopicOf(w)) {
            ShowHelpTopic(context);
            return;
        }
        if (QAbstractButton *help = HelpButtonOf(w)) {
            help->click();
            return;
        }
    }
    ShowHelpContents();
}

void InstallHelpKey()
{
    static QObject *filter = nullptr;
    if (filter || !HaveWidgets())
        return;
    filter = new THelpKeyFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}

std::optional<QFont> ChooseFont(const QFont &font, QWidget *parent, const QString &title,
                                TColor *color)
{
    if (!HaveWidgets())
        return std::nullopt;
    // The dialog lists installed families (and the symbol families the
    // program draws itself): given a name that fontconfig draws with a twin
    // it would fall back to a generic family, and OK would change the font.
    // Show the twin instead, with its styles.
    const QString shown = TFontDialog::ListedFamily(font.family());
    QFont preset(font);
    preset.setFamily(shown);
    // The dialog finds the preset's style by name. A family whose upright
    // style is not "Normal" or "Regular" (DejaVu's is "Book") would start on
    // its first style, and OK would turn the font oblique: name the style that
    // matches, the plainest first (not "Condensed").
    QString matching;
    for (const QString &style : QFontDatabase::styles(shown)) {
        const QFont candidate = QFontDatabase::font(shown, style, 12);
        if (candidate.weight() == preset.weight() && candidate.italic() == preset.italic() &&
            (matching.isEmpty() || style.size() < matching.size()))
            matching = style;
    }
    if (!matching.isEmpty())
        preset.setStyleName(matching);
    TFontDialog dialog(preset, parent);
    if (color)
        dialog.ShowColor(*color);
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    PlaceDialog(&dialog, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (color)
        *color = dialog.Color();
    QFont chosen = dialog.ChosenFont();
    // Weight and slant say the style; a style name would outrank later changes.
    chosen.setStyleName(QString());
    if (chosen.family().compare(shown, Qt::CaseInsensitive) == 0)
        chosen.setFamily(font.family());
    return chosen;
}

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

void PlaceDialog(QWidget *dialog, const QWidget *over)
{
    if (!dialog)
        return;
    if (!over && dialog->parentWidget())
        over = dialog->parentWidget()->window();
    dialog->adjustSize();
    QRect centre;
    if (over && over != dialog && over->isVisible() && !over->isMaximized())
        centre = over->geometry();
    dialog->move(
        PlacementRect(TSavedPlacement(), dialog->size(), AvailableScreenRect(dialog), centre)
            .topLeft());
}
