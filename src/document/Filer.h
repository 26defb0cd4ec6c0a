#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

class QObject;
class TObjectHost;
class TStoredObject;

// Saves and loads card objects in the design-file format: the design file,
// the clipboard file and the in-memory copy of the duplicate command. Created
// for one operation; errors travel to the caller as EStreamError.
//
// Saves build the whole stream first and go through QSaveFile, so the old
// file is replaced only by a complete new one ("Cannot create file %s" when it
// cannot be created, "Stream write error" when writing or committing fails).
class TGLabelObjectFiler
{
public:
    // True only while PasteObjects reads: each object moves 15 right and 15 down.
    bool OffsetOnLoad = false;
    // The component that owns the objects being read; names are checked against its children.
    QObject *LoadOwner = nullptr;
    // Saves keep text that 8-bit file text cannot hold (the clipboard file,
    // which only this program reads); design files do not.
    bool KeepUnicode = false;

    // Every object of the host, back to front.
    void SaveAllObjects(const TObjectHost *host, const QString &fileName);
    // The selected objects in selection order; with nothing selected the file is not touched.
    void SaveSelectedObjects(const QList<TStoredObject *> &selection, const QString &fileName);
    void SaveObject(TStoredObject *object, const QString &fileName);
    // The objects in the given order (the tools' own saving).
    void SaveObjects(const QList<TStoredObject *> &objects, const QString &fileName);

    // Reads every object of the file into new objects owned by owner and put
    // into the host (which may be null); a missing file reads nothing. Only a
    // regular file of at most kMaxDesignFileBytes is read; anything else is
    // "Cannot open file %s".
    QList<TStoredObject *> LoadObjects(QObject *owner, TObjectHost *host, const QString &fileName);
    // As LoadObjects, each object 15 pixels right and down of its stored place.
    QList<TStoredObject *> PasteObjects(QObject *owner, TObjectHost *host, const QString &fileName);
    // A copy through a memory stream, owned by owner, put into the host, not moved.
    TStoredObject *DuplicateObject(TStoredObject *object, QObject *owner, TObjectHost *host);

    // Reads a stream already in memory (the clipboard file's or a design's bytes).
    QList<TStoredObject *> ReadObjects(const QByteArray &data, QObject *owner, TObjectHost *host);

    // "Component0", "Component1", ...: the first that no component of
    // LoadOwner bears (letter case ignored); the stream's name when all 1001 are taken.
    QString RenameOnLoad(const QString &streamName,
                         const std::function<bool(const QString &)> &taken);
    // Unknown event handlers are dropped, not errors.
    static bool IgnoreMissingHandler(const QString &handlerName);

private:
    // Names only get taken while one stream is read, so the search for the
    // next free "Component" name goes on from the last one found.
    int m_nextComponent = 0;
    QList<TStoredObject *> ReadFile(QObject *owner, TObjectHost *host, const QString &fileName);
};

// Writes bytes to a file through QSaveFile: the old file stays unless the whole write succeeds.
void WriteFileAtomically(const QString &fileName, const QByteArray &bytes);

// One file of a save that writes several together.
struct TFileWrite
{
    QString FileName;
    QByteArray Bytes;
};
// Writes files that belong together (a design and its sidecar): every one is
// written completely to a temporary file beside it first, and only then are
// they moved into place, one right after the other, in the order given. When
// any of them cannot be written, none is changed. "Cannot create file %s" or
// "Stream write error" (EStreamError). A path that names a device, FIFO or
// folder is never written: "Cannot create file %s".
void WriteFilesTogether(const QList<TFileWrite> &files);
// Called after each file WriteFilesTogether moves into place, with its name:
// tests stop a save there, as a power cut or a kill would.
void SetFileMovedObserver(std::function<void(const QString &fileName)> observer);

// The background sidecar of a design: its path with the file name cut before
// the name's first "." and ".TSE" appended ("/a/b.c/Card.v2.TSC" gives
// "/a/b.c/Card.TSE"); a card's back keeps its own ("Card.back.TSC" gives
// "Card.back.TSE").
QString SidecarPath(const QString &designPath);
// One line, the background picture's path, ended by CR LF (UTF-8); an empty
// path deletes an existing sidecar instead.
void WriteSidecar(const QString &designPath, const QString &backgroundPath);
// The sidecar's bytes for a background picture's path.
QByteArray SidecarBytes(const QString &backgroundPath);
// A design's sidecar that also says which design it goes with (by the
// digest of its bytes), and which art the design it replaces had: written
// before the design, it gives either design its own art, so that a stop
// between the two moves never shows a design with another's background.
// Readers that take only the first line see the new art. Without a replaced
// design (a null one) it is the plain one-line sidecar.
QByteArray SidecarBytes(const QString &backgroundPath, const QByteArray &design,
                        const QByteArray &replacedDesign, const QString &replacedArt);
// The merge data a design prints its cards from, kept in the sidecar after
// the art (";merge PATH", relative to the design when beside it or below,
// and ";merge-skip 3 7": the records, from 0, not to print). Readers that
// take only the first line see the art alone.
struct TMergeSource
{
    QString DataFile; // absolute; empty: none
    QList<int> Skipped;
    bool operator==(const TMergeSource &) const = default;
};
QByteArray SidecarMergeLines(const QString &designPath, const TMergeSource &merge);
TMergeSource ReadSidecarMerge(const QString &designPath);
// Deletes the sidecar of a design when there is one ("Cannot delete file %s").
void RemoveSidecar(const QString &designPath);
// The background art of a design: the sidecar's first line, or empty when
// there is none (or it is not a regular file); or, when the sidecar names
// the design it goes with and the design there is the one it replaced, that
// design's art.
QString ReadSidecar(const QString &designPath);
