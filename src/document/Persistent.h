#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <type_traits>
#include <vector>

class TStreamWriter;
class TStreamReader;
class TPersistent;

// Property tables are data: the design file writer and reader, the clipboard,
// the clone command and `tessaro-batch dump` all walk them.

enum class TPropertyKind {
    Integer,     // 32-bit; also colours and cursors
    Enumeration, // ordinal with an identifier list (Booleans: "False", "True")
    Set,         // bit mask of an enumeration of at most 32 members
    Float,
    String,
    Object, // a nested group (font, pen, brush, string list, bitmap, picture, rich text)
    Event,
};

// Integer types whose values may be written as identifiers.
enum class TIdentifierTable { None, Color, Cursor };

// The stored marker of "no default" in the file format's own terms. A
// descriptor keeps "no default" as an empty optional, so a colour whose value
// happens to be this number is still told apart.
constexpr int32_t NoDefault = INT32_MIN;

struct TPropertyDescriptor
{
    enum class Stored { Always, Never, When };

    QString name;
    TPropertyKind kind = TPropertyKind::Integer;
    QStringList identifiers; // Enumeration and Set, in ordinal order
    TIdentifierTable identifierTable = TIdentifierTable::None;
    std::optional<int32_t> defaultValue; // empty: always written
    Stored stored = Stored::Always;
    std::function<bool(const TPersistent &)> storedWhen; // for Stored::When
    bool writable = true;

    // Accessors; the ones that match the kind are set.
    std::function<int32_t(const TPersistent &)> getOrdinal; // Integer, Enumeration, Set
    std::function<void(TPersistent &, int32_t)> setOrdinal;
    std::function<double(const TPersistent &)> getFloat;
    std::function<void(TPersistent &, double)> setFloat;
    std::function<QString(const TPersistent &)> getString;
    std::function<void(TPersistent &, const QString &)> setString;
    std::function<TPersistent *(TPersistent &)> getObject; // null: nil, skipped
    // Object: takes the group of another owner of the same kind through the
    // group's Assign (see CopyStoredProperties); unset for groups without one.
    std::function<void(TPersistent &to, const TPersistent &from)> copyObject;

    bool IsStored(const TPersistent &owner) const
    {
        switch (stored) {
        case Stored::Always:
            return true;
        case Stored::Never:
            return false;
        case Stored::When:
            return !storedWhen || storedWhen(owner);
        }
        return true;
    }
};

using TPropertyTable = std::vector<TPropertyDescriptor>;

// Anything with a property table: card objects and their nested groups.
class TPersistent
{
public:
    virtual ~TPersistent() = default;
    virtual const TPropertyTable &PropertyTable() const = 0;

    // The defined entries of nested groups ("Strings", "Data"), written after
    // the published properties; the path prefix ends in ".".
    virtual void WriteDefinedEntries(TStreamWriter &, const QString &) const {}
    // Reads one defined entry by name (letter case ignored); false when the
    // group has no entry of that name.
    virtual bool ReadDefinedEntry(const QString &, TStreamReader &) { return false; }
    // The defined entries as the text dump shows them: name and value text.
    virtual std::vector<std::pair<QString, QString>> DumpDefinedEntries() const { return {}; }
};

// Copies the properties of one object onto another of the same kind through
// the table's accessors, in table order: the order reading a design sets them,
// which the kinds' setters are written for. Entries never stored and read-only
// ones are left out, and so is any entry `taken` refuses; a nested group is
// copied by its descriptor's copyObject. A stored-when condition does not
// matter here: it decides whether a file needs the value, the copy takes it.
void CopyStoredProperties(TPersistent &to, const TPersistent &from,
                          const std::function<bool(const TPropertyDescriptor &)> &taken = {});

// Builders for the descriptors of a kind's table. T is the class that owns
// the property; getters and setters are its member functions.
namespace props {

template <class T>
const T &As(const TPersistent &p)
{
    return static_cast<const T &>(p);
}
template <class T>
T &As(TPersistent &p)
{
    return static_cast<T &>(p);
}

template <class T, class G, class S>
TPropertyDescriptor Integer(const QString &name, G get, S set,
                            std::optional<int32_t> def = std::nullopt,
                            TIdentifierTable table = TIdentifierTable::None)
{
    TPropertyDescriptor d;
    d.name = name;
    d.kind = TPropertyKind::Integer;
    d.identifierTable = table;
    d.defaultValue = def;
    d.getOrdinal = [get](const TPersistent &p) {
        return static_cast<int32_t>((As<T>(p).*get)());
    };
    d.setOrdinal = [set](TPersistent &p, int32_t v) { (As<T>(p).*set)(v); };
    return d;
}

template <class T, class G, class S>
TPropertyDescriptor Color(const QString &name, G get, S set,
                          std::optional<int32_t> def = std::nullopt)
{
    TPropertyDescriptor d;
    d.name = name;
    d.kind = TPropertyKind::Integer;
    d.identifierTable = TIdentifierTable::Color;
    d.defaultValue = def;
    d.getOrdinal = [get](const TPersistent &p) {
        return static_cast<int32_t>(static_cast<uint32_t>((As<T>(p).*get)()));
    };
    d.setOrdinal = [set](TPersistent &p, int32_t v) {
        (As<T>(p).*set)(static_cast<uint32_t>(v));
    };
    return d;
}

// An enumeration stored by name; E converts to and from int.
template <class T, class E, class G, class S>
TPropertyDescriptor Enum(const QString &name, const QStringList &identifiers, G get, S set,
                         std::optional<int32_t> def = std::nullopt)
{
    TPropertyDescriptor d;
    d.name = name;
    d.kind = TPropertyKind::Enumeration;
    d.identifiers = identifiers;
    d.defaultValue = def;
    d.getOrdinal = [get](const TPersistent &p) {
        return static_cast<int32_t>((As<T>(p).*get)());
    };
    d.setOrdinal = [set](TPersistent &p, int32_t v) { (As<T>(p).*set)(static_cast<E>(v)); };
    return d;
}

template <class T, class G, class S>
TPropertyDescriptor Boolean(const QString &name, G get, S set,
                            std::optional<int32_t> def = std::nullopt)
{
    TPropertyDescriptor d;
    d.name = name;
    d.kind = TPropertyKind::Enumeration;
    d.identifiers = {QStringLiteral("False"), QStringLiteral("True")};
    d.defaultValue = def;
    d.getOrdinal = [get](const TPersistent &p) { return (As<T>(p).*get)() ? 1 : 0; };
    d.setOrdinal = [set](TPersistent &p, int32_t v) { (As<T>(p).*set)(v != 0); };
    return d;
}

// A set held as a bit mask (bit n = member of ordinal n).
template <class T, class G, class S>
TPropertyDescriptor Set(const QString &name, const QStringList &identifiers, G get, S set,
                        std::optional<int32_t> def = std::nullopt)
{
    TPropertyDescriptor d;
    d.name = name;
    d.kind = TPropertyKind::Set;
    d.identifiers = identifiers;
    d.defaultValue = def;
    d.getOrdinal = [get](const TPersistent &p) {
        return static_cast<int32_t>((As<T>(p).*get)());
    };
    d.setOrdinal = [set](TPersistent &p, int32_t v) {
        (As<T>(p).*set)(static_cast<uint32_t>(v));
    };
    return d;
}

template <class T, class G, class S>
TPropertyDescriptor Float(const QString &name, G get, S set)
{
    TPropertyDescriptor d;
    d.name = name;
    d.kind = TPropertyKind::Float;
    d.getFloat = [get](const TPersistent &p) { return static_cast<double>((As<T>(p).*get)()); };
    d.setFloat = [set](TPersistent &p, double v) { (As<T>(p).*set)(v); };
    return d;
}

template <class T, class G, class S>
TPropertyDescriptor String(const QString &name, G get, S set)
{
    TPropertyDescriptor d;
    d.name = name;
    d.kind = TPropertyKind::String;
    d.getString = [get](const TPersistent &p) { return QString((As<T>(p).*get)()); };
    d.setString = [set](TPersistent &p, const QString &v) { (As<T>(p).*set)(v); };
    return d;
}

// A nested group owned by the object; G returns a pointer to it (or null).
template <class T, class G>
TPropertyDescriptor Object(const QString &name, G get)
{
    TPropertyDescriptor d;
    d.name = name;
    d.kind = TPropertyKind::Object;
    d.getObject = [get](TPersistent &p) -> TPersistent * { return (As<T>(p).*get)(); };
    using Group = std::remove_pointer_t<std::invoke_result_t<G, T &>>;
    if constexpr (requires(Group &group, const Group &other) { group.Assign(other); }) {
        d.copyObject = [get](TPersistent &to, const TPersistent &from) {
            // The getter hands the group out to be changed; the source's is only read.
            const Group *source = (As<T>(const_cast<TPersistent &>(from)).*get)();
            Group *target = (As<T>(to).*get)();
            if (source && target)
                target->Assign(*source);
        };
    }
    return d;
}

// Marks a descriptor as stored only when the predicate holds.
inline TPropertyDescriptor StoredWhen(TPropertyDescriptor d,
                                      std::function<bool(const TPersistent &)> when)
{
    d.stored = TPropertyDescriptor::Stored::When;
    d.storedWhen = std::move(when);
    return d;
}

inline TPropertyDescriptor NeverStored(TPropertyDescriptor d)
{
    d.stored = TPropertyDescriptor::Stored::Never;
    return d;
}

} // namespace props
