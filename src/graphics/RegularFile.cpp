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
    const QByteArray name = EncodeFileName(path);
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

QString DecodeFileName(const QByteArray &name)
{
    QString text;
    text.reserve(name.size());
    const auto *bytes = reinterpret_cast<const uchar *>(name.constData());
    const qsizetype size = name.size();
    for (qsizetype i = 0; i < size;) {
        const uchar lead = bytes[i];
        if (lead < 0x80) {
            text.append(QChar(lead));
            ++i;
            continue;
        }
        // The length and smallest value of a sequence by its lead byte.
        int length = 0;
        char32_t value = 0;
        char32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            value = lead & 0x1F;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            value = lead & 0x0F;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            value = lead & 0x07;
            least = 0x10000;
        }
        bool valid = length > 0 && i + length <= size;
        for (int k = 1; valid && k < length; ++k) {
            valid = (bytes[i + k] & 0xC0) == 0x80;
            value = (value << 6) | (bytes[i + k] & 0x3F);
        }
        valid = valid && value >= least && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
        if (!valid) {
            text.append(QChar(char16_t(0xDC00 + lead)));
            ++i;
            continue;
        }
        if (value >= 0x10000) {
            text.append(QChar::highSurrogate(value));
            text.append(QChar::lowSurrogate(value));
        } else {
            text.append(QChar(char16_t(value)));
        }
        i += length;
    }
    return text;
}

QByteArray EncodeFileName(const QString &name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype plain = 0; // start of the text not yet encoded
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name.at(i).unicode();
        const bool pair = QChar::isHighSurrogate(unit) && i + 1 < name.size() &&
                          QChar::isLowSurrogate(name.at(i + 1).unicode());
        if (pair) {
            ++i;
            continue;
        }
        if (unit >= 0xDC80 && unit <= 0xDCFF) {
            bytes += QStringView(name).mid(plain, i - plain).toUtf8();
            bytes += char(unit - 0xDC00);
            plain = i + 1;
        }
    }
    bytes += QStringView(name).mid(plain).toUtf8();
    return bytes;
}

QString PrintableText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            out.append(text.at(i));
            out.append(text.at(++i));
        } else if (c < 0x20 || c == 0x7F) {
            out += QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'));
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            out += QStringLiteral("\\x%1").arg(int(c - 0xDC00), 2, 16, QLatin1Char('0'));
        } else if ((c >= 0x80 && c <= 0x9F) || QChar::isSurrogate(c)) {
            out += QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'));
        } else {
            out.append(text.at(i));
        }
    }
    return out;
}
