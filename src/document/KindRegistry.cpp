#include "document/KindRegistry.h"

TObjectKindRegistry &TObjectKindRegistry::Instance()
{
    static TObjectKindRegistry registry;
    return registry;
}

const TObjectKindRegistry::Entry *TObjectKindRegistry::Find(const QString &name) const
{
    for (const Entry &e : m_entries)
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

void TObjectKindRegistry::Enter(const QString &name, const QMetaObject *meta, Factory factory)
{
    if (name.isEmpty() || Find(name))
        return;
    m_entries.push_back({name, meta, std::move(factory)});
}

bool TObjectKindRegistry::Contains(const QString &name) const
{
    return Find(name) != nullptr;
}

TStoredObject *TObjectKindRegistry::Create(const QString &name, QObject *owner) const
{
    const Entry *e = Find(name);
    return e && e->factory ? e->factory(owner) : nullptr;
}

const QMetaObject *TObjectKindRegistry::MetaObject(const QString &name) const
{
    const Entry *e = Find(name);
    return e ? e->meta : nullptr;
}

QStringList TObjectKindRegistry::Names() const
{
    QStringList names;
    names.reserve(qsizetype(m_entries.size()));
    for (const Entry &e : m_entries)
        names.append(e.name);
    return names;
}
