#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

// Keeps the program to one running copy per user. The first copy holds a lock
// file and listens on a local socket; a later copy finds the lock taken, asks
// the first one (through the socket) to bring its window forward, and ends.
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
    // name: the lock is "<name>.lock" in the runtime folder (the temporary
    // folder when there is none); the socket carries the name and the user id.
    explicit TSingleInstance(const QString &name, QObject *parent = nullptr);
    ~TSingleInstance() override;

    // The running executable's file name ("tessaro").
    static QString DefaultName();

    // True for the first copy, which from now on holds the lock and listens.
    // False when another copy holds it; that copy has then been asked to come
    // forward. When the lock cannot be made at all (no writable folder) the
    // guard stands aside and this answers true. Decided on the first call.
    bool IsFirst();

    // Called on this thread each time a later start asks to be raised. A
    // request that came before the handler was set is delivered when it is set.
    void SetRaiseHandler(std::function<void()> handler);

    QString LockFilePath() const { return m_lockPath; }
    QString ServerName() const { return m_serverName; }

private:
    void Listen();
    void AcceptConnections();
    void RaiseRequested();
    static bool AskToRaise(const QString &serverName);

    QString m_lockPath;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    std::function<void()> m_raiseHandler;
    bool m_decided = false;
    bool m_first = false;
    bool m_pendingRaise = false;
};
