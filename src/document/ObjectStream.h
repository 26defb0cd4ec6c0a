#pragma once

#include "document/Persistent.h"
#include "document/StreamIO.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class TObjectHost;
class TObjectKindRegistry;
class TStoredObject;

// The generic object writer and reader: they walk the property tables, so no
// kind writes or reads bytes of its own.

// The stored properties of an object or nested group by the writing rules,
// each as its path (prefix + name) and a tagged value; nested groups add their
// own properties and defined entries under "Name.".
void WriteProperties(TStreamWriter &writer, const TPersistent &object,
                     const QString &prefix = QString());
// Signature, class name, object name, properties, end of properties, end of children.
void WriteRootObject(TStreamWriter &writer, const TStoredObject &object);
// svList, the objects as roots, svNull. With keepUnicode the text the file's
// 8-bit characters cannot hold is kept (for copies this program reads back).
QByteArray WriteObjectList(const QList<TStoredObject *> &objects, bool keepUnicode = false);
// The objects holding text that a design file's 8-bit characters cannot hold,
// each as its name and the first such text.
std::vector<std::pair<const TStoredObject *, QString>>
ObjectsLosingText(const QList<TStoredObject *> &objects);

// The object as the writer would write it, one line per entry:
// "object NAME: CLASS", "  Path = value" ..., "end". Printable shows the
// control characters of its names and text escaped (PrintableText).
QStringList DumpObject(const TStoredObject &object, bool printable = true);
// Name / value-text pairs of a run of property entries (path, tagged value) up to the end.
std::vector<std::pair<QString, QString>> DumpEntries(const QByteArray &entries);

// Reads one property entry's value into the object reached by the path
// ("Font.Name"), letter case ignored.
void ReadProperty(TStreamReader &reader, TPersistent &object, const QString &path,
                  const std::function<bool(const QString &)> &ignoreMissingHandler = {});

// Reads a list of object records into new objects of the registered kinds.
class TObjectReader
{
public:
    explicit TObjectReader(TStreamReader &reader);

    // Owner of the new objects; names are checked against its children.
    QObject *LoadOwner = nullptr;
    // Where each new object is put as soon as it is made (may be null: the
    // objects stay unplaced).
    TObjectHost *Host = nullptr;
    const TObjectKindRegistry *Registry = nullptr; // the process's when null

    // Gives the name an object read from the stream will bear.
    std::function<QString(const QString &streamName)> OnSetName;
    // Declares an unknown event handler not an error.
    std::function<bool(const QString &handlerName)> OnMissingHandler;
    // Runs for every object after its properties (still marked as loading).
    std::function<void(TStoredObject *object)> OnObjectRead;

    // svList, the records, svNull. Every object read gets its loaded step and
    // its menu once reading ends, also when a later record fails: those
    // objects stay where they were put and must work. The object whose record
    // fails is freed and the error goes on.
    QList<TStoredObject *> ReadList();

    // Whether a component owned by LoadOwner (or read in this run) bears the name.
    bool IsNameTaken(const QString &name) const;

private:
    TStoredObject *ReadRootObject();
    void SkipChildRecord(int depth);
    void AssignName(TStoredObject *object, const QString &streamName);
    void RenameFromEntry(TStoredObject *object, const QString &name);

    TStreamReader &m_reader;
    QSet<QString> m_names; // case-folded names of the owner's components
};

// Whether the text is a valid component name (letter or "_", then letters, digits, "_").
bool IsValidIdent(const QString &name);
