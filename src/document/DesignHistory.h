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
class TStoredObject;

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

// What undo asks of the view that shows the card (the design surface).
class TDesignView
{
public:
    virtual ~TDesignView() = default;
    // The selected objects' names, in selection order.
    virtual QStringList SelectedNames() const = 0;
    virtual void SelectNamed(const QStringList &names) = 0;
    // An object undo has just made afresh (read at 100 %) is to be shown.
    virtual void ShowRestoredObject(TStoredObject *object) = 0;
    // A gesture, a dialog or a menu is under way: a change made outside a
    // command waits for it to end.
    virtual bool InputUnderWay() const = 0;
    // Milliseconds, for the rule that joins nudges.
    virtual uint32_t Now() const = 0;
};

// Undo and redo for one card. Each command that changes the design opens a
// step with its name (TUndoStep, "Move", "Delete", ...) and closes it when it
// is done; the design before and after becomes one step on the stack. Arrow
// key nudges less than a second apart are one step. A change made outside any
// command still becomes a step, once the program waits for the next input.
class TDesignHistory : public QObject
{
    Q_OBJECT

public:
    static constexpr int StepLimit = 100;
    // The steps' designs together stay under this; past it the oldest steps go
    // (a design of large pictures moved a hundred times must not fill memory).
    static constexpr qsizetype DefaultMemoryBudget = qsizetype(128) * 1024 * 1024;
    static constexpr uint32_t NudgeRunMs = 1000;

    explicit TDesignHistory(TCardModel &model, QObject *parent = nullptr);
    ~TDesignHistory() override;

    QUndoStack *Stack() const { return m_stack; }

    // A menu item's caption as a step name: no accelerator, no ellipsis.
    static QString NameOfCaption(QString caption);

    // ---- steps
    // Opens a step; steps opened within it are part of it. The first name
    // given (here or by SetStepName) names it; a nudge step joins the nudge
    // steps just before it.
    void BeginStep(const QString &name, bool nudge = false);
    // Closes it; the outermost records the change it made, if any.
    void EndStep();
    bool StepOpen() const { return m_depth > 0; }
    // Names the open step (or, with none open, the next change recorded).
    void SetStepName(const QString &name);
    // Marks the open step as a nudge of the arrow keys.
    void MarkNudge() { m_stepNudge = true; }

    // ---- changes outside steps
    // The design reported a change; outside a step it is recorded when the
    // input is done.
    void NoteChange();
    // Records the noted change now, unless a step or an input is still under
    // way. True when a step was added or extended.
    bool CommitPending();
    bool ChangePending() const { return m_pending; }

    // Forgets every step: the design as it is now is where undo starts, and saved.
    void Reset();
    // The design as it is now is the saved one.
    void MarkSaved();
    void SetMemoryBudget(qsizetype bytes) { m_memoryBudget = bytes; }
    // The bytes of the designs the steps hold (shared records counted once).
    qsizetype RetainedBytes() const;

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

private:
    class TStep;
    friend class TStep;

    TDesignView *View() const;
    QStringList SelectedNames() const;
    bool CommitPendingNow();
    // Adds the step from the design as the last step left it to the design
    // as it is; nothing when they are the same. True when a step was added.
    bool Record(const QStringList &selectionBefore, const QString &name, bool nudge);
    QString StepName(const TDesignState &before, const TDesignState &after) const;
    uint32_t Now() const;
    void TrimToBudget();

    TCardModel &m_design;
    QUndoStack *m_stack = nullptr;
    TDesignState m_current;         // the design as the last step left it
    int m_depth = 0;                // steps open
    QString m_stepName;             // the open step's name
    bool m_stepNudge = false;
    bool m_stepChanged = false;     // the open step has heard of a change
    // What the change waiting to be recorded is called and whether it is a nudge.
    QString m_pendingName;
    bool m_pendingNudge = false;
    QStringList m_selectionBefore;  // as the open step began, or the first change outside one
    bool m_pending = false;
    bool m_restoring = false;
    bool m_restored = false; // an undo or redo has just put a state on the design
    bool m_rebuilding = false; // steps are being put back without touching the design
    qsizetype m_memoryBudget = DefaultMemoryBudget;
};

// A command's step: opened as it is made, closed as it goes. Without a
// history (a card no one can undo) it does nothing.
class TUndoStep
{
public:
    TUndoStep(TDesignHistory *history, const QString &name, bool nudge = false);
    ~TUndoStep();
    TUndoStep(const TUndoStep &) = delete;
    TUndoStep &operator=(const TUndoStep &) = delete;

private:
    QPointer<TDesignHistory> m_history;
};
