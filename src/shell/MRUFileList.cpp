#include "shell/MRUFileList.h"

#include "graphics/RegularFile.h"
#include "shell/IniFile.h"

#include <QAction>
#include <QMenu>

TMRUFileList::TMRUFileList(QObject *owner)
    : QObject(owner)
{
}

void TMRUFileList::SetFileMenu(QMenu *menu)
{
    m_fileMenu = menu;
    RebuildMenu();
}

void TMRUFileList::AddFile(const QString &path)
{
    for (qsizetype i = 0; i < m_files.size(); ++i) {
        if (m_files.at(i).compare(path, Qt::CaseInsensitive) == 0) {
            m_files.removeAt(i);
            break;
        }
    }
    m_files.prepend(path);
    while (m_files.size() > Maximum)
        m_files.removeLast();
    RebuildMenu();
}

void TMRUFileList::RemoveFile(const QString &path)
{
    for (qsizetype i = 0; i < m_files.size(); ++i) {
        if (m_files.at(i).compare(path, Qt::CaseInsensitive) == 0) {
            m_files.removeAt(i);
            break;
        }
    }
    RebuildMenu();
}

void TMRUFileList::RebuildMenu()
{
    // Items go later: the one being clicked may be what asked for the rebuild.
    auto discard = [this](QAction *action) {
        if (!action)
            return;
        if (m_fileMenu)
            m_fileMenu->removeAction(action);
        action->deleteLater();
    };
    for (QAction *item : std::as_const(m_items)) {
        if (m_submenu)
            m_submenu->removeAction(item);
        discard(item);
    }
    m_items.clear();
    discard(m_separator);
    m_separator = nullptr;
    if (m_submenu) {
        discard(m_submenu->menuAction());
        m_submenu->deleteLater();
        m_submenu = nullptr;
    }
    if (!m_fileMenu || m_files.isEmpty())
        return;
    m_separator = m_fileMenu->addSeparator();
    QMenu *target = m_fileMenu;
    if (UseSubmenu) {
        m_submenu = m_fileMenu->addMenu(SubmenuName);
        target = m_submenu;
    }
    for (qsizetype i = 0; i < m_files.size(); ++i) {
        const int number = int(i) + 1;
        // "&" inside a path would turn into an accelerator; doubled it shows as itself.
        QString path = m_files.at(i);
        path.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *item = target->addAction(QStringLiteral("&%1 %2").arg(number).arg(path));
        item->setObjectName(QStringLiteral("MRUItem%1").arg(number));
        item->setData(m_files.at(i));
        connect(item, &QAction::triggered, this, [this, number] { ClickItem(number); });
        m_items.append(item);
    }
}

void TMRUFileList::ClickItem(int number)
{
    if (number < 1 || number > m_files.size())
        return;
    const QString path = m_files.at(number - 1);
    QObject *sender = m_items.value(number - 1);
    if (RemoveOnClick) {
        m_files.removeAt(number - 1);
        RebuildMenu();
    }
    if (OnMRUItemClick)
        OnMRUItemClick(sender, path);
}

bool TMRUFileList::SaveList(QString *error)
{
    if (AutoSaveName.isEmpty() || AutoSaveKey.isEmpty())
        return true;
    TIniFile ini(AutoSaveName);
    ini.BeginUpdate();
    ini.EraseSection(AutoSaveKey);
    for (qsizetype i = 0; i < m_files.size(); ++i)
        ini.WriteString(AutoSaveKey, QStringLiteral("F%1").arg(i), m_files.at(i));
    if (ini.EndUpdate())
        return true;
    if (error)
        *error = tr("Unable to write to %1").arg(AutoSaveName);
    return false;
}

void TMRUFileList::LoadList()
{
    if (AutoSaveName.isEmpty() || AutoSaveKey.isEmpty())
        return;
    const TIniFile ini(AutoSaveName);
    m_files = ini.ReadSectionLineValues(AutoSaveKey);
    m_files.removeAll(QString());
    // A folder, FIFO or device is never a design (the start reopens the first
    // entry); a file that is missing now may come back (a drive not mounted).
    m_files.removeIf([](const QString &path) { return IsSpecialFile(path); });
    while (m_files.size() > Maximum)
        m_files.removeLast();
    RebuildMenu();
}
