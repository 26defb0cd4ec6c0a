#include "document/DesignHistory.h"

#include "document/CardModel.h"
#include "document/ObjectStream.h"
#include "document/StreamIO.h"

#include <QAbstractEventDispatcher>
#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <utility>
#include <QUndoCommand>
#include <QUndoStack>

namespace {

// The stored properties of one object record, path to value text.
QMap<QString, QString> RecordEntries(const QByteArray &record)
{
    QMap<QString, QString> entries;
    try {
        TStreamReader reader(record);
        reader.ReadSignature();
        reader.SkipRecordPrefix();
        reader.ReadShortName(); // class
        reader.ReadShortName(); // name
        while (!reader.EndOfList()) {
            const QString path = reader.ReadShortName();
            entries.insert(path, reader.ValueText());
        }
    } catch (const EStreamError &) {
        // Our own records always read; a name is all this is for.
    }
    return entries;
}

} // namespace

QByteArray TDesignState::Stream() const
{
    QByteArray stream;
    qsizetype size = 2;
    for (const QByteArray &record : Records)
        size += record.size();
    stream.reserve(size);
    stream.append(char(TStreamValue::svList));
    for (const QByteArray &record : Records)
        stream.append(record);
    stream.append(char(TStreamValue::svNull));
    return stream;
}

// One step: the design before and after it. The first redo is the change the
// user has just made, so it has nothing to do.
class TDesignHistory::TStep : public QUndoCommand
{
public:
    enum { NudgeId = 1 };

    TStep(TDesignHistory &history, TDesignState before, TDesignState after, const QString &name,
          bool nudge, uint32_t tick)
        : QUndoCommand(name)
        , m_history(history)
        , m_before(std::move(before))
        , m_after(std::move(after))
        , m_nudge(nudge)
        , m_tick(tick)
    {
    }

    int id() const override { return m_nudge ? NudgeId : -1; }

    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const TStep *>(other);
        if (!next->m_nudge || next->m_tick - m_tick >= TDesignHistory::NudgeRunMs)
            return false;
        m_after = next->m_after;
        m_tick = next->m_tick;
        // Nudged back to where the run started: nothing left to undo.
        setObsolete(m_before.SameDesign(m_after));
        return true;
    }

    void undo() override { Apply(m_before, true); }
    void redo() override
    {
        if (m_firstRedo) {
            m_firstRedo = false;
            return;
        }
        Apply(m_after, false);
    }

private:
    void Apply(const TDesignState &state, bool undoing)
    {
        if (m_history.m_rebuilding)
            return;
        if (m_keepDesign) {
            m_keepDesign = false;
            return;
        }
        if (m_history.Restore(state)) {
            m_history.m_restored = true;
            return;
        }
        // The design is as it was; the stack goes back to match it. The
        // step that brings it back has nothing to restore.
        QUndoStack *stack = m_history.m_stack;
        m_keepDesign = true;
        QMetaObject::invokeMethod(
            stack, [stack, undoing] { undoing ? stack->redo() : stack->undo(); },
            Qt::QueuedConnection);
    }

    friend class TDesignHistory;
    TDesignHistory &m_history;
    TDesignState m_before;
    TDesignState m_after;
    bool m_nudge;
    uint32_t m_tick;
    bool m_firstRedo = true;
    bool m_keepDesign = false;
};

TDesignHistory::TDesignHistory(TCardModel &model, QObject *parent)
    : QObject(parent)
    , m_design(model)
    , m_stack(new QUndoStack(this))
{
    m_stack->setObjectName(QStringLiteral("UndoStack"));
    m_stack->setUndoLimit(StepLimit);
    connect(m_stack, &QUndoStack::indexChanged, this, [this] {
        if (!m_restored)
            return;
        m_restored = false;
        if (OnRestored)
            OnRestored(!m_stack->isClean());
    });
    // A noted change is recorded when the program waits for the next input:
    // by then the command, its dialogs and its pending work are done.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (m_pending)
                CommitPending();
        });
    // Every change the card hears of is noted; those made outside a command
    // become a step once the input is done.
    for (auto signal : {&TCardModel::objectInserted, &TCardModel::objectRemoved,
                        &TCardModel::objectChanged})
        connect(&model, signal, this, [this] { NoteChange(); });
    connect(&model, &TCardModel::orderChanged, this, [this] { NoteChange(); });
    connect(&model, &TCardModel::backgroundArtChanged, this, [this] { NoteChange(); });
    m_current = Capture();
}

TDesignHistory::~TDesignHistory() = default;

TDesignView *TDesignHistory::View() const
{
    return m_design.View();
}

QStringList TDesignHistory::SelectedNames() const
{
    const TDesignView *view = View();
    return view ? view->SelectedNames() : QStringList();
}

uint32_t TDesignHistory::Now() const
{
    const TDesignView *view = View();
    return view ? view->Now() : uint32_t(QDateTime::currentMSecsSinceEpoch());
}

void TDesignHistory::BeginStep(const QString &name, bool nudge)
{
    if (m_depth++ == 0) {
        // A change noted before belongs to what came before.
        if (m_pending)
            CommitPendingNow();
        m_stepName.clear();
        m_stepNudge = false;
        m_stepChanged = false;
        m_selectionBefore = SelectedNames();
    }
    if (m_stepName.isEmpty())
        m_stepName = name;
    m_stepNudge = m_stepNudge || nudge;
}

void TDesignHistory::EndStep()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    // A command that changed nothing (a copy, a click) costs no look at the design.
    if (m_stepChanged && !m_restoring) {
        // On a card shown in a window the step is recorded when the program
        // next waits for input: what the change sets off once the command is
        // over (the layout of the next paint, posted work) belongs to it.
        m_pending = true;
        m_pendingName = m_stepName;
        m_pendingNudge = m_stepNudge;
        if (!View())
            CommitPendingNow();
    }
    m_stepChanged = false;
    m_stepName.clear();
    m_stepNudge = false;
}

void TDesignHistory::NoteChange()
{
    if (m_restoring)
        return;
    if (m_depth > 0) {
        m_stepChanged = true;
        return;
    }
    if (m_pending)
        return;
    // A change outside any command: a step of its own once the input is done.
    m_pending = true;
    m_pendingName.clear();
    m_pendingNudge = false;
    m_selectionBefore = m_current.Selection;
}

bool TDesignHistory::CommitPending()
{
    if (!m_pending || m_depth > 0)
        return false;
    if (const TDesignView *view = View(); view && view->InputUnderWay())
        return false;
    return CommitPendingNow();
}

bool TDesignHistory::CommitPendingNow()
{
    m_pending = false;
    const QString name = m_pendingName;
    m_pendingName.clear();
    return Record(m_selectionBefore, name, std::exchange(m_pendingNudge, false));
}

bool TDesignHistory::Record(const QStringList &selectionBefore, const QString &name, bool nudge)
{
    TDesignState after = Capture();
    if (after.SameDesign(m_current)) {
        m_current.Selection = after.Selection;
        return false;
    }
    TDesignState before = m_current;
    before.Selection = selectionBefore;
    const QString stepName = name.isEmpty() ? StepName(before, after) : name;
    m_current = after;
    m_stack->push(new TStep(*this, std::move(before), std::move(after), stepName, nudge, Now()));
    TrimToBudget();
    return true;
}

namespace {

struct TByteCount
{
    QSet<const char *> seen;
    qsizetype total = 0;
    void Add(const TDesignState &state)
    {
        for (const QByteArray &record : state.Records) {
            if (!seen.contains(record.constData())) {
                seen.insert(record.constData());
                total += record.size();
            }
        }
    }
};

} // namespace

qsizetype TDesignHistory::RetainedBytes() const
{
    TByteCount count;
    count.Add(m_current);
    for (int i = 0; i < m_stack->count(); ++i) {
        const auto *step = static_cast<const TStep *>(m_stack->command(i));
        count.Add(step->m_before);
        count.Add(step->m_after);
    }
    return count.total;
}

void TDesignHistory::TrimToBudget()
{
    if (m_stack->count() < 2 || RetainedBytes() <= m_memoryBudget)
        return;
    struct TKept
    {
        TDesignState before;
        TDesignState after;
        QString name;
    };
    QList<TKept> steps;
    for (int i = 0; i < m_stack->count(); ++i) {
        const auto *step = static_cast<const TStep *>(m_stack->command(i));
        steps.append({step->m_before, step->m_after, step->text()});
    }
    // The oldest go until the rest fit; the latest step always stays.
    qsizetype drop = 0;
    while (drop + 1 < steps.size()) {
        ++drop;
        TByteCount count;
        count.Add(m_current);
        for (qsizetype i = drop; i < steps.size(); ++i) {
            count.Add(steps.at(i).before);
            count.Add(steps.at(i).after);
        }
        if (count.total <= m_memoryBudget)
            break;
    }
    // QUndoStack cannot drop its oldest commands: the rest are put back on a
    // cleared stack, at the same place and with the same saved point, without
    // touching the design.
    const int index = m_stack->index() - int(drop);
    const int clean = m_stack->cleanIndex() - int(drop);
    m_rebuilding = true;
    m_stack->clear();
    for (qsizetype i = drop; i < steps.size(); ++i) {
        TKept &kept = steps[i];
        m_stack->push(
            new TStep(*this, std::move(kept.before), std::move(kept.after), kept.name, false, 0));
    }
    if (clean >= 0 && clean <= m_stack->count()) {
        m_stack->setIndex(clean);
        m_stack->setClean();
    } else {
        m_stack->resetClean();
    }
    m_stack->setIndex(std::max(0, index));
    m_rebuilding = false;
}

void TDesignHistory::Reset()
{
    m_pending = false;
    m_pendingName.clear();
    m_stepName.clear();
    m_stack->clear();
    m_current = Capture();
    m_stack->setClean();
}

void TDesignHistory::MarkSaved()
{
    CommitPending();
    m_stack->setClean();
}

TDesignState TDesignHistory::Capture() const
{
    TDesignState state;
    state.BackgroundArt = m_design.BackgroundArtFile();
    state.Selection = SelectedNames();
    // Records that did not change share the bytes of the state before; an
    // object is looked for at its own index first, where it nearly always is.
    QHash<QString, qsizetype> previous;
    auto indexBefore = [&](qsizetype i, const QString &name) -> qsizetype {
        if (i < m_current.Names.size() && m_current.Names.at(i) == name)
            return i;
        if (previous.isEmpty()) {
            for (qsizetype j = 0; j < m_current.Names.size(); ++j)
                previous.insert(m_current.Names.at(j), j);
        }
        return previous.value(name, -1);
    };
    // Records hold the bounds at 100 % whatever the zoom, as a save would
    // write them, without re-zooming the card after every input.
    const TFullSizeRecords fullSize;
    const QList<TStoredObject *> &objects = m_design.Objects();
    state.Records.reserve(objects.size());
    state.Names.reserve(objects.size());
    for (qsizetype i = 0; i < objects.size(); ++i) {
        const TStoredObject *object = objects.at(i);
        TStreamWriter writer;
        writer.KeepUnicode = true;
        WriteRootObject(writer, *object);
        QByteArray record = writer.TakeData();
        const QString name = object->Name();
        const qsizetype same = indexBefore(i, name);
        if (same >= 0 && m_current.Records.at(same) == record)
            record = m_current.Records.at(same);
        state.Records.append(record);
        state.Names.append(name);
    }
    return state;
}

bool TDesignHistory::Restore(const TDesignState &state)
{
    // The objects whose records are the same in both states stay as they are;
    // only the others are read afresh (an undone nudge of one object out of
    // hundreds makes one object). The design as it is now is m_current.
    const QList<TStoredObject *> present = m_design.Objects();
    QHash<QString, TStoredObject *> keepable;
    if (present.size() == m_current.Names.size()) {
        for (qsizetype i = 0; i < present.size(); ++i)
            keepable.insert(m_current.Names.at(i), present.at(i));
    }
    QHash<QString, QByteArray> currentRecords;
    for (qsizetype i = 0; i < m_current.Names.size(); ++i)
        currentRecords.insert(m_current.Names.at(i), m_current.Records.at(i));
    TDesignState fresh;
    QList<qsizetype> freshIndex; // where in the state each fresh record goes
    for (qsizetype i = 0; i < state.Records.size(); ++i) {
        const QString &name = state.Names.at(i);
        TStoredObject *kept = keepable.value(name);
        if (kept && kept->Name() == name && currentRecords.value(name) == state.Records.at(i))
            continue;
        fresh.Records.append(state.Records.at(i));
        freshIndex.append(i);
    }

    // Everything new is read aside first: a record the reader refuses leaves
    // the design untouched. The objects keep their names (a design file read
    // renames them), so the selection and later steps find them again.
    QObject staging;
    QList<TStoredObject *> made;
    try {
        made = m_design.ReadAside(fresh.Stream(), staging);
    } catch (const std::exception &e) {
        const QString why = dynamic_cast<const EStreamError *>(&e)
                                ? static_cast<const EStreamError &>(e).Message()
                                : QString::fromLocal8Bit(e.what());
        if (OnRestoreFailed)
            OnRestoreFailed(
                tr("The design could not be restored (%1); it stays as it was.").arg(why));
        return false;
    }
    m_restoring = true;
    TDesignView *view = View();
    if (view)
        view->SelectNamed({});
    QList<TStoredObject *> order(state.Records.size(), nullptr);
    for (qsizetype j = 0; j < made.size() && j < freshIndex.size(); ++j)
        order[freshIndex.at(j)] = made.at(j);
    QSet<TStoredObject *> staying;
    for (qsizetype i = 0; i < order.size(); ++i) {
        if (!order.at(i)) {
            order[i] = keepable.value(state.Names.at(i));
            staying.insert(order.at(i));
        }
    }
    for (TStoredObject *object : present)
        if (!staying.contains(object))
            delete object;
    for (qsizetype i = 0; i < order.size(); ++i) {
        TStoredObject *object = order.at(i);
        if (staying.contains(object))
            continue;
        object->setParent(m_design.Owner());
        m_design.InsertAt(i, object);
        // What is read is at 100 %; the view shows it at its zoom.
        if (view)
            view->ShowRestoredObject(object);
    }
    m_design.Arrange(order);
    if (state.BackgroundArt.isEmpty())
        m_design.ClearBackgroundArt();
    else if (state.BackgroundArt != m_design.BackgroundArtFile())
        m_design.SetBackgroundArtFile(state.BackgroundArt);
    if (view)
        view->SelectNamed(state.Selection);
    // The restored objects write the same records; keep the state's bytes.
    m_current = state;
    m_pending = false;
    m_restoring = false;
    return true;
}

QString TDesignHistory::StepName(const TDesignState &before, const TDesignState &after) const
{
    // Most steps (a move, a nudge, an edit) keep the objects and their order.
    const bool sameOrder = before.Names == after.Names;
    if (!sameOrder) {
        const QSet<QString> was(before.Names.cbegin(), before.Names.cend());
        const QSet<QString> is(after.Names.cbegin(), after.Names.cend());
        if (is.size() > was.size() && was - is == QSet<QString>())
            return tr("Place");
        if (is.size() < was.size() && is - was == QSet<QString>())
            return tr("Delete");
        if (was != is)
            return tr("Change");
    }
    if (before.Records == after.Records)
        return before.BackgroundArt != after.BackgroundArt ? tr("Background Art") : tr("Change");
    QHash<QString, QByteArray> old;
    if (!sameOrder) {
        for (qsizetype i = 0; i < before.Names.size(); ++i)
            old.insert(before.Names.at(i), before.Records.at(i));
    }
    QSet<QString> changed;
    bool sameRecords = true;
    for (qsizetype i = 0; i < after.Names.size(); ++i) {
        const QByteArray &was = sameOrder ? before.Records.at(i) : old.value(after.Names.at(i));
        const QByteArray &now = after.Records.at(i);
        if (was == now)
            continue;
        sameRecords = false;
        const QMap<QString, QString> a = RecordEntries(was);
        const QMap<QString, QString> b = RecordEntries(now);
        for (auto it = b.cbegin(); it != b.cend(); ++it)
            if (a.value(it.key()) != it.value())
                changed.insert(it.key());
        for (auto it = a.cbegin(); it != a.cend(); ++it)
            if (!b.contains(it.key()))
                changed.insert(it.key());
    }
    if (sameRecords)
        return tr("Arrange"); // the same objects in another order
    const QSet<QString> place{QStringLiteral("Left"), QStringLiteral("Top")};
    QSet<QString> bounds = place;
    bounds << QStringLiteral("Width") << QStringLiteral("Height");
    if ((changed - place).isEmpty())
        return tr("Move");
    if ((changed - bounds).isEmpty())
        return tr("Resize");
    return tr("Change");
}

QString TDesignHistory::NameOfCaption(QString caption)
{
    caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    caption.replace(QStringLiteral("&&"), QStringLiteral("&"));
    caption = caption.section(QLatin1Char('\t'), 0, 0);
    if (caption.endsWith(QStringLiteral("...")))
        caption.chop(3);
    return caption.trimmed();
}

void TDesignHistory::SetStepName(const QString &name)
{
    (m_depth > 0 ? m_stepName : m_pendingName) = name;
}

TUndoStep::TUndoStep(TDesignHistory *history, const QString &name, bool nudge)
    : m_history(history)
{
    if (m_history)
        m_history->BeginStep(name, nudge);
}

TUndoStep::~TUndoStep()
{
    if (m_history)
        m_history->EndStep();
}
