#include "document/Persistent.h"

#include <QtGlobal>

void CopyStoredProperties(TPersistent &to, const TPersistent &from,
                          const std::function<bool(const TPropertyDescriptor &)> &taken)
{
    const TPropertyTable &table = from.PropertyTable();
    Q_ASSERT(&table == &to.PropertyTable());
    for (const TPropertyDescriptor &d : table) {
        if (d.stored == TPropertyDescriptor::Stored::Never || !d.writable || (taken && !taken(d)))
            continue;
        switch (d.kind) {
        case TPropertyKind::Integer:
        case TPropertyKind::Enumeration:
        case TPropertyKind::Set:
            if (d.getOrdinal && d.setOrdinal)
                d.setOrdinal(to, d.getOrdinal(from));
            break;
        case TPropertyKind::Float:
            if (d.getFloat && d.setFloat)
                d.setFloat(to, d.getFloat(from));
            break;
        case TPropertyKind::String:
            if (d.getString && d.setString)
                d.setString(to, d.getString(from));
            break;
        case TPropertyKind::Object:
            if (d.copyObject)
                d.copyObject(to, from);
            break;
        case TPropertyKind::Event:
            break;
        }
    }
}
