#include "document/Filer.h"

#include "document/ObjectStream.h"
#include "document/StreamIO.h"
#include "document/StoredObject.h"
#include "graphics/RegularFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <memory>
#include <cerrno>
#include <vector>

namespace {

[[noreturn]] void CannotCreate(const QString &fileName)
{
    throw EStreamError(QStringLiteral("Cannot create file %1").arg(PrintableText(fileName)));
}

std::function<void(const QString &)> &FileMovedObserver()
{
    static std::function<void(const QString &)> observer;
    return observer;
}

// "Stream write error", with the reason when the system gave one that a user
// can act on.
[[noreturn]] void WriteFailed(int error)
{
    QString reason;
    if (error == ENOSPC || error == EDQUOT)
        reason = QStringLiteral(": the disk is full");
    else if (error == EFBIG)
        reason = QStringLiteral(": the file is larger than this system allows");
    throw EStreamError(QStringLiteral("Stream write error") + reason);
}

} // namespace

void WriteFilesTogether(const QList<TFileWrite> &files)
{
    // Nothing is moved into place before every file is complete, so a failure
    // (or the program being stopped) in the middle leaves the old set whole.
    std::vector<std::unique_ptr<QSaveFile>> pending;
    pending.reserve(size_t(files.size()));
    for (const TFileWrite &write : files) {
        // QSaveFile follows a link and would put its file in the place of
        // the device or FIFO it ends at.
        if (IsSpecialFile(write.FileName))
            CannotCreate(write.FileName);
        // A name whose bytes are not UTF-8 (opened by its bytes) would reach
        // QSaveFile as another name: it would write a second file beside it.
        if (EncodeFileName(write.FileName) != QFile::encodeName(write.FileName))
            CannotCreate(write.FileName);
        auto file = std::make_unique<QSaveFile>(write.FileName);
        // Unbuffered: a short write (disk full) shows in write()'s count
        // rather than being lost in a final flush.
        if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            CannotCreate(write.FileName);
        errno = 0;
        if (file->write(write.Bytes) != write.Bytes.size() ||
            file->error() != QFileDevice::NoError) {
            const int error = errno;
            file->cancelWriting();
            WriteFailed(error);
        }
        pending.push_back(std::move(file));
    }
    for (const std::unique_ptr<QSaveFile> &file : pending) {
        // The ones not committed yet are discarded with their QSaveFile.
        errno = 0;
        if (!file->commit())
            WriteFailed(errno);
        if (FileMovedObserver())
            FileMovedObserver()(file->fileName());
    }
}

void SetFileMovedObserver(std::function<void(const QString &fileName)> observer)
{
    FileMovedObserver() = std::move(observer);
}

void WriteFileAtomically(const QString &fileName, const QByteArray &bytes)
{
    WriteFilesTogether({TFileWrite{fileName, bytes}});
}

// ---- saving -----------------------------------------------------------------

void TGLabelObjectFiler::SaveObjects(const QList<TStoredObject *> &objects,
                                     const QString &fileName)
{
    // The stream is complete before the file is touched.
    WriteFileAtomically(fileName, WriteObjectList(objects, KeepUnicode));
}

void TGLabelObjectFiler::SaveAllObjects(const TObjectHost *host, const QString &fileName)
{
    SaveObjects(host ? host->StoredObjects() : QList<TStoredObject *>(), fileName);
}

void TGLabelObjectFiler::SaveSelectedObjects(const QList<TStoredObject *> &selection,
                                             const QString &fileName)
{
    if (selection.isEmpty())
        return;
    SaveObjects(selection, fileName);
}

void TGLabelObjectFiler::SaveObject(TStoredObject *object, const QString &fileName)
{
    QList<TStoredObject *> objects;
    if (object)
        objects.append(object);
    SaveObjects(objects, fileName);
}

// ---- loading ----------------------------------------------------------------

QString TGLabelObjectFiler::RenameOnLoad(const QString &streamName,
                                         const std::function<bool(const QString &)> &taken)
{
    for (int n = m_nextComponent; n <= 1000; ++n) {
        const QString name = QStringLiteral("Component") + QString::number(n);
        if (!taken(name)) {
            m_nextComponent = n;
            return name;
        }
    }
    m_nextComponent = 1001;
    return streamName;
}

bool TGLabelObjectFiler::IgnoreMissingHandler(const QString &)
{
    return true;
}

QList<TStoredObject *> TGLabelObjectFiler::ReadObjects(const QByteArray &data, QObject *owner,
                                                       TObjectHost *host)
{
    LoadOwner = owner;
    m_nextComponent = 0;
    TStreamReader stream(data);
    TObjectReader reader(stream);
    reader.LoadOwner = owner;
    reader.Host = host;
    reader.OnSetName = [this, &reader](const QString &streamName) {
        return RenameOnLoad(streamName,
                            [&reader](const QString &name) { return reader.IsNameTaken(name); });
    };
    reader.OnMissingHandler = &TGLabelObjectFiler::IgnoreMissingHandler;
    reader.OnObjectRead = [this](TStoredObject *object) {
        if (OffsetOnLoad)
            object->MoveBy(15, 15);
    };
    return reader.ReadList();
}

QList<TStoredObject *> TGLabelObjectFiler::ReadFile(QObject *owner, TObjectHost *host,
                                                    const QString &fileName)
{
    QByteArray data;
    switch (ReadRegularFile(fileName, kMaxDesignFileBytes, &data)) {
    case TFileReadResult::Read:
        return ReadObjects(data, owner, host);
    case TFileReadResult::Missing:
        return {};
    default:
        throw EStreamError(QStringLiteral("Cannot open file %1").arg(PrintableText(fileName)));
    }
}

QList<TStoredObject *> TGLabelObjectFiler::LoadObjects(QObject *owner, TObjectHost *host,
                                                       const QString &fileName)
{
    return ReadFile(owner, host, fileName);
}

QList<TStoredObject *> TGLabelObjectFiler::PasteObjects(QObject *owner, TObjectHost *host,
                                                        const QString &fileName)
{
    OffsetOnLoad = true;
    try {
        QList<TStoredObject *> objects = ReadFile(owner, host, fileName);
        OffsetOnLoad = false;
        return objects;
    } catch (...) {
        OffsetOnLoad = false;
        throw;
    }
}

TStoredObject *TGLabelObjectFiler::DuplicateObject(TStoredObject *object, QObject *owner,
                                                   TObjectHost *host)
{
    if (!object)
        return nullptr;
    const QList<TStoredObject *> copies = ReadObjects(WriteObjectList({object}, true), owner, host);
    return copies.isEmpty() ? nullptr : copies.last();
}

// ---- sidecar ----------------------------------------------------------------

QString SidecarPath(const QString &designPath)
{
    // A card's back ("NAME.back.TSC") has art of its own, beside the front's
    // "NAME.TSE" that the name up to its first dot would give.
    static const QLatin1StringView backEnding(".back.tsc");
    if (designPath.endsWith(backEnding, Qt::CaseInsensitive))
        return designPath.left(designPath.size() - 4) + QStringLiteral(".TSE");
    const qsizetype slash = std::max(designPath.lastIndexOf(QLatin1Char('/')),
                                     designPath.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = designPath.indexOf(QLatin1Char('.'), slash + 1);
    return (dot < 0 ? designPath : designPath.left(dot)) + QStringLiteral(".TSE");
}

QByteArray SidecarBytes(const QString &backgroundPath)
{
    return backgroundPath.toUtf8() + QByteArrayLiteral("\r\n");
}

namespace {

// The lines after the first: ";design DIGEST" and ";replaces DIGEST ART".
const QByteArray DesignMark = ";design ";
const QByteArray ReplacedMark = ";replaces ";

QByteArray Digest(const QByteArray &design)
{
    return QCryptographicHash::hash(design, QCryptographicHash::Sha256).toHex();
}

// Sidecars of older designs hold 8-bit text.
QString SidecarText(const QByteArray &line)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(line);
    if (!utf8.hasError())
        return text;
    return DecodeWindows1252(line.constData(), line.size());
}

} // namespace

QByteArray SidecarBytes(const QString &backgroundPath, const QByteArray &design,
                        const QByteArray &replacedDesign, const QString &replacedArt)
{
    // A first design needs no marks: there is no other design to tell apart.
    if (replacedDesign.isNull())
        return SidecarBytes(backgroundPath);
    return SidecarBytes(backgroundPath) + DesignMark + Digest(design) + "\r\n" + ReplacedMark +
           Digest(replacedDesign) + ' ' + replacedArt.toUtf8() + "\r\n";
}

namespace {
const QByteArray MergeMark = ";merge ";
const QByteArray SkipMark = ";merge-skip ";
constexpr int kMaxSkippedRecords = 1000000;
} // namespace

QByteArray SidecarMergeLines(const QString &designPath, const TMergeSource &merge)
{
    if (merge.DataFile.isEmpty())
        return QByteArray();
    const QDir folder = QFileInfo(designPath).absoluteDir();
    QString path = folder.relativeFilePath(merge.DataFile);
    if (path.startsWith(QLatin1String("../")))
        path = QFileInfo(merge.DataFile).absoluteFilePath();
    QByteArray lines = MergeMark + path.toUtf8() + "\r\n";
    if (!merge.Skipped.isEmpty()) {
        QByteArrayList numbers;
        for (const int record : merge.Skipped)
            numbers.append(QByteArray::number(record));
        lines += SkipMark + numbers.join(' ') + "\r\n";
    }
    return lines;
}

TMergeSource ReadSidecarMerge(const QString &designPath)
{
    TMergeSource merge;
    QByteArray bytes;
    if (ReadRegularFileHead(SidecarPath(designPath), 8 * 1024 * 1024, &bytes) !=
        TFileReadResult::Read)
        return merge;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith(MergeMark)) {
            const QString path = SidecarText(line.mid(MergeMark.size()));
            if (!path.isEmpty())
                merge.DataFile = QFileInfo(QFileInfo(designPath).absoluteDir(), path)
                                     .absoluteFilePath();
        } else if (line.startsWith(SkipMark)) {
            for (const QByteArray &number : line.mid(SkipMark.size()).split(' ')) {
                bool ok = false;
                const int record = number.toInt(&ok);
                if (ok && record >= 0 && merge.Skipped.size() < kMaxSkippedRecords)
                    merge.Skipped.append(record);
            }
        }
    }
    return merge;
}

void RemoveSidecar(const QString &designPath)
{
    const QString path = SidecarPath(designPath);
    if (QFileInfo::exists(path) && !QFile::remove(path))
        throw EStreamError(QStringLiteral("Cannot delete file %1").arg(PrintableText(path)));
}

void WriteSidecar(const QString &designPath, const QString &backgroundPath)
{
    if (backgroundPath.isEmpty()) {
        RemoveSidecar(designPath);
        return;
    }
    WriteFileAtomically(SidecarPath(designPath), SidecarBytes(backgroundPath));
}

QString ReadSidecar(const QString &designPath)
{
    // A sidecar that is not a regular file counts as none.
    QByteArray bytes;
    if (ReadRegularFileHead(SidecarPath(designPath), 64 * 1024, &bytes) != TFileReadResult::Read)
        return QString();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    // A first line ended by a lone CR still ends there.
    QByteArray first = lines.value(0);
    if (const qsizetype cr = first.indexOf('\r'); cr >= 0)
        first.truncate(cr);
    const QString art = SidecarText(first);

    QByteArray designDigest, replacedDigest, replacedArt;
    for (const QByteArray &line : std::as_const(lines)) {
        if (line.startsWith(DesignMark)) {
            designDigest = line.mid(DesignMark.size()).trimmed();
        } else if (line.startsWith(ReplacedMark)) {
            const QByteArray rest = line.mid(ReplacedMark.size());
            const qsizetype space = rest.indexOf(' ');
            replacedDigest = rest.left(space < 0 ? rest.size() : space);
            replacedArt = space < 0 ? QByteArray() : rest.mid(space + 1);
        }
    }
    if (designDigest.isEmpty() || replacedDigest.isEmpty())
        return art;
    // The save stopped between its two moves when the design there is the
    // one the sidecar's design replaced: that design keeps its own art.
    QByteArray design;
    if (ReadRegularFile(designPath, kMaxDesignFileBytes, &design) != TFileReadResult::Read)
        return art;
    const QByteArray digest = Digest(design);
    if (digest != designDigest && digest == replacedDigest)
        return SidecarText(replacedArt);
    return art;
}
