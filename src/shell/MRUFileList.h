#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;

// The recent-files list: paths, most recent first, shown as numbered items at
// the end of a menu and kept in a section of TSC.INI.
class TMRUFileList : public QObject
{
    Q_OBJECT

public:
    explicit TMRUFileList(QObject *owner = nullptr);

    int Maximum = 5;
    bool RemoveOnClick = true;
    bool UseSubmenu = false;
    QString SubmenuName = QStringLiteral("Reopen");
    bool AutoSave = true;
    QString AutoSaveName = QStringLiteral("\\Software\\My Application");
    QString AutoSaveKey = QStringLiteral("MRU Items");
    std::function<void(QObject *sender, const QString &path)> OnMRUItemClick;

    QMenu *FileMenu() const { return m_fileMenu; }
    void SetFileMenu(QMenu *menu);
    const QStringList &Files() const { return m_files; }

    void AddFile(const QString &path);
    void RemoveFile(const QString &path);
    // False (and the list not saved) when the file cannot be written; the
    // message then names the file.
    bool SaveList(QString *error = nullptr);
    void LoadList();
    void RebuildMenu();
    // Runs the click on the entry with this 1-based number.
    void ClickItem(int number);

private:
    QList<QAction *> m_items;
    QAction *m_separator = nullptr;
    QMenu *m_submenu = nullptr;
    QPointer<QMenu> m_fileMenu;
    QStringList m_files;
};
