#include "graphics/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

TFileReadResult Fail(TFileReadResult result, QString *why, const QString &text)
{
    if (why)
        *why = text;
    return result;
}

#ifdef Q_OS_UNIX

QString ErrnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Reads from path: up to limit bytes; wholeFile makes a longer file TooLarge,
// otherwise it is cut at limit.
TFileReadResult ReadBounded(const QString &path, qint64 limit, bool wholeFile, QByteArray *bytes,
                            QString *why)
{
    bytes->clear();
    const QByteArray name = QFile::encodeName(path);
    struct stat st{};
    // Looked at before it is opened: opening some devices already does
    // something (a watchdog starts, a tape rewinds), and a FIFO blocks.
    if (::stat(name.constData(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return Fail(TFileReadResult::Missing, why, ErrnoText(error));
        return Fail(TFileReadResult::Failed, why, ErrnoText(error));
    }
    if (!S_ISREG(st.st_mode))
        return Fail(TFileReadResult::NotARegularFile, why, QStringLiteral("not a regular file"));

    // O_NONBLOCK: should a FIFO have been put in its place since, open() still returns.
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return Fail(TFileReadResult::Failed, why, ErrnoText(errno));
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &st) != 0)
        return Fail(TFileReadResult::Failed, why, ErrnoText(errno));
    if (!S_ISREG(st.st_mode))
        return Fail(TFileReadResult::NotARegularFile, why, QStringLiteral("not a regular file"));
    if (wholeFile && st.st_size > limit)
        return Fail(TFileReadResult::TooLarge, why, QStringLiteral("the file is too large"));

    // The size may change while it is read: read until the end, never past
    // the bound (one byte more tells a file that grew past it).
    const qint64 wanted = wholeFile ? limit + 1 : limit;
    QByteArray data;
    data.resize(qsizetype(std::min<qint64>(std::max<qint64>(st.st_size, 0), wanted)));
    qint64 got = 0;
    for (;;) {
        if (got == data.size()) {
            if (got >= wanted)
                break;
            data.resize(qsizetype(std::min<qint64>(wanted, std::max<qint64>(got * 2, 4096))));
        }
        const ssize_t n = ::read(fd, data.data() + got, size_t(data.size() - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Fail(TFileReadResult::Failed, why, ErrnoText(errno));
        }
        if (n == 0)
            break;
        got += n;
    }
    if (wholeFile && got > limit)
        return Fail(TFileReadResult::TooLarge, why, QStringLiteral("the file is too large"));
    data.truncate(qsizetype(got));
    *bytes = std::move(data);
    return TFileReadResult::Read;
}

#else

TFileReadResult ReadBounded(const QString &path, qint64 limit, bool wholeFile, QByteArray *bytes,
                            QString *why)
{
    bytes->clear();
    const QFileInfo info(path);
    if (!info.exists())
        return Fail(TFileReadResult::Missing, why, QStringLiteral("no such file"));
    if (!info.isFile())
        return Fail(TFileReadResult::NotARegularFile, why, QStringLiteral("not a regular file"));
    if (wholeFile && info.size() > limit)
        return Fail(TFileReadResult::TooLarge, why, QStringLiteral("the file is too large"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(TFileReadResult::Failed, why, file.errorString());
    QByteArray data = file.read(wholeFile ? limit + 1 : limit);
    if (file.error() != QFileDevice::NoError)
        return Fail(TFileReadResult::Failed, why, file.errorString());
    if (wholeFile && data.size() > limit)
        return Fail(TFileReadResult::TooLarge, why, QStringLiteral("the file is too large"));
    *bytes = std::move(data);
    return TFileReadResult::Read;
}

#endif

} // namespace

TFileReadResult ReadRegularFile(const QString &path, qint64 maxBytes, QByteArray *bytes,
                                QString *why)
{
    QByteArray scratch;
    return ReadBounded(path, std::max<qint64>(maxBytes, 0), true, bytes ? bytes : &scratch, why);
}

TFileReadResult ReadRegularFileHead(const QString &path, qint64 count, QByteArray *bytes,
                                    QString *why)
{
    QByteArray scratch;
    return ReadBounded(path, std::max<qint64>(count, 0), false, bytes ? bytes : &scratch, why);
}

bool IsSpecialFile(const QString &path)
{
    const QFileInfo info(path); // follows links
    return info.exists() && !info.isFile();
}
