#include "common/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTimer>

namespace {
// The actions still waiting for a modal widget; a test's end drops them, so
// none acts on the next test's dialogs with the finished test's variables.
QList<QPointer<QTimer>> &PendingModalActions()
{
    static QList<QPointer<QTimer>> pending;
    return pending;
}
} // namespace

void ForgetPendingModalActions()
{
    for (const QPointer<QTimer> &timer : std::as_const(PendingModalActions()))
        delete timer.data();
    PendingModalActions().clear();
}

void OnNextModal(std::function<void(QWidget *)> action)
{
    // Polls until a modal widget is up, then acts on it once.
    auto *timer = new QTimer;
    PendingModalActions().append(timer);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action, tries] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            if (++*tries > 500) // 5 s: give up so a broken test fails instead of hanging
                timer->deleteLater();
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start(10);
}

void AnswerNextMessageBox(QMessageBox::StandardButton button, TDialogAnswer *record)
{
    OnNextModal([button, record](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            modal->close();
            return;
        }
        if (record) {
            record->title = box->windowTitle();
            record->text = box->text();
            record->seen = true;
        }
        if (QAbstractButton *b = box->button(button))
            b->click();
        else
            box->reject();
    });
}
