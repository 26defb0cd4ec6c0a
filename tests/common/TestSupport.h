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
// Drops the actions that no dialog took; called at the end of every test.
void ForgetPendingModalActions();

// Readable QString values in test failure messages.
#include <ostream>
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

// An object as another program may have stored it: its values set while
// loading, so no setter rule applies, then read back as a design is read.
#include "document/Filer.h"
#include "document/ObjectStream.h"
#include "shell/CardKinds.h"
template <typename Kind>
Kind *ReadBackAsStored(QObject *owner, const std::function<void(Kind &)> &set)
{
    RegisterCardObjectKinds();
    QObject scratch;
    auto *object = new Kind(&scratch);
    object->SetLoading(true);
    set(*object);
    object->SetLoading(false);
    const QList<TStoredObject *> read =
        TGLabelObjectFiler().ReadObjects(WriteObjectList({object}), owner, nullptr);
    return read.size() == 1 ? qobject_cast<Kind *>(read.first()) : nullptr;
}
