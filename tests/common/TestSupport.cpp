#include "common/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

void OnNextModal(std::function<void(QWidget *)> action)
{
    // Polls until a modal widget is up, then acts on it once.
    auto *timer = new QTimer;
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
