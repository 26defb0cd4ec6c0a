#include "shell/SingleInstance.h"

#include "graphics/RegularFile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace {

const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");
const QByteArray kOpenPrefix = QByteArrayLiteral("open ");
// A path longer than any file system allows is no request of ours.
constexpr qsizetype kMaxRequest = 64 * 1024;

QString UserTag()
{
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

QString RuntimeFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? QDir::cleanPath(folder) : QString();
}

// True when the lock names an owner on this machine that has ended. Such a
// lock normally goes at once; it stays only where the folder cannot be
// written, and then must not be taken for a running copy.
bool OwnerHasEnded(QLockFile &lock)
{
    qint64 pid = 0;
    QString host;
    QString app;
    if (!lock.getLockInfo(&pid, &host, &app))
        return true; // no owner written: no copy ever ran with it
#ifdef Q_OS_UNIX
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return false;
    return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
#else
    return false;
#endif
}

} // namespace

TSingleInstance::TSingleInstance(const QString &name, QObject *parent)
    : TSingleInstance(name, DefaultFolders(), parent)
{
}

TSingleInstance::TSingleInstance(const QString &name, const QStringList &folders, QObject *parent)
    : QObject(parent)
{
    const QString runtime = RuntimeFolder();
    const QString socketName = name + QLatin1Char('-') + UserTag();
    for (const QString &given : folders) {
        const QString folder = QDir::cleanPath(given);
        // Only the private runtime folder is the user's own; in any other the
        // lock carries the user id too.
        const bool shared = runtime.isEmpty() || folder != runtime;
        TPlace place;
        place.lockPath = folder + QLatin1Char('/') +
                         (shared ? socketName : name) + QStringLiteral(".lock");
        place.serverName = folder + QLatin1Char('/') + socketName;
        m_places.append(place);
    }
    if (!m_places.isEmpty()) {
        m_lockPath = m_places.first().lockPath;
        m_serverName = m_places.first().serverName;
    }
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

QStringList TSingleInstance::DefaultFolders()
{
    QStringList folders;
    const QString runtime = RuntimeFolder();
    if (!runtime.isEmpty())
        folders.append(runtime);
    QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    if (temp.isEmpty())
        temp = QDir::tempPath();
    temp = QDir::cleanPath(temp);
    if (!folders.contains(temp))
        folders.append(temp);
    return folders;
}

bool TSingleInstance::IsFirst()
{
    if (m_decided)
        return m_first;
    m_decided = true;

    QStringList reasons;
    for (qsizetype i = 0; i < m_places.size(); ++i) {
        QString why;
        switch (TryPlace(m_places.at(i), &why)) {
        case TAttempt::Answered:
            m_first = false;
            return false;
        case TAttempt::Holding:
            // A copy that had to pass this place over when it started (it was
            // full or read-only then) may be running from a later one.
            for (qsizetype j = i + 1; j < m_places.size(); ++j) {
                if (OtherCopyAnswers(m_places.at(j))) {
                    m_server->close();
                    delete m_server;
                    m_server = nullptr;
                    m_lock->unlock();
                    m_lock.reset();
                    m_first = false;
                    return false;
                }
            }
            m_first = true;
            return true;
        case TAttempt::PassOver:
            reasons.append(why);
            break;
        }
    }
    // Better a second copy than no program at all; the caller says so.
    m_problem = QStringLiteral("no lock could be made to keep the program to one running copy "
                               "(%1); it starts anyway.")
                    .arg(reasons.isEmpty() ? QStringLiteral("no folder for it")
                                           : reasons.join(QStringLiteral("; ")));
    m_first = true;
    return true;
}

TSingleInstance::TAttempt TSingleInstance::TryPlace(const TPlace &place, QString *why)
{
    auto lock = std::make_unique<QLockFile>(place.lockPath);
    // Only a lock whose process has gone counts as stale: a copy that has been
    // running for days still holds it.
    lock->setStaleLockTime(0);
    bool locked = lock->tryLock(0);
    if (!locked && lock->error() == QLockFile::LockFailedError) {
        // tryLock has already cleared a lock whose process is gone, where the
        // folder lets it. A lock file that names no owner (cut short by a
        // crash or a full disk) would block every start; remove it.
        qint64 pid = 0;
        QString host;
        QString app;
        if (!lock->getLockInfo(&pid, &host, &app) && lock->removeStaleLockFile())
            locked = lock->tryLock(0);
    }
    if (locked) {
        QString listenProblem;
        if (!Listen(place.serverName, &listenProblem)) {
            lock->unlock();
            *why = listenProblem;
            return TAttempt::PassOver;
        }
        m_lock = std::move(lock);
        m_lockPath = place.lockPath;
        m_serverName = place.serverName;
        return TAttempt::Holding;
    }
    if (lock->error() == QLockFile::LockFailedError) {
        if (OwnerHasEnded(*lock)) {
            *why = QStringLiteral("%1 was left by a copy that has ended and cannot be removed")
                       .arg(place.lockPath);
            return TAttempt::PassOver;
        }
        m_lockPath = place.lockPath;
        m_serverName = place.serverName;
        if (AskToRaise(place.serverName))
            return TAttempt::Answered;
        // Its owner does not answer (a process that got the id of a copy
        // that ended, or a copy that hangs): do not let it keep this one out.
        *why = QStringLiteral("the copy holding %1 does not answer").arg(place.lockPath);
        return TAttempt::PassOver;
    }
    *why = QStringLiteral("%1 cannot be created").arg(place.lockPath);
    return TAttempt::PassOver;
}

bool TSingleInstance::OtherCopyAnswers(const TPlace &place) const
{
    if (!QFileInfo::exists(place.lockPath))
        return false;
    QLockFile lock(place.lockPath);
    if (OwnerHasEnded(lock))
        return false;
    // It is running already, so it listens already: one try is enough.
    return SendRequest(place.serverName);
}

QByteArray TSingleInstance::Request(const QString &path)
{
    if (path.isEmpty())
        return kRaiseRequest;
    QString absolute = QFileInfo(path).absoluteFilePath();
    // One line per request: a line break cannot be part of the path sent.
    absolute.replace(QLatin1Char('\n'), QLatin1Char(' '));
    // The name's bytes, which need not be UTF-8.
    return kOpenPrefix + EncodeFileName(absolute) + '\n';
}

bool TSingleInstance::SendRequest(const QString &serverName) const
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(500))
        return false;
    socket.write(Request(m_handOver));
    const bool sent = socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(500);
    return sent;
}

bool TSingleInstance::Listen(const QString &serverName, QString *why)
{
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left here is from a copy that crashed.
    QLocalServer::removeServer(serverName);
    if (!server->listen(serverName)) {
        *why = QStringLiteral("%1 cannot be listened on: %2").arg(serverName, server->errorString());
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &TSingleInstance::AcceptConnections);
    return true;
}

void TSingleInstance::AcceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto handle = [this, socket] {
            // One line is one request; an overlong one is dropped unread.
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxRequest)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(kMaxRequest + 1);
            socket->disconnectFromServer();
            HandleRequest(line);
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        if (socket->bytesAvailable() > 0)
            handle();
    }
}

void TSingleInstance::HandleRequest(const QByteArray &line)
{
    if (line == kRaiseRequest) {
        RaiseRequested();
        return;
    }
    if (line.startsWith(kOpenPrefix) && line.endsWith('\n')) {
        const QString path = DecodeFileName(line.mid(kOpenPrefix.size()).chopped(1));
        if (!path.isEmpty())
            OpenRequested(path);
    }
    // Anything else is not ours and is dropped.
}

void TSingleInstance::OpenRequested(const QString &path)
{
    if (m_openHandler)
        m_openHandler(path);
    else
        m_pendingOpens.append(path);
}

void TSingleInstance::SetOpenHandler(std::function<void(const QString &)> handler)
{
    m_openHandler = std::move(handler);
    if (!m_openHandler || m_pendingOpens.isEmpty())
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            const QStringList paths = std::exchange(m_pendingOpens, {});
            for (const QString &path : paths)
                OpenRequested(path);
        },
        Qt::QueuedConnection);
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

bool TSingleInstance::AskToRaise(const QString &serverName) const
{
    // The first copy takes the lock a moment before it listens; give it a
    // little time rather than failing at once.
    QDeadlineTimer deadline(2000);
    while (true) {
        QLocalSocket probe;
        probe.connectToServer(serverName);
        if (probe.waitForConnected(500)) {
            probe.abort();
            return SendRequest(serverName);
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
}
