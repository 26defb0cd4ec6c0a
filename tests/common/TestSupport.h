#pragma once

#include "surface/TickClock.h"

#include <QMessageBox>
#include <QString>
#include <functional>

// A clock the test moves by hand.
class TFakeClock : public TTickClock
{
public:
    uint32_t Now() const override { return m_now; }
    void Advance(uint32_t ms) { m_now += ms; }
    void Set(uint32_t ms) { m_now = ms; }

private:
    uint32_t m_now = 100000;
};

// Answers the next modal dialog that opens with the given button and records
// its caption and text. Call before the code that opens it.
struct TDialogAnswer
{
    QString title;
    QString text;
    bool seen = false;
};
void AnswerNextMessageBox(QMessageBox::StandardButton button, TDialogAnswer *record = nullptr);
// Runs an action on the next modal widget that opens (for custom dialogs).
void OnNextModal(std::function<void(QWidget *)> action);

// Readable QString values in test failure messages.
#include <ostream>
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
