// The main window's merge printing: the merge data of the design, the check
// before a merged job, and the card showing one record's values.
#include "document/Desktop.h"
#include "printing/MergeDlg.h"
#include "printing/MergePrint.h"
#include "shell/Main.h"

#include <QAction>
#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QToolBar>
#include <QToolButton>

namespace {

// Records beyond these are not listed by name in a warning.
constexpr int kListedProblems = 12;

QString Listed(const QStringList &lines)
{
    QStringList shown = lines.mid(0, kListedProblems);
    if (lines.size() > shown.size())
        shown.append(QObject::tr("... (%1 in all)").arg(lines.size()));
    return QStringLiteral("  ") + shown.join(QStringLiteral("\n  "));
}

} // namespace

void TMainScreen::mnuMergeDataClick()
{
    TMergeDataDialog dialog(m_frontModel->MergeSource(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TMergeSource source = dialog.Source();
    if (source == m_frontModel->MergeSource())
        return;
    const bool showing = ShowingMergedRecord();
    ShowMergedRecord(false);
    // Kept beside the design: a change of the design, saved with it.
    m_frontModel->SetMergeSource(source);
    m_frontModel->SetChangesMade(true);
    ShowChangeState();
    ShowMergeState();
    if (showing)
        ShowMergedRecord(true);
}

std::optional<TMergeTable> TMainScreen::ReadMergeData()
{
    try {
        return ReadMergeFile(m_frontModel->MergeSource().DataFile);
    } catch (const EMergeDataError &e) {
        ShowInformation(tr("The merge data cannot be used:\n%1").arg(e.Message()));
        return std::nullopt;
    }
}

QList<int> TMainScreen::RecordsToPrint(const TMergeTable &table) const
{
    const QList<int> &skipped = m_frontModel->MergeSource().Skipped;
    const QSet<int> left(skipped.cbegin(), skipped.cend());
    QList<int> records;
    for (int record = 0; record < table.Records.size(); ++record)
        if (!left.contains(record))
            records.append(record);
    return records;
}

int TMainScreen::TickedRecordCount() const
{
    if (m_frontModel->MergeSource().DataFile.isEmpty())
        return 0;
    try {
        return int(RecordsToPrint(ReadMergeFile(m_frontModel->MergeSource().DataFile)).size());
    } catch (const EMergeDataError &) {
        return 0;
    }
}

std::unique_ptr<TMergeCards> TMainScreen::MergeCardsForJob(bool *stop)
{
    *stop = false;
    if (m_frontModel->MergeSource().DataFile.isEmpty())
        return nullptr;
    // Read again for every job: the spreadsheet may have changed since.
    const std::optional<TMergeTable> table = ReadMergeData();
    if (!table) {
        *stop = true;
        return nullptr;
    }
    const QList<int> records = RecordsToPrint(*table);
    if (records.isEmpty()) {
        ShowInformation(tr("No record of the merge data is ticked to print (File > Merge Data)."));
        *stop = true;
        return nullptr;
    }
    auto cards = std::make_unique<TMergeCards>(*m_frontModel, PrintedBackSide(), *table, records);
    QStringList problems;
    if (const QStringList unknown = cards->UnknownFields(); !unknown.isEmpty())
        problems.append(tr("These fields name no column of %1 and print empty:\n%2")
                            .arg(QFileInfo(m_frontModel->MergeSource().DataFile).fileName(),
                                 Listed(unknown)));
    if (const QStringList boxes = cards->UndrawableText(); !boxes.isEmpty())
        problems.append(tr("No installed font can draw some characters of these records; they "
                           "print as empty boxes:\n%1")
                            .arg(Listed(boxes)));
    if (!problems.isEmpty() &&
        !AskYesNo(problems.join(QStringLiteral("\n\n")) + tr("\n\nPrint anyway?"), tr("Merge Data"))) {
        *stop = true;
        return nullptr;
    }
    return cards;
}

// ---- the card showing a record ---------------------------------------------

QToolBar *TMainScreen::BuildMergeBar()
{
    QToolBar *bar = addToolBar(tr("Merge"));
    bar->setObjectName(QStringLiteral("MergeBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setFixedHeight(38);
    bar->addAction(m_mnuShowMergedRecord);
    // Each step has a key too (Alt with an arrow, Home or End), which works
    // wherever the focus is.
    auto step = [&](const char *name, Qt::ArrowType arrow, const QString &text, const QString &hint,
                    int key, std::function<int()> card) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(name));
        if (arrow != Qt::NoArrow)
            button->setArrowType(arrow);
        else
            button->setText(text);
        const QKeySequence shortcut(Qt::ALT | key);
        button->setToolTip(QStringLiteral("%1 (%2)").arg(
            hint, shortcut.toString(QKeySequence::NativeText)));
        button->setAutoRaise(true);
        auto *action = new QAction(button);
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        const auto go = [this, card, key] {
            if (m_frontModel->MergeSource().DataFile.isEmpty())
                return;
            // Turning the records on shows the first (or, for End, the last).
            const bool showing = ShowingMergedRecord();
            if (!showing)
                ShowMergedRecord(true);
            if (showing || key == Qt::Key_End)
                ShowRecordAt(card());
        };
        connect(button, &QToolButton::clicked, this, go);
        connect(action, &QAction::triggered, this, go);
        bar->addWidget(button);
        return button;
    };
    step("FirstRecordButton", Qt::NoArrow, QStringLiteral("|\u25C0"), tr("First record"),
         Qt::Key_Home, [] { return 0; });
    step("PreviousRecordButton", Qt::LeftArrow, QString(), tr("Previous record"), Qt::Key_Left,
         [this] { return ShownRecord() - 1; });
    m_recordCaption = new QLabel(bar);
    m_recordCaption->setObjectName(QStringLiteral("RecordCaption"));
    m_recordCaption->setMinimumWidth(120);
    m_recordCaption->setAlignment(Qt::AlignCenter);
    bar->addWidget(m_recordCaption);
    step("NextRecordButton", Qt::RightArrow, QString(), tr("Next record"), Qt::Key_Right,
         [this] { return ShownRecord() + 1; });
    step("LastRecordButton", Qt::NoArrow, QStringLiteral("\u25B6|"), tr("Last record"),
         Qt::Key_End, [this] { return m_recordCards ? m_recordCards->Count() - 1 : 0; });
    return bar;
}

int TMainScreen::ShownRecord() const
{
    return m_recordCards ? m_recordCards->Shown() : -1;
}

void TMainScreen::ShowMergeState()
{
    const bool merging = !m_frontModel->MergeSource().DataFile.isEmpty();
    if (!merging && ShowingMergedRecord())
        ShowMergedRecord(false);
    m_mnuShowMergedRecord->setEnabled(merging);
    m_mnuShowMergedRecord->setChecked(ShowingMergedRecord());
    m_mergeBar->setVisible(merging);
    if (!m_recordCards) {
        m_recordCaption->setText(merging ? tr("Fields shown") : QString());
        return;
    }
    m_recordCaption->setText(
        tr("Record %1 of %2").arg(m_recordCards->Shown() + 1).arg(m_recordCards->Count()));
}

void TMainScreen::ShowMergedRecord(bool on)
{
    if (on == ShowingMergedRecord()) {
        ShowMergeState();
        return;
    }
    if (!on) {
        m_panel->SetModel(m_model);
        m_recordCards.reset();
        SetDesignEditable(true);
        m_panel->update();
        ShowMergeState();
        return;
    }
    if (m_frontModel->MergeSource().DataFile.isEmpty())
        return;
    const std::optional<TMergeTable> table = ReadMergeData();
    const QList<int> records = table ? RecordsToPrint(*table) : QList<int>();
    if (records.isEmpty()) {
        if (table)
            ShowInformation(tr("No record of the merge data is ticked to print (File > Merge "
                               "Data)."));
        ShowMergeState();
        return;
    }
    m_panel->EndMouseCapture();
    m_history->CommitPending();
    // The card shows a copy filled from the record; the design stays as it
    // is, and is not edited until its own fields show again.
    m_recordCards = std::make_unique<TMergeCards>(*m_frontModel, PrintedBackSide(), *table,
                                                  records);
    m_recordCards->Show(0);
    SetDesignEditable(false);
    m_panel->SetModel(ShowingBack() ? m_recordCards->ShownBack() : &m_recordCards->ShownFront());
    m_panel->update();
    ShowMergeState();
}

void TMainScreen::ShowRecordAt(int card)
{
    if (!m_recordCards)
        return;
    m_recordCards->Show(std::clamp(card, 0, m_recordCards->Count() - 1));
    m_panel->update();
    ShowMergeState();
}

void TMainScreen::SetDesignEditable(bool editable)
{
    // Nothing may change the copy on the card, which is thrown away, nor the
    // design behind it, which the card does not show.
    m_panel->setEnabled(editable);
    for (QAction *item : m_editMenu->actions())
        if (!item->isSeparator())
            item->setEnabled(editable);
    for (QAbstractButton *tool : m_toolGroup->buttons())
        tool->setEnabled(editable);
    setAcceptDrops(editable);
}
