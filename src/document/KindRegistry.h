#pragma once

#include "document/StoredObject.h"

#include <QString>
#include <QStringList>
#include <concepts>
#include <functional>
#include <type_traits>
#include <vector>

// The object kinds a design file may name, by class name, each with the
// factory that makes a new object of it for an owner.
//
// Register<T>() enters T and then its bases, walking up until it reaches the
// common base of the kinds or a kind that is present already (whose own bases
// are then present too). The common base marks itself with
// `using KindRoot = ItsOwnClass;` and is never entered. A kind names its base
// with a typedef next to Q_OBJECT:
//
//     class TGPLabel : public TGBaseLabel
//     {
//         Q_OBJECT
//     public:
//         using Inherited = TGBaseLabel;
//         explicit TGPLabel(QObject *owner = nullptr);
//
// The typedef is checked against the meta-object chain: a kind that does not
// declare it (and so would see its base's typedef) enters only itself. Class
// names are the meta-object's, so they are the C++ class names. A base that is
// abstract is entered without a factory; naming it in a file reads as an
// unknown class.
class TObjectKindRegistry
{
public:
    using Factory = std::function<TStoredObject *(QObject *owner)>;

    // The registry of the process, used by the design file reader.
    static TObjectKindRegistry &Instance();

    template <class T> void Register();

    // Enters one kind by name; a name present already (in any letter case) changes nothing.
    void Enter(const QString &name, const QMetaObject *meta, Factory factory);

    bool Contains(const QString &name) const; // letter case ignored
    // A new object of the kind, owned by owner; null when the kind is unknown or abstract.
    TStoredObject *Create(const QString &name, QObject *owner) const;
    // The kind's meta-object, or null.
    const QMetaObject *MetaObject(const QString &name) const;
    // The entered kinds, in entry order.
    QStringList Names() const;

private:
    struct Entry
    {
        QString name;
        const QMetaObject *meta = nullptr;
        Factory factory;
    };
    const Entry *Find(const QString &name) const;
    std::vector<Entry> m_entries;
};

// Whether T is the common base of the kinds (derived classes see its typedef
// but are not it).
template <class T> constexpr bool IsKindRoot()
{
    if constexpr (requires { typename T::KindRoot; })
        return std::is_same_v<typename T::KindRoot, T>;
    else
        return std::is_same_v<T, TStoredObject>;
}

template <class T> void TObjectKindRegistry::Register()
{
    static_assert(std::is_base_of_v<TStoredObject, T>,
                  "only stored object kinds can be registered");
    if constexpr (!IsKindRoot<T>()) {
        const QString name = QString::fromLatin1(T::staticMetaObject.className());
        if (Contains(name))
            return;
        Factory factory;
        if constexpr (!std::is_abstract_v<T> && std::constructible_from<T, QObject *>)
            factory = [](QObject *owner) -> TStoredObject * { return new T(owner); };
        Enter(name, &T::staticMetaObject, std::move(factory));

        if constexpr (requires { typename T::Inherited; }) {
            using Base = typename T::Inherited;
            if constexpr (std::is_base_of_v<TStoredObject, Base> && !IsKindRoot<Base>()) {
                if (T::staticMetaObject.superClass() == &Base::staticMetaObject)
                    Register<Base>();
            }
        }
    }
}
