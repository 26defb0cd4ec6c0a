#include "document/ObjectStream.h"

#include "document/KindRegistry.h"
#include "document/StoredObject.h"
#include "graphics/RegularFile.h"

namespace {

// Nested groups inside nested groups are allowed, but not without end.
constexpr int MaxGroupDepth = 8;

const TPropertyDescriptor *FindProperty(const TPersistent &object, const QString &name)
{
    for (const TPropertyDescriptor &d : object.PropertyTable())
        if (d.name.compare(name, Qt::CaseInsensitive) == 0)
            return &d;
    return nullptr;
}

[[noreturn]] void Fail(const char *message)
{
    throw EStreamError(QString::fromLatin1(message));
}

int IdentifierIndex(const QStringList &identifiers, const QString &ident)
{
    for (qsizetype i = 0; i < identifiers.size(); ++i)
        if (identifiers.at(i).compare(ident, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void WritePropertiesAt(TStreamWriter &w, const TPersistent &object, const QString &prefix,
                       int depth)
{
    if (depth > MaxGroupDepth)
        return;
    for (const TPropertyDescriptor &d : object.PropertyTable()) {
        if (!d.writable || !d.IsStored(object))
            continue;
        const QString path = prefix + d.name;
        switch (d.kind) {
        case TPropertyKind::Integer: {
            if (!d.getOrdinal)
                break;
            const int32_t v = d.getOrdinal(object);
            if (d.defaultValue && v == *d.defaultValue)
                break;
            std::optional<QString> ident;
            if (d.identifierTable == TIdentifierTable::Color)
                ident = ColorToIdent(v);
            else if (d.identifierTable == TIdentifierTable::Cursor)
                ident = CursorToIdent(v);
            w.WritePropName(path);
            if (ident) {
                w.WriteValue(TStreamValue::svIdent);
                w.WriteShortName(*ident);
            } else {
                w.WriteInteger(v);
            }
            break;
        }
        case TPropertyKind::Enumeration: {
            if (!d.getOrdinal)
                break;
            const int32_t v = d.getOrdinal(object);
            if ((d.defaultValue && v == *d.defaultValue) || v < 0 || v >= d.identifiers.size())
                break;
            w.WritePropName(path);
            w.WriteIdent(d.identifiers.at(v));
            break;
        }
        case TPropertyKind::Set: {
            if (!d.getOrdinal)
                break;
            const int32_t v = d.getOrdinal(object);
            if (d.defaultValue && v == *d.defaultValue)
                break;
            w.WritePropName(path);
            w.WriteSet(uint32_t(v), d.identifiers);
            break;
        }
        case TPropertyKind::Float: {
            if (!d.getFloat)
                break;
            const double v = d.getFloat(object);
            if (v == 0)
                break;
            w.WritePropName(path);
            w.WriteFloat(v);
            break;
        }
        case TPropertyKind::String: {
            if (!d.getString)
                break;
            const QString v = d.getString(object);
            if (v.isEmpty())
                break;
            w.WritePropName(path);
            w.WriteString(v);
            break;
        }
        case TPropertyKind::Object: {
            if (!d.getObject)
                break;
            // The accessor hands out the owned group; writing only reads it.
            const TPersistent *group = d.getObject(const_cast<TPersistent &>(object));
            if (!group)
                break;
            const QString groupPrefix = path + QLatin1Char('.');
            WritePropertiesAt(w, *group, groupPrefix, depth + 1);
            group->WriteDefinedEntries(w, groupPrefix);
            break;
        }
        case TPropertyKind::Event:
            // No kind publishes an assigned handler.
            break;
        }
    }
}

void ReadValueInto(TStreamReader &r, TPersistent &object, const TPropertyDescriptor &d,
                   const std::function<bool(const QString &)> &ignoreMissingHandler)
{
    switch (d.kind) {
    case TPropertyKind::Integer: {
        const TStreamValue tag = r.ReadValue();
        int32_t v = 0;
        if (tag == TStreamValue::svIdent) {
            const QString ident = r.ReadShortName();
            std::optional<int32_t> found;
            if (d.identifierTable == TIdentifierTable::Color)
                found = IdentToColor(ident);
            else if (d.identifierTable == TIdentifierTable::Cursor)
                found = IdentToCursor(ident);
            if (!found)
                Fail("Invalid property value");
            v = *found;
        } else {
            v = r.ReadIntegerOf(tag);
        }
        if (d.setOrdinal)
            d.setOrdinal(object, v);
        return;
    }
    case TPropertyKind::Enumeration: {
        const int index = IdentifierIndex(d.identifiers, r.ReadIdent());
        if (index < 0)
            Fail("Invalid property value");
        if (d.setOrdinal)
            d.setOrdinal(object, index);
        return;
    }
    case TPropertyKind::Set: {
        if (r.ReadValue() != TStreamValue::svSet)
            Fail("Invalid property value");
        uint32_t bits = 0;
        for (const QString &member : r.ReadSetMembers()) {
            const int index = IdentifierIndex(d.identifiers, member);
            if (index < 0)
                Fail("Invalid property value");
            if (index <= 31)
                bits |= uint32_t(1) << index;
        }
        if (d.setOrdinal)
            d.setOrdinal(object, int32_t(bits));
        return;
    }
    case TPropertyKind::Float: {
        const double v = r.ReadFloat();
        if (d.setFloat)
            d.setFloat(object, v);
        return;
    }
    case TPropertyKind::String: {
        const QString v = r.ReadString();
        if (d.setString)
            d.setString(object, v);
        return;
    }
    case TPropertyKind::Object: {
        // Groups are owned by their object: nil leaves the group as it is, and
        // collection items have nowhere to go.
        const TStreamValue tag = r.ReadValue();
        if (tag == TStreamValue::svNil)
            return;
        if (tag == TStreamValue::svCollection) {
            r.SkipValueOf(tag, 0);
            return;
        }
        Fail("Invalid property value");
    }
    case TPropertyKind::Event: {
        const TStreamValue tag = r.ReadValue();
        if (tag == TStreamValue::svNil)
            return;
        if (tag == TStreamValue::svIdent) {
            // No object offers handlers, so any name is a missing one.
            const QString handler = r.ReadShortName();
            if (ignoreMissingHandler && ignoreMissingHandler(handler))
                return;
        }
        Fail("Invalid property value");
    }
    }
}

} // namespace

// ---- writing ----------------------------------------------------------------

void WriteProperties(TStreamWriter &writer, const TPersistent &object, const QString &prefix)
{
    WritePropertiesAt(writer, object, prefix, 0);
}

void WriteRootObject(TStreamWriter &writer, const TStoredObject &object)
{
    writer.WriteSignature();
    writer.WriteShortName(QString::fromLatin1(object.metaObject()->className()));
    writer.WriteShortName(object.Name());
    WriteProperties(writer, object);
    writer.WriteListEnd();
    writer.WriteListEnd(); // card objects have no children
}

QByteArray WriteObjectList(const QList<TStoredObject *> &objects, bool keepUnicode)
{
    TStreamWriter writer;
    writer.KeepUnicode = keepUnicode;
    writer.WriteListBegin();
    for (const TStoredObject *object : objects)
        WriteRootObject(writer, *object);
    writer.WriteListEnd();
    return writer.TakeData();
}

std::vector<std::pair<const TStoredObject *, QString>>
ObjectsLosingText(const QList<TStoredObject *> &objects)
{
    std::vector<std::pair<const TStoredObject *, QString>> losing;
    for (const TStoredObject *object : objects) {
        TStreamWriter strict;
        WriteRootObject(strict, *object);
        if (!strict.LostText())
            continue;
        // The text itself, from a copy that keeps it.
        QString text;
        for (const QString &line : DumpObject(*object, false)) {
            bool lossless = true;
            EncodeWindows1252(line, &lossless);
            if (!lossless) {
                text = line.section(QStringLiteral(" = "), 1).trimmed();
                break;
            }
        }
        losing.emplace_back(object, text);
    }
    return losing;
}

QStringList DumpObject(const TStoredObject &object, bool printable)
{
    TStreamWriter writer;
    writer.KeepUnicode = true;
    WriteRootObject(writer, object);
    TStreamReader reader(writer.TakeData());
    reader.EscapeControls = printable;
    const auto shown = [printable](const QString &text) {
        return printable ? PrintableText(text) : text;
    };
    reader.ReadSignature();
    reader.SkipRecordPrefix();
    const QString className = shown(reader.ReadShortName());
    const QString name = shown(reader.ReadShortName());
    QStringList lines;
    lines.append(QStringLiteral("object %1: %2").arg(name, className));
    while (!reader.EndOfList()) {
        const QString path = shown(reader.ReadShortName());
        lines.append(QStringLiteral("  ") + path + QStringLiteral(" = ") + reader.ValueText());
    }
    lines.append(QStringLiteral("end"));
    return lines;
}

std::vector<std::pair<QString, QString>> DumpEntries(const QByteArray &entries)
{
    std::vector<std::pair<QString, QString>> out;
    TStreamReader reader(entries);
    while (!reader.AtEnd()) {
        QString name = reader.ReadShortName();
        QString value = reader.ValueText();
        out.emplace_back(std::move(name), std::move(value));
    }
    return out;
}

// ---- reading ----------------------------------------------------------------

void ReadProperty(TStreamReader &reader, TPersistent &object, const QString &path,
                  const std::function<bool(const QString &)> &ignoreMissingHandler)
{
    const QStringList parts = path.split(QLatin1Char('.'));
    TPersistent *target = &object;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const TPropertyDescriptor *d = FindProperty(*target, parts.at(i));
        TPersistent *next = nullptr;
        if (d && d->kind == TPropertyKind::Object && d->getObject)
            next = d->getObject(*target);
        if (!next)
            Fail("Invalid property path");
        target = next;
    }
    const QString &name = parts.last();
    const TPropertyDescriptor *d = FindProperty(*target, name);
    if (!d) {
        if (target->ReadDefinedEntry(name, reader))
            return;
        Fail("Property does not exist");
    }
    if (!d->writable)
        Fail("Property is read-only");
    ReadValueInto(reader, *target, *d, ignoreMissingHandler);
}

bool IsValidIdent(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        const bool digit = c >= '0' && c <= '9';
        if (!(letter || (i > 0 && digit)))
            return false;
    }
    return true;
}

TObjectReader::TObjectReader(TStreamReader &reader)
    : m_reader(reader)
{
}

bool TObjectReader::IsNameTaken(const QString &name) const
{
    return m_names.contains(name.toCaseFolded());
}

QList<TStoredObject *> TObjectReader::ReadList()
{
    m_names.clear();
    if (LoadOwner) {
        for (const QObject *child : LoadOwner->children())
            if (!child->objectName().isEmpty())
                m_names.insert(child->objectName().toCaseFolded());
    }

    std::vector<QPointer<TStoredObject>> loaded;
    auto finish = [&loaded] {
        for (const QPointer<TStoredObject> &object : loaded) {
            if (!object)
                continue;
            object->Loaded();
            object->SetLoading(false);
            object->MakeReady();
        }
    };

    try {
        m_reader.ReadListBegin();
        while (!m_reader.EndOfList())
            loaded.emplace_back(ReadRootObject());
        m_reader.ReadListEnd();
    } catch (...) {
        finish();
        throw;
    }
    finish();

    QList<TStoredObject *> objects;
    for (const QPointer<TStoredObject> &object : loaded)
        if (object)
            objects.append(object.data());
    return objects;
}

void TObjectReader::AssignName(TStoredObject *object, const QString &streamName)
{
    const QString name = OnSetName ? OnSetName(streamName) : streamName;
    if (!name.isEmpty()) {
        if (!IsValidIdent(name))
            throw EStreamError(
                QStringLiteral("''%1'' is not a valid component name").arg(PrintableText(name)));
        if (IsNameTaken(name))
            throw EStreamError(
                QStringLiteral("A component named %1 already exists").arg(PrintableText(name)));
        m_names.insert(name.toCaseFolded());
    }
    object->SetName(name);
}

void TObjectReader::RenameFromEntry(TStoredObject *object, const QString &name)
{
    // A "Name" entry renames the object under the same rules as its record's
    // name; an empty name leaves the object unnamed.
    if (!name.isEmpty() && !IsValidIdent(name))
        throw EStreamError(
            QStringLiteral("''%1'' is not a valid component name").arg(PrintableText(name)));
    if (name.compare(object->Name(), Qt::CaseInsensitive) != 0) {
        if (!name.isEmpty() && IsNameTaken(name))
            throw EStreamError(
                QStringLiteral("A component named %1 already exists").arg(PrintableText(name)));
        m_names.remove(object->Name().toCaseFolded());
        if (!name.isEmpty())
            m_names.insert(name.toCaseFolded());
    }
    object->SetName(name);
}

TStoredObject *TObjectReader::ReadRootObject()
{
    m_reader.ReadSignature();
    m_reader.SkipRecordPrefix();
    const QString className = m_reader.ReadShortName();
    const QString streamName = m_reader.ReadShortName();

    const TObjectKindRegistry &registry = Registry ? *Registry : TObjectKindRegistry::Instance();
    TStoredObject *object = registry.Create(className, LoadOwner);
    if (!object)
        throw EStreamError(QStringLiteral("Class %1 not found").arg(PrintableText(className)));
    object->SetLoading(true);
    try {
        if (Host)
            Host->AdoptObject(object);
        AssignName(object, streamName);
        while (!m_reader.EndOfList()) {
            const QString path = m_reader.ReadShortName();
            try {
                if (path.compare(QLatin1StringView("Name"), Qt::CaseInsensitive) == 0)
                    RenameFromEntry(object, m_reader.ReadString());
                else
                    ReadProperty(m_reader, *object, path, OnMissingHandler);
            } catch (const std::exception &e) {
                const auto *streamError = dynamic_cast<const EStreamError *>(&e);
                const QString message =
                    streamError ? streamError->Message() : QString::fromLocal8Bit(e.what());
                const QString who = object->Name().isEmpty() ? className : object->Name();
                throw EStreamError(QStringLiteral("Error reading %1.%2: %3")
                                       .arg(PrintableText(who), PrintableText(path), message));
            }
        }
        m_reader.ReadListEnd();
        while (!m_reader.EndOfList())
            SkipChildRecord(1);
        m_reader.ReadListEnd();
        if (OnObjectRead)
            OnObjectRead(object);
    } catch (...) {
        delete object;
        throw;
    }
    return object;
}

void TObjectReader::SkipChildRecord(int depth)
{
    // Card objects own no children; a record of one is read past, not created.
    if (depth > TStreamReader::MaxDepth)
        throw EStreamError(QStringLiteral("Stream read error"));
    m_reader.SkipRecordPrefix();
    m_reader.ReadShortName();
    m_reader.ReadShortName();
    while (!m_reader.EndOfList()) {
        m_reader.ReadShortName();
        m_reader.SkipValue(1);
    }
    m_reader.ReadListEnd();
    while (!m_reader.EndOfList())
        SkipChildRecord(depth + 1);
    m_reader.ReadListEnd();
}
