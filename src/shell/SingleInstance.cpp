#include "shell/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");

QString UserTag()
{
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

QString LockFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    return folder;
}

} // namespace

TSingleInstance::TSingleInstance(const QString &name, QObject *parent)
    : QObject(parent)
{
    const QString folder = LockFolder();
    m_lockPath = folder + QLatin1Char('/') + name + QStringLiteral(".lock");
    const QString socketName = name + QLatin1Char('-') + UserTag();
    // In the private runtime folder the socket is out of other users' reach;
    // under the shared temporary folder QLocalServer picks the place itself.
    if (folder != QDir::tempPath())
        m_serverName = folder + QLatin1Char('/') + socketName;
    else
        m_serverName = socketName;
}

TSingleInstance::~TSingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock)
        m_lock->unlock();
}

QString TSingleInstance::DefaultName()
{
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (name.isEmpty())
        name = QStringLiteral("tessaro");
    return name;
}

bool TSingleInstance::IsFirst()
{
    if (m_decided)
        return m_first;
    m_decided = true;

    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // Only a lock whose process has gone counts as stale: a copy that has been
    // running for days still holds it.
    m_lock->setStaleLockTime(0);
    bool locked = m_lock->tryLock(0);
    if (!locked && m_lock->error() == QLockFile::LockFailedError) {
        // tryLock has already cleared a lock whose process is gone. A lock file
        // that names no owner (cut short by a crash or a full disk) would block
        // every start; remove it. QLockFile only removes a lock nobody holds.
        qint64 pid = 0;
        QString host;
        QString app;
        if (!m_lock->getLockInfo(&pid, &host, &app) && m_lock->removeStaleLockFile())
            locked = m_lock->tryLock(0);
    }
    if (locked) {
        m_first = true;
        Listen();
        return true;
    }
    if (m_lock->error() == QLockFile::LockFailedError) {
        AskToRaise(m_serverName);
        m_lock.reset();
        m_first = false;
        return false;
    }
    // No lock can be made here: run unguarded rather than not at all.
    qWarning("Unable to create the lock file %s", qPrintable(m_lockPath));
    m_lock.reset();
    m_first = true;
    return true;
}

void TSingleInstance::Listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left here is from a copy that crashed.
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName)) {
        qWarning("Unable to listen on %s: %s", qPrintable(m_serverName),
                 qPrintable(m_server->errorString()));
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, &TSingleInstance::AcceptConnections);
}

void TSingleInstance::AcceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto handle = [this, socket] {
            // Only the one short request is understood; anything else is dropped.
            if (socket->bytesAvailable() < kRaiseRequest.size())
                return;
            const QByteArray request = socket->read(kRaiseRequest.size());
            if (request == kRaiseRequest)
                RaiseRequested();
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        if (socket->bytesAvailable() > 0)
            handle();
    }
}

void TSingleInstance::RaiseRequested()
{
    if (m_raiseHandler)
        m_raiseHandler();
    else
        m_pendingRaise = true;
}

void TSingleInstance::SetRaiseHandler(std::function<void()> handler)
{
    m_raiseHandler = std::move(handler);
    if (m_pendingRaise && m_raiseHandler) {
        m_pendingRaise = false;
        QMetaObject::invokeMethod(
            this, [this] { RaiseRequested(); }, Qt::QueuedConnection);
    }
}

bool TSingleInstance::AskToRaise(const QString &serverName)
{
    // The first copy takes the lock a moment before it listens; give it a
    // little time rather than failing at once.
    QDeadlineTimer deadline(2000);
    while (true) {
        QLocalSocket socket;
        socket.connectToServer(serverName);
        if (socket.waitForConnected(500)) {
            socket.write(kRaiseRequest);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(500);
            return sent;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
}
