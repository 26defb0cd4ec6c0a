#include "surface/KindCatalogue.h"

#include <algorithm>

namespace {

QList<TCardKind> &Installed()
{
    static QList<TCardKind> kinds;
    return kinds;
}

} // namespace

QString TCardKind::ToolName() const
{
    return Hint ? QString::fromLatin1(Hint).section(QLatin1Char('\n'), 0, 0).trimmed() : QString();
}

void KindCatalogue::Install(const QList<TCardKind> &kinds)
{
    Installed() = kinds;
    QList<const TCardKind *> stored;
    for (const TCardKind &kind : Installed())
        if (kind.Register)
            stored.append(&kind);
    std::stable_sort(stored.begin(), stored.end(), [](const TCardKind *a, const TCardKind *b) {
        return a->RegistryRank < b->RegistryRank;
    });
    for (const TCardKind *kind : stored)
        kind->Register();
}

const QList<TCardKind> &KindCatalogue::Kinds()
{
    return Installed();
}

const TCardKind *KindCatalogue::ForTool(TLPanelState tool)
{
    for (const TCardKind &kind : Installed())
        if (kind.Tool == tool && kind.Hint)
            return &kind;
    return nullptr;
}
