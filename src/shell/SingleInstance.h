#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

// Keeps the program to one running copy per user. The first copy holds a lock
// file and listens on a local socket; a later copy finds the lock taken, asks
// the first one (through the socket) to bring its window forward, and ends.
//
// The lock and the socket go in the first of several folders where they can
// be made: the private runtime folder, then the temporary folder (with the
// user id in the names, as it is shared). A folder that is full or read-only,
// or holds a lock its dead owner left that cannot be removed, is passed over.
// When no folder will do, the program runs without the guard, and Problem()
// says why; it never just ends.
//
//     TSingleInstance instance(TSingleInstance::DefaultName());
//     if (!instance.IsFirst())
//         return 0;
//     ...
//     instance.SetRaiseHandler([&] { window.showNormal(); window.raise(); ... });
class TSingleInstance : public QObject
{
    Q_OBJECT

public:
    // name: the lock is "<name>.lock" in the runtime folder and
    // "<name>-<user id>.lock" in the temporary folder; the socket beside it
    // carries the name and the user id.
    explicit TSingleInstance(const QString &name, QObject *parent = nullptr);
    // The same, with the folders to try, in order, given.
    TSingleInstance(const QString &name, const QStringList &folders, QObject *parent = nullptr);
    ~TSingleInstance() override;

    // The running executable's file name ("tessaro").
    static QString DefaultName();
    // The runtime folder (when there is one) and the temporary folder.
    static QStringList DefaultFolders();

    // True for the first copy, which from now on holds the lock and listens.
    // False when another copy holds it; that copy has then been asked to come
    // forward. When the guard cannot be set up anywhere this answers true and
    // Problem() says why. Decided on the first call.
    bool IsFirst();

    // Empty while the guard works; otherwise why this copy runs unguarded.
    QString Problem() const { return m_problem; }

    // Called on this thread each time a later start asks to be raised. A
    // request that came before the handler was set is delivered when it is set.
    void SetRaiseHandler(std::function<void()> handler);
    // Called with the file a later start was given, in place of the raise
    // handler; requests that came before it was set are delivered when it is set.
    void SetOpenHandler(std::function<void(const QString &path)> handler);
    // The file this copy was started with: when another copy runs, IsFirst()
    // hands it over (as an absolute path) instead of only asking to be raised.
    void SetFileToHandOver(const QString &path) { m_handOver = path; }

    // The request a later start sends: "raise", or "open" and the path.
    static QByteArray Request(const QString &path);

    // Where the lock and the socket are (after IsFirst(): where they were
    // made; before it, in the first folder).
    QString LockFilePath() const { return m_lockPath; }
    QString ServerName() const { return m_serverName; }

private:
    struct TPlace
    {
        QString lockPath;
        QString serverName;
    };
    enum class TAttempt { Holding, Answered, PassOver };

    TAttempt TryPlace(const TPlace &place, QString *why);
    bool OtherCopyAnswers(const TPlace &place) const;
    bool Listen(const QString &serverName, QString *why);
    void AcceptConnections();
    void RaiseRequested();
    void OpenRequested(const QString &path);
    void HandleRequest(const QByteArray &line);
    bool AskToRaise(const QString &serverName) const;
    bool SendRequest(const QString &serverName) const;

    QList<TPlace> m_places;
    QString m_lockPath;
    QString m_serverName;
    QString m_problem;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    std::function<void()> m_raiseHandler;
    std::function<void(const QString &)> m_openHandler;
    QStringList m_pendingOpens;
    QString m_handOver;
    bool m_decided = false;
    bool m_first = false;
    bool m_pendingRaise = false;
};
