#include "shell/WidgetDesktop.h"

#include "shell/HelpViewer.h"
#include "shell/ShellUtil.h"
#include "surface/ObjectFont.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

namespace {

QString ForDisplay(const QString &message)
{
    QString text = message;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

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

void TWidgetDesktop::ShowInformation(const QString &message)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), ForDisplay(message),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("InformationBox"));
    box.exec();
}

bool TWidgetDesktop::AskYesNo(const QString &message, const QString &caption)
{
    QMessageBox box(QMessageBox::Question, caption, ForDisplay(message),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("AskYesNoBox"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No); // closing the box answers No
    return box.exec() == QMessageBox::Yes;
}

void TWidgetDesktop::ShowHelpTopic(int context)
{
    THelpViewer *viewer = THelpViewer::Instance();
    viewer->ShowTopic(context);
    viewer->Present();
}

void TWidgetDesktop::ShowHelpContents()
{
    THelpViewer *viewer = THelpViewer::Instance();
    viewer->ShowContents();
    viewer->Present();
}

std::optional<QFont> TWidgetDesktop::ChooseFont(const QFont &font, QWidget *parent,
                                                const QString &title, TColor *color)
{
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

QRect TWidgetDesktop::AvailableScreenRect(const QWidget *window)
{
    if (QScreen *screen = ScreenOf(window))
        return screen->availableGeometry();
    return QRect(0, 0, 1024, 768);
}

void TWidgetDesktop::PlaceDialog(QWidget *dialog, const QWidget *over)
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
    if (filter || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    filter = new THelpKeyFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}
