// The main window's editing commands at the top of the Edit menu: undo and
// redo, and the surface's clipboard, delete, clone and select all.
#include "document/DesignHistory.h"
#include "shell/Main.h"
#include "surface/GHandle.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QUndoStack>

namespace {

// The menu shows the key of a command the card's keyboard handling already
// runs; the key stays with the card, the menu item only offers the command.
QAction *AddKeyedItem(QMenu *menu, const char *name, const QString &caption, const QString &key,
                      std::function<void()> action)
{
    QAction *item = menu->addAction(caption + QLatin1Char('\t') + key);
    item->setObjectName(QString::fromLatin1(name));
    QObject::connect(item, &QAction::triggered, menu, [action] { action(); });
    return item;
}

} // namespace

void TMainScreen::BuildEditCommands(QMenu *edit)
{
    auto *undo = edit->addAction(tr("&Undo"));
    undo->setObjectName(QStringLiteral("mnuUndo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    auto *redo = edit->addAction(tr("&Redo"));
    redo->setObjectName(QStringLiteral("mnuRedo"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // The side shown is the one undone.
    auto update = [this, undo, redo] {
        const QUndoStack *stack = m_history->Stack();
        // A change still waiting to be recorded is the first thing to undo.
        undo->setEnabled(stack->canUndo() || m_history->ChangePending());
        redo->setEnabled(stack->canRedo());
        undo->setText(stack->canUndo() ? tr("&Undo %1").arg(stack->undoText()) : tr("&Undo"));
        redo->setText(stack->canRedo() ? tr("&Redo %1").arg(stack->redoText()) : tr("&Redo"));
    };
    update();
    for (TCardModel *side : {m_frontModel, m_backModel}) {
        connect(side->History()->Stack(), &QUndoStack::indexChanged, this, update);
        connect(side->History()->Stack(), &QUndoStack::cleanChanged, this, update);
    }
    connect(edit, &QMenu::aboutToShow, this, update);
    connect(undo, &QAction::triggered, this, [this] {
        if (m_busy)
            return;
        m_panel->EndMouseCapture();
        m_history->CommitPending();
        m_history->Stack()->undo();
    });
    connect(redo, &QAction::triggered, this, [this] {
        if (m_busy)
            return;
        m_panel->EndMouseCapture();
        // A new change since the last undo has dropped the redo steps.
        if (m_history->CommitPending())
            return;
        m_history->Stack()->redo();
    });
    edit->addSeparator();

    AddKeyedItem(edit, "mnuCut", tr("Cu&t"), tr("Ctrl+X"), [this] { m_panel->ClipboardCommand(0); });
    AddKeyedItem(edit, "mnuCopy", tr("&Copy"), tr("Ctrl+C"),
                 [this] { m_panel->ClipboardCommand(1); });
    AddKeyedItem(edit, "mnuPaste", tr("&Paste"), tr("Ctrl+V"), [this] {
        m_panel->ClipboardCommand(2);
    });
    AddKeyedItem(edit, "mnuDeleteSelection", tr("De&lete"), tr("Del"), [this] {
        m_panel->ClipboardCommand(3);
    });
    QAction *clone = edit->addAction(tr("Clo&ne"));
    clone->setObjectName(QStringLiteral("mnuClone"));
    clone->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(clone, &QAction::triggered, this, [this] {
        m_panel->CloneSelection();
    });
    QAction *all = edit->addAction(tr("Select &All"));
    all->setObjectName(QStringLiteral("mnuSelectAll"));
    all->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(all, &QAction::triggered, this, [this] { m_panel->SelectAll(); });
    connect(edit, &QMenu::aboutToShow, this, [this, edit] {
        const bool selected = m_panel->Handles()->SelectedCount() > 0;
        for (const char *name : {"mnuCut", "mnuCopy", "mnuDeleteSelection", "mnuClone"})
            if (auto *item = edit->findChild<QAction *>(QString::fromLatin1(name)))
                item->setEnabled(selected);
        // As in the card's own menu: something to paste once a cut or copy made the file.
        if (auto *paste = edit->findChild<QAction *>(QStringLiteral("mnuPaste")))
            paste->setEnabled(QFileInfo::exists(m_panel->ClipboardFile()));
    });
}
