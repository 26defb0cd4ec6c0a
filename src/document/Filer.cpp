#include "document/Filer.h"

#include "document/ObjectStream.h"
#include "document/StreamIO.h"
#include "document/StoredObject.h"
#include "graphics/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <memory>
#include <vector>

namespace {

[[noreturn]] void CannotCreate(const QString &fileName)
{
    throw EStreamError(QStringLiteral("Cannot create file %1").arg(PrintableText(fileName)));
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
        if (file->write(write.Bytes) != write.Bytes.size() ||
            file->error() != QFileDevice::NoError) {
            file->cancelWriting();
            throw EStreamError(QStringLiteral("Stream write error"));
        }
        pending.push_back(std::move(file));
    }
    for (const std::unique_ptr<QSaveFile> &file : pending) {
        // The ones not committed yet are discarded with their QSaveFile.
        if (!file->commit())
            throw EStreamError(QStringLiteral("Stream write error"));
    }
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
    const qsizetype slash = std::max(designPath.lastIndexOf(QLatin1Char('/')),
                                     designPath.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = designPath.indexOf(QLatin1Char('.'), slash + 1);
    return (dot < 0 ? designPath : designPath.left(dot)) + QStringLiteral(".TSE");
}

QByteArray SidecarBytes(const QString &backgroundPath)
{
    return backgroundPath.toUtf8() + QByteArrayLiteral("\r\n");
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
    // Only its first line counts; a sidecar that is not a regular file counts as none.
    QByteArray line;
    if (ReadRegularFileHead(SidecarPath(designPath), 64 * 1024, &line) != TFileReadResult::Read)
        return QString();
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == '\r' || line.at(i) == '\n') {
            line.truncate(i);
            break;
        }
    }
    if (line.startsWith("\xEF\xBB\xBF"))
        line.remove(0, 3);
    // Sidecars of older designs hold 8-bit text.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(line);
    if (!utf8.hasError())
        return text;
    return DecodeWindows1252(line.constData(), line.size());
}
