// The main window's two sides of the card: the switch between front and
// back, and the back's file beside the front's.
#include "document/DesignHistory.h"
#include "document/Filer.h"
#include "document/StreamIO.h"
#include "shell/Main.h"
#include "graphics/RegularFile.h"
#include "shell/ShellUtil.h"

#include <QAction>
#include <QButtonGroup>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

void TMainScreen::ShowSide(bool back)
{
    TCardModel *side = back ? m_backModel : m_frontModel;
    // Each side is edited with its own fields showing.
    ShowMergedRecord(false);
    if (side != m_model) {
        m_panel->EndMouseCapture();
        // A change still being made belongs to the side it was made on.
        m_history->CommitPending();
        m_panel->SetModel(side);
        m_model = side;
        m_history = side->History();
        m_panel->update();
    }
    ShowSideState();
}

QWidget *TMainScreen::BuildSideSwitch(QWidget *parent)
{
    auto *box = new QWidget(parent);
    box->setObjectName(QStringLiteral("SideSwitch"));
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(4, 0, 0, 0);
    row->setSpacing(0);
    auto *group = new QButtonGroup(box);
    auto add = [&](const char *name, const QString &caption, bool back) {
        auto *button = new QToolButton(box);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(caption);
        button->setCheckable(true);
        button->setFixedHeight(26);
        button->setToolTip(tr("Shows the %1 of the card (Ctrl+Tab switches sides)")
                               .arg(back ? tr("back") : tr("front")));
        group->addButton(button);
        row->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, back] { ShowSide(back); });
        return button;
    };
    m_frontButton = add("FrontSideButton", tr("Front"), false);
    m_backButton = add("BackSideButton", tr("Back"), true);
    m_frontButton->setChecked(true);
    AddWhatsThis(box, tr("A card has two sides. The back is designed like the front, saved "
                         "beside it (\"NAME.back.TSC\") and printed behind each front."));
    return box;
}

void TMainScreen::ShowSideState()
{
    const bool back = ShowingBack();
    if (m_frontButton) {
        m_frontButton->setChecked(!back);
        m_backButton->setChecked(back);
    }
    if (m_mnuFront) {
        m_mnuFront->setChecked(!back);
        m_mnuBack->setChecked(back);
    }
    Setbuttons();
}

void TMainScreen::ShowChangeState()
{
    const bool changed = ChangesMade();
    m_cancelButton->setVisible(changed);
    m_saveButton->setText(FileName().isEmpty() ? tr("Save As") : tr("Save"));
    m_saveButton->setVisible(changed);
}

void TMainScreen::SideRestored(bool changed)
{
    if (changed)
        m_history->NoteChange();
    else
        m_history->MarkSaved();
    m_model->SetChangesMade(changed);
    ShowChangeState();
    Setbuttons();
}

void TMainScreen::ResetHistories()
{
    m_frontModel->History()->Reset();
    m_backModel->History()->Reset();
}

void TMainScreen::OpenBackSide(const QString &frontPath)
{
    m_unreadBackFile.clear();
    const QString path = BackSidePath(frontPath);
    if (!QFileInfo(path).isFile())
        return;
    try {
        m_backModel->Open(path);
        m_backModel->SetFileName(path);
    } catch (const EStreamError &) {
        m_backModel->Clear();
        m_unreadBackFile = path;
        ShowInformation(UnableToOpenMessage(path));
    }
}

void TMainScreen::SaveBackSide(const QString &frontPath)
{
    const QString path = BackSidePath(frontPath);
    if (m_backModel->HasContent()) {
        m_backModel->Save(path);
        m_backModel->SetFileName(path);
        if (path == m_unreadBackFile)
            m_unreadBackFile.clear();
        return;
    }
    m_backModel->SetFileName(QString());
    if (path == m_unreadBackFile)
        return;
    // An empty back is no back: a back file left there would come back on
    // opening.
    for (const QString &file : {path, SidecarPath(path)}) {
        if (QFile::exists(file) && !QFile::remove(file))
            throw EStreamError(tr("Unable to delete %1").arg(PrintableText(file)));
    }
}
