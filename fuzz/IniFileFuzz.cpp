// Feeds arbitrary bytes to the preferences file reader as TSC.INI: every
// section, key and value is read in every way, then one setting is written.
// The write must read back, and every other setting must read as before:
// nothing the user had in the file is lost or changed by a save.
#include "shell/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

namespace {

using TSettings = std::map<std::pair<QString, QString>, QString>;

// Every setting as the program would read it, sections and keys in lower
// case since names compare without regard to it; the first one of a name wins.
TSettings ReadAll(const TIniFile &ini)
{
    TSettings all;
    for (const QString &section : ini.ReadSections()) {
        for (const QString &key : ini.ReadSection(section)) {
            const auto name = std::make_pair(section.toLower(), key.toLower());
            if (all.count(name) == 0)
                all[name] = ini.ReadString(section, key, QStringLiteral("\x01missing"));
            ini.ReadInteger(section, key, 0);
            ini.ReadBool(section, key, false);
        }
        ini.ReadSectionValues(section);
        ini.ReadSectionLineValues(section);
    }
    return all;
}

void Fail(const char *why)
{
    std::fprintf(stderr, "%s\n", why);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TSC.INI"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    TSettings before;
    {
        TIniFile ini(path);
        before = ReadAll(ini);
        if (!ini.Ok())
            return 0; // unreadable: never written
        if (!ini.WriteString(QStringLiteral("Fuzz Section"), QStringLiteral("Fuzz Key"),
                             QStringLiteral("written value")))
            return 0;
    }
    TIniFile again(path);
    if (again.ReadString(QStringLiteral("Fuzz Section"), QStringLiteral("Fuzz Key"), {}) !=
        QLatin1String("written value"))
        Fail("the written setting does not read back");
    TSettings after = ReadAll(again);
    after.erase({QStringLiteral("fuzz section"), QStringLiteral("fuzz key")});
    before.erase({QStringLiteral("fuzz section"), QStringLiteral("fuzz key")});
    if (after != before)
        Fail("a save changed a setting it was not asked to change");

    // Changes that add, remove and erase lines amid the file: the sections
    // as one object sees them after its writes are those a fresh reading
    // of the saved file finds.
    TIniFile edited(path);
    const QStringList sections = edited.ReadSections();
    if (!sections.isEmpty()) {
        const QString first = sections.first();
        edited.WriteString(first, QStringLiteral("Added Key"), QStringLiteral("1"));
        const QStringList keys = edited.ReadSection(sections.last());
        if (!keys.isEmpty())
            edited.DeleteKey(sections.last(), keys.first());
        if (sections.size() > 2)
            edited.EraseSection(sections.at(1));
        edited.WriteString(QStringLiteral("Fuzz Section 2"), QStringLiteral("Key"),
                           QStringLiteral("2"));
        if (edited.Ok() && ReadAll(edited) != ReadAll(TIniFile(path)))
            Fail("the sections after writes differ from a fresh reading");
    }
    return 0;
}
