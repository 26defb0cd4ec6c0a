#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QUndoStack;
class TCardModel;
class TGBasePanel;

// The design at one moment, in the design file's own stream form: one record
// per object in painting order (records that did not change are shared with
// the state before, so a step costs only what it changed), the background
// art and the names of the selected objects in selection order.
struct TDesignState
{
    QList<QByteArray> Records;
    QStringList Names; // the object name of each record
    QString BackgroundArt;
    QStringList Selection;

    // The whole design as the design file holds it.
    QByteArray Stream() const;
    bool SameDesign(const TDesignState &other) const
    {
        return Records == other.Records && BackgroundArt == other.BackgroundArt;
    }
};

// Undo and redo for the open design. Every change the design reports is
// noted; once the input that made it is over (no drag under way, no dialog or
// menu open) the design before and after becomes one step on the stack. Arrow
// key nudges less than a second apart are one step.
class TDesignHistory : public QObject
{
    Q_OBJECT

public:
    static constexpr int StepLimit = 100;
    // The steps' designs together stay under this; past it the oldest steps go
    // (a design of large pictures moved a hundred times must not fill memory).
    static constexpr qsizetype DefaultMemoryBudget = qsizetype(128) * 1024 * 1024;
    static constexpr uint32_t NudgeRunMs = 1000;

    // The surface, when the card is shown, gives the selection, the gestures
    // under way, the clock and the zoom; without one, the model alone is
    // recorded and restored.
    TDesignHistory(TCardModel &model, TGBasePanel *surface, QObject *parent = nullptr);
    ~TDesignHistory() override;

    QUndoStack *Stack() const { return m_stack; }

    // The design reported a change; it becomes a step when the input is done.
    void NoteChange();
    // Records the noted change now, unless a drag, a dialog or a menu is
    // still under way. True when a step was added or extended.
    bool CommitPending();
    bool ChangePending() const { return m_pending; }
    // Forgets every step: the design as it is now is where undo starts, and saved.
    void Reset();
    // The design as it is now is the saved one.
    void MarkSaved();
    void SetMemoryBudget(qsizetype bytes) { m_memoryBudget = bytes; }
    // The bytes of the designs the steps hold (shared records counted once).
    qsizetype RetainedBytes() const;

    // Names the step the current input is making (a command whose change the
    // design alone cannot tell, such as "Clone").
    void SetStepName(const QString &name);

    TDesignState Capture() const;
    // Puts the state on the design: only the objects whose records differ
    // from the design as it is are made afresh; the rest stay, and are put in
    // the state's order. When a record is refused the design stays exactly as
    // it was and false is returned.
    bool Restore(const TDesignState &state);

    // After an undo or redo: whether the design now differs from the saved one.
    std::function<void(bool changed)> OnRestored;
    // A step could not be restored; the message says so.
    std::function<void(const QString &message)> OnRestoreFailed;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class TStep;
    friend class TStep;

    bool InputUnderWay() const;
    QString StepName(const TDesignState &before, const TDesignState &after) const;
    uint32_t Now() const;
    void TrimToBudget();

    TCardModel &m_design;
    QPointer<TGBasePanel> m_surface;
    QUndoStack *m_stack = nullptr;
    TDesignState m_current;             // the design as the last step left it
    QStringList m_selectionBeforeInput; // the selection as the latest input began
    QString m_stepHint;                 // the name the current input gives its step
    bool m_pending = false;
    bool m_restoring = false;
    bool m_restored = false; // an undo or redo has just put a state on the design
    bool m_lastInputWasNudge = false;
    bool m_rebuilding = false; // steps are being put back without touching the design
    qsizetype m_memoryBudget = DefaultMemoryBudget;
};
