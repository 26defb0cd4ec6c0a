#include "shell/IniFile.h"

#include "ShellTestHelpers.h"
#include "common/HostileFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test
{
protected:
    QString Path(const QString &name = QStringLiteral("TSC.INI")) const
    {
        return m_dir.path() + QLatin1Char('/') + name;
    }
    QTemporaryDir m_dir;
};

TEST_F(IniFileTest, ReadsIntegersWithTheFormatsRules)
{
    ASSERT_TRUE(WriteBytes(Path(), "[Numbers]\r\n"
                                   "Plain=42\r\n"
                                   "Padded =   17   \r\n"
                                   "Hex=0x10\r\n"
                                   "HexUpper=0XfF\r\n"
                                   "Negative=-8\r\n"
                                   "NegativeHex=-0x10\r\n"
                                   "Plus=+7\r\n"
                                   "Max=2147483647\r\n"
                                   "Min=-2147483648\r\n"
                                   "HexMax=0x7FFFFFFF\r\n"
                                   "TooBig=2147483648\r\n"
                                   "TooSmall=-2147483649\r\n"
                                   "HexTooBig=0x80000000\r\n"
                                   "Huge=99999999999999999999999\r\n"
                                   "Empty=\r\n"
                                   "Words=abc\r\n"
                                   "Trailing=12abc\r\n"
                                   "Decimal=1.5\r\n"
                                   "InnerSpace=1 2\r\n"
                                   "BarePrefix=0x\r\n"
                                   "BareSign=-\r\n"
                                   "BadHex=0x1G\r\n"));
    TIniFile ini(Path());
    EXPECT_TRUE(ini.Ok());
    const QString s = QStringLiteral("Numbers");
    EXPECT_EQ(ini.ReadInteger(s, "Plain", -1), 42);
    EXPECT_EQ(ini.ReadInteger(s, "Padded", -1), 17);
    EXPECT_EQ(ini.ReadInteger(s, "Hex", -1), 16);
    EXPECT_EQ(ini.ReadInteger(s, "HexUpper", -1), 255);
    EXPECT_EQ(ini.ReadInteger(s, "Negative", -1), -8);
    EXPECT_EQ(ini.ReadInteger(s, "NegativeHex", -1), -16);
    EXPECT_EQ(ini.ReadInteger(s, "Plus", -1), 7);
    EXPECT_EQ(ini.ReadInteger(s, "Max", -1), 2147483647);
    EXPECT_EQ(ini.ReadInteger(s, "Min", -1), -2147483647 - 1);
    EXPECT_EQ(ini.ReadInteger(s, "HexMax", -1), 2147483647);

    for (const char *bad : {"TooBig", "TooSmall", "HexTooBig", "Huge", "Empty", "Words", "Trailing",
                            "Decimal", "InnerSpace", "BarePrefix", "BareSign", "BadHex", "Missing"})
        EXPECT_EQ(ini.ReadInteger(s, bad, 1234), 1234) << bad;
    EXPECT_EQ(ini.ReadInteger("No Such Section", "Plain", 99), 99);
}

TEST_F(IniFileTest, ReadsBooleansAsIntegers)
{
    ASSERT_TRUE(WriteBytes(Path(), "[Printer]\n"
                                   "ShowBottomMarginWarning=2\n"
                                   "Zero=0\n"
                                   "One=1\n"
                                   "HexZero=0x0\n"
                                   "Negative=-1\n"
                                   "Word=true\n"
                                   "Blank=\n"));
    TIniFile ini(Path());
    EXPECT_TRUE(ini.ReadBool("Printer", "ShowBottomMarginWarning", false));
    EXPECT_FALSE(ini.ReadBool("Printer", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("Printer", "One", false));
    EXPECT_FALSE(ini.ReadBool("Printer", "HexZero", true));
    EXPECT_TRUE(ini.ReadBool("Printer", "Negative", false));
    // Not integers: the default, whichever it is.
    EXPECT_TRUE(ini.ReadBool("Printer", "Word", true));
    EXPECT_FALSE(ini.ReadBool("Printer", "Word", false));
    EXPECT_TRUE(ini.ReadBool("Printer", "Blank", true));
    EXPECT_FALSE(ini.ReadBool("Printer", "Missing", false));
}

TEST_F(IniFileTest, NamesMatchWithoutCaseAndTextIsTrimmed)
{
    ASSERT_TRUE(WriteBytes(Path(), "top=before any section\r\n"
                                   "  [ Default Font ]  \r\n"
                                   "; Name=Commented Out\r\n"
                                   "  Name  =  Times New Roman  \r\n"
                                   "Size=12\r\n"
                                   "[Layout]\r\n"
                                   "Height=2047\r\n"));
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("default font", "NAME", "x"), "Times New Roman");
    EXPECT_EQ(ini.ReadString("DEFAULT FONT", "name", "x"), "Times New Roman");
    EXPECT_EQ(ini.ReadInteger("LAYOUT", "height", 0), 2047);
    // The size belongs to its own section only; lines before the first
    // section belong to none.
    EXPECT_EQ(ini.ReadInteger("Layout", "Size", -1), -1);
    EXPECT_EQ(ini.ReadString("", "top", "none"), "none");
    EXPECT_EQ(ini.ReadSections(), QStringList({"Default Font", "Layout"}));
    EXPECT_EQ(ini.ReadSection("default font"), QStringList({"Name", "Size"}));
    EXPECT_TRUE(ini.SectionExists("LAYOUT"));
    EXPECT_FALSE(ini.SectionExists("Printer"));
    EXPECT_TRUE(ini.ValueExists("layout", "HEIGHT"));
    EXPECT_FALSE(ini.ValueExists("layout", "Width"));
}

TEST_F(IniFileTest, MissingFileReadsAsEmptyAndWritingCreatesIt)
{
    {
        TIniFile ini(Path());
        EXPECT_TRUE(ini.Ok());
        EXPECT_TRUE(ini.ReadSections().isEmpty());
        EXPECT_EQ(ini.ReadString("Personal", "Name", "nobody"), "nobody");
        EXPECT_FALSE(QFileInfo::exists(Path()));
        EXPECT_TRUE(ini.EraseSection("MRU")); // nothing to erase, nothing written
        EXPECT_FALSE(QFileInfo::exists(Path()));

        EXPECT_TRUE(ini.WriteInteger("Layout", "Height", 3543));
        EXPECT_TRUE(ini.WriteBool("Layout", "UseMM", true));
        EXPECT_TRUE(ini.WriteBool("Printer", "ShowBottomMarginWarning", false));
        EXPECT_TRUE(ini.WriteInteger("Printer", "TopMarginNudge", -8));
        EXPECT_TRUE(ini.WriteString("Personal", "Name", "  J. \"Jo\" Smith"));
    }
    EXPECT_EQ(ReadBytes(Path()), QByteArray("[Layout]\n"
                                            "Height=3543\n"
                                            "UseMM=1\n"
                                            "\n"
                                            "[Printer]\n"
                                            "ShowBottomMarginWarning=0\n"
                                            "TopMarginNudge=-8\n"
                                            "\n"
                                            "[Personal]\n"
                                            "Name=  J. \"Jo\" Smith\n"));
}

TEST_F(IniFileTest, WritingKeepsEveryOtherLineInItsPlace)
{
    ASSERT_TRUE(WriteBytes(Path(), "; Tessaro settings\r\n"
                                   "orphan=1\r\n"
                                   "\r\n"
                                   "[Printer]\r\n"
                                   "; nudges in 1/32 inch\r\n"
                                   "TopMarginNudge = 0x10 \r\n"
                                   "LeftMarginNudge=-3\r\n"
                                   "\r\n"
                                   "[Other Program]\r\n"
                                   "Weird Key = \"quoted value\"\r\n"));
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("Printer", "TopMarginNudge", 0), 16);
    EXPECT_EQ(ini.ReadString("Other Program", "weird key", ""), "\"quoted value\"");

    EXPECT_TRUE(ini.WriteInteger("printer", "topmarginnudge", 5));
    EXPECT_TRUE(ini.WriteBool("PRINTER", "ShowBottomMarginWarning", false));
    EXPECT_TRUE(ini.WriteString("Personal", "Name", "Ana"));
    EXPECT_TRUE(ini.Ok());

    EXPECT_EQ(ReadBytes(Path()), QByteArray("; Tessaro settings\n"
                                            "orphan=1\n"
                                            "\n"
                                            "[Printer]\n"
                                            "; nudges in 1/32 inch\n"
                                            "TopMarginNudge=5\n"
                                            "LeftMarginNudge=-3\n"
                                            "ShowBottomMarginWarning=0\n"
                                            "\n"
                                            "[Other Program]\n"
                                            "Weird Key = \"quoted value\"\n"
                                            "\n"
                                            "[Personal]\n"
                                            "Name=Ana\n"));

    // A fresh reader sees what was written.
    TIniFile again(Path());
    EXPECT_EQ(again.ReadInteger("Printer", "TopMarginNudge", 0), 5);
    EXPECT_FALSE(again.ReadBool("Printer", "ShowBottomMarginWarning", true));
    EXPECT_EQ(again.ReadString("Personal", "Name", ""), "Ana");
}

TEST_F(IniFileTest, NonAsciiTextRoundTripsAsUtf8)
{
    const QString value = QStringLiteral("Café Müller 名刺 — 12 € ✓");
    const QString section = QStringLiteral("Persönlich");
    const QString key = QStringLiteral("Näme名");
    {
        TIniFile ini(Path());
        ASSERT_TRUE(ini.WriteString(section, key, value));
        ASSERT_TRUE(ini.WriteString("MRU", "F0", "/home/zoë/Saved/BC0001.TSC"));
    }
    const QByteArray bytes = ReadBytes(Path());
    EXPECT_TRUE(bytes.contains(value.toUtf8()));
    EXPECT_TRUE(bytes.contains("/home/zo\xC3\xAB/Saved/BC0001.TSC"));

    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString(section, key, ""), value);
    EXPECT_EQ(ini.ReadString(QStringLiteral("PERSÖNLICH"), QStringLiteral("NÄME名"), ""), value);
    EXPECT_EQ(ini.ReadSectionLineValues("mru"), QStringList({"/home/zoë/Saved/BC0001.TSC"}));
}

TEST_F(IniFileTest, EightBitFileKeepsItsAccentsWhenRewritten)
{
    // Written by an older 8-bit program: 0xE9 is 'é' in Latin-1, invalid UTF-8.
    ASSERT_TRUE(WriteBytes(Path(), "[Personal]\r\nName=Ren\xE9\r\n"));
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("Personal", "Name", ""), QStringLiteral("René"));
    ASSERT_TRUE(ini.WriteString("Personal", "Company", "Acme"));
    EXPECT_EQ(ReadBytes(Path()), QByteArray("[Personal]\nName=Ren\xC3\xA9\nCompany=Acme\n"));
}

TEST_F(IniFileTest, ByteOrderMarkIsSkippedAndKept)
{
    ASSERT_TRUE(WriteBytes(Path(), "\xEF\xBB\xBF[Layout]\nWidth=3500\n"));
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadSections(), QStringList({"Layout"}));
    EXPECT_EQ(ini.ReadInteger("Layout", "Width", 0), 3500);
    ASSERT_TRUE(ini.WriteInteger("Layout", "Width", 3543));
    EXPECT_EQ(ReadBytes(Path()), QByteArray("\xEF\xBB\xBF[Layout]\nWidth=3543\n"));
}

TEST_F(IniFileTest, RecentFilesSectionReadsLinesInFileOrderAndErases)
{
    ASSERT_TRUE(WriteBytes(Path(), "[Layout]\r\n"
                                   "Width=3500\r\n"
                                   "[MRU]\r\n"
                                   "F1=/b.tsc\r\n"
                                   "; a comment is not an entry\r\n"
                                   "F0 = /a.tsc\r\n"
                                   "\r\n"
                                   "Anything=/c=d.tsc\r\n"
                                   "no equals sign\r\n"
                                   "[Default Font]\r\n"
                                   "Name=Arial\r\n"
                                   "[mru]\r\n"
                                   "F9=/second-copy.tsc\r\n"));
    TIniFile ini(Path());
    // Key names are not interpreted: file order, text after the first '='.
    EXPECT_EQ(ini.ReadSectionLineValues("MRU"), QStringList({"/b.tsc", "/a.tsc", "/c=d.tsc"}));
    EXPECT_EQ(ini.ReadSectionValues("MRU"),
              QStringList({"F1=/b.tsc", "F0 = /a.tsc", "Anything=/c=d.tsc", "no equals sign"}));
    EXPECT_EQ(ini.ReadSection("MRU"), QStringList({"F1", "F0", "Anything", "no equals sign"}));
    EXPECT_EQ(ini.ReadSections(), QStringList({"Layout", "MRU", "Default Font"}));

    // Erase, then write the new list: every copy of the section goes.
    ini.BeginUpdate();
    EXPECT_TRUE(ini.EraseSection("Mru"));
    EXPECT_TRUE(ini.WriteString("MRU", "F0", "/new.tsc"));
    EXPECT_TRUE(ini.WriteString("MRU", "F1", "/a.tsc"));
    EXPECT_TRUE(ini.EndUpdate());
    EXPECT_EQ(ReadBytes(Path()), QByteArray("[Layout]\n"
                                            "Width=3500\n"
                                            "[Default Font]\n"
                                            "Name=Arial\n"
                                            "\n"
                                            "[MRU]\n"
                                            "F0=/new.tsc\n"
                                            "F1=/a.tsc\n"));

    EXPECT_TRUE(ini.DeleteKey("mru", "f0"));
    EXPECT_EQ(TIniFile(Path()).ReadSectionLineValues("MRU"), QStringList({"/a.tsc"}));
}

TEST_F(IniFileTest, BatchedChangesAreWrittenOnceAtTheEnd)
{
    ASSERT_TRUE(WriteBytes(Path(), "[Layout]\nWidth=1\n"));
    TIniFile ini(Path());
    ini.BeginUpdate();
    ini.BeginUpdate(); // nested: only the outermost end writes
    EXPECT_TRUE(ini.WriteInteger("Layout", "Width", 3500));
    EXPECT_TRUE(ini.WriteInteger("Layout", "Height", 2000));
    EXPECT_TRUE(ini.EndUpdate());
    EXPECT_EQ(ReadBytes(Path()), QByteArray("[Layout]\nWidth=1\n"));
    EXPECT_TRUE(ini.WriteBool("Layout", "UseMM", false));
    EXPECT_EQ(ReadBytes(Path()), QByteArray("[Layout]\nWidth=1\n"));
    EXPECT_TRUE(ini.EndUpdate());
    EXPECT_EQ(ReadBytes(Path()), QByteArray("[Layout]\nWidth=3500\nHeight=2000\nUseMM=0\n"));
}

TEST_F(IniFileTest, TextThatWouldBreakTheFileIsRefused)
{
    ASSERT_TRUE(WriteBytes(Path(), "[MRU]\nF0=/a.tsc\n"));
    TIniFile ini(Path());
    // A file name may contain a line break; written as is it would inject a
    // section of its own.
    EXPECT_FALSE(ini.WriteString("MRU", "F1", "/tmp/x\n[Printer]\nTopMarginNudge=8"));
    EXPECT_FALSE(ini.Ok());
    EXPECT_FALSE(ini.LastError().isEmpty());
    EXPECT_FALSE(ini.WriteString("MRU", "F=1", "/b.tsc"));
    EXPECT_FALSE(ini.WriteString("MR]U", "F1", "/b.tsc"));
    EXPECT_FALSE(ini.WriteString("MRU", "", "/b.tsc"));
    EXPECT_FALSE(ini.WriteString("MRU", "F1", "a\rb"));
    EXPECT_EQ(ReadBytes(Path()), QByteArray("[MRU]\nF0=/a.tsc\n"));

    // In a batch the good changes are still saved; the end reports the refusal.
    ini.BeginUpdate();
    EXPECT_TRUE(ini.WriteString("MRU", "F1", "/b.tsc"));
    EXPECT_FALSE(ini.WriteString("MRU", "F2", "bad\nname"));
    EXPECT_FALSE(ini.EndUpdate());
    EXPECT_EQ(ReadBytes(Path()), QByteArray("[MRU]\nF0=/a.tsc\nF1=/b.tsc\n"));
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFileAndReportsIt)
{
    const QByteArray old("[Layout]\nWidth=3500\n");
    ASSERT_TRUE(WriteBytes(Path(), old));

    // A folder that is a file: nothing can be written under it.
    {
        TIniFile ini(Path() + QStringLiteral("/TSC.INI"));
        EXPECT_FALSE(ini.WriteInteger("Layout", "Width", 1));
        EXPECT_FALSE(ini.Ok());
        EXPECT_TRUE(ini.LastError().contains(QStringLiteral("TSC.INI")));
        ini.BeginUpdate();
        ini.WriteInteger("Layout", "Height", 1);
        EXPECT_FALSE(ini.EndUpdate());
    }

    // The disk "fills up" half-way through the write: the file-size limit makes
    // the write fail for any user, root included.
    {
        TIniFile ini(Path());
        struct rlimit saved
        {
        };
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto *oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 256;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = ini.WriteString("Layout", "Notes", QString(4000, QLatin1Char('x')));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        EXPECT_FALSE(written);
        EXPECT_FALSE(ini.Ok());
        EXPECT_TRUE(ini.LastError().startsWith(QStringLiteral("Unable to write to")));
        EXPECT_EQ(ReadBytes(Path()), old);
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList({"TSC.INI"}));
    }

    // A read-only folder (only meaningful where permissions apply).
    if (geteuid() != 0) {
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        TIniFile ini(Path());
        EXPECT_FALSE(ini.WriteInteger("Layout", "Width", 1));
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(ReadBytes(Path()), old);
    }
}

TEST_F(IniFileTest, FileThatCannotBeReadIsNeverOverwritten)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "file permissions do not apply to root";
    const QByteArray old("[Personal]\nName=Keep me\n");
    ASSERT_TRUE(WriteBytes(Path(), old));
    QFile::setPermissions(Path(), QFile::WriteOwner);
    {
        TIniFile ini(Path());
        EXPECT_FALSE(ini.Ok());
        EXPECT_EQ(ini.ReadString("Personal", "Name", "default"), "default");
        EXPECT_FALSE(ini.WriteString("Layout", "Width", "3500"));
        EXPECT_FALSE(ini.EraseSection("MRU"));
    }
    QFile::setPermissions(Path(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(ReadBytes(Path()), old);
}

TEST_F(IniFileTest, OnlyARegularFileOfASettingsFilesSizeIsRead)
{
    // A FIFO in its place: the start does not wait for a writer, the defaults
    // are used, and nothing replaces the FIFO.
    const QString fifo = Path(QStringLiteral("FIFO.INI"));
    ASSERT_TRUE(MakeFifo(fifo));
    EXPECT_TRUE(FinishesWithoutBlocking(
        [&] {
            TIniFile ini(fifo);
            EXPECT_FALSE(ini.Ok());
            EXPECT_EQ(ini.ReadInteger("Layout", "Width", 3500), 3500);
            EXPECT_FALSE(ini.WriteInteger("Layout", "Width", 3000));
        },
        fifo));
    EXPECT_TRUE(IsFifo(fifo));

    // Larger than any settings file (1 MB): unreadable, so defaults, and never
    // overwritten, whatever its first lines say.
    QByteArray big("[Layout]\nWidth=3000\n");
    while (big.size() <= 1024 * 1024)
        big += "; " + QByteArray(1000, 'x') + '\n';
    ASSERT_TRUE(WriteBytes(Path(), big));
    {
        TIniFile ini(Path());
        EXPECT_FALSE(ini.Ok());
        EXPECT_TRUE(ini.LastError().contains(Path())) << ini.LastError().toStdString();
        EXPECT_EQ(ini.ReadInteger("Layout", "Width", 3500), 3500);
        EXPECT_FALSE(ini.WriteInteger("Layout", "Height", 2000));
        EXPECT_FALSE(ini.EraseSection("MRU"));
    }
    EXPECT_EQ(ReadBytes(Path()), big);

    // One just within the bound is read, through a link.
    QByteArray fits("[Layout]\nWidth=3000\n");
    fits += QByteArray(1024 * 1024 - fits.size() - 1, ';') + '\n';
    ASSERT_EQ(fits.size(), 1024 * 1024);
    ASSERT_TRUE(WriteBytes(Path(QStringLiteral("fits.ini")), fits));
    ASSERT_TRUE(QFile::link(Path(QStringLiteral("fits.ini")), Path(QStringLiteral("link.ini"))));
    TIniFile ini(Path(QStringLiteral("link.ini")));
    EXPECT_TRUE(ini.Ok());
    EXPECT_EQ(ini.ReadInteger("Layout", "Width", 3500), 3000);
}

} // namespace

// Lookups go through an index of the sections built once; every kind of
// write keeps it true to the lines (first section of a name wins, names
// without case), as a fresh reading of the saved file shows.
TEST_F(IniFileTest, SectionLookupsStayRightAcrossWrites)
{
    ASSERT_TRUE(WriteBytes(Path(), "[Printer]\n"
                                   "TopMarginNudge=1\n"
                                   "[printer LP1]\n"
                                   "TopMarginNudge=2\n"
                                   "[Layout]\n"
                                   "Across=2\n"
                                   "[PRINTER lp1]\n"
                                   "TopMarginNudge=99\n"
                                   "[Printer LP2]\n"
                                   "TopMarginNudge=3\n"));
    TIniFile ini(Path());
    const auto check = [](const TIniFile &ini, const char *when) {
        EXPECT_EQ(ini.ReadInteger("Printer LP1", "TopMarginNudge", 0), 2) << when;
        EXPECT_EQ(ini.ReadInteger("printer lp2", "TopMarginNudge", 0), 3) << when;
        EXPECT_EQ(ini.ReadInteger("Layout", "Across", 0), 2) << when;
    };
    check(ini, "as read");
    EXPECT_EQ(ini.ReadInteger("Printer", "TopMarginNudge", 0), 1);
    EXPECT_EQ(ini.ReadSections(), QStringList({"Printer", "printer LP1", "Layout", "Printer LP2"}));

    // New keys in the first sections move every header below them.
    ASSERT_TRUE(ini.WriteInteger("Printer", "LeftMarginNudge", 5));
    ASSERT_TRUE(ini.WriteInteger("PRINTER LP1", "LeftMarginNudge", 6));
    check(ini, "after new keys");
    EXPECT_EQ(ini.ReadInteger("Printer LP1", "LeftMarginNudge", 0), 6);
    EXPECT_FALSE(ini.ValueExists("Layout", "LeftMarginNudge"));

    // A new section at the end, then a key removed and a section erased.
    ASSERT_TRUE(ini.WriteInteger("Printer LP3", "TopMarginNudge", 7));
    EXPECT_EQ(ini.ReadInteger("printer lp3", "TopMarginNudge", 0), 7);
    ASSERT_TRUE(ini.DeleteKey("Printer", "TopMarginNudge"));
    EXPECT_EQ(ini.ReadInteger("Printer", "TopMarginNudge", 0), 0);
    EXPECT_EQ(ini.ReadInteger("Printer", "LeftMarginNudge", 0), 5);
    check(ini, "after a deleted key");
    ASSERT_TRUE(ini.EraseSection("printer lp1")); // both of that name
    EXPECT_FALSE(ini.SectionExists("Printer LP1"));
    EXPECT_EQ(ini.ReadInteger("Printer LP2", "TopMarginNudge", 0), 3);
    EXPECT_EQ(ini.ReadInteger("Printer LP3", "TopMarginNudge", 0), 7);
    ASSERT_TRUE(ini.WriteInteger("Printer LP1", "TopMarginNudge", 8));
    EXPECT_EQ(ini.ReadInteger("Printer LP1", "TopMarginNudge", 0), 8);

    const QStringList sections{"Printer", "Layout", "Printer LP2", "Printer LP3", "Printer LP1"};
    EXPECT_EQ(ini.ReadSections(), sections);
    const TIniFile again(Path());
    EXPECT_EQ(again.ReadSections(), sections);
    EXPECT_EQ(again.ReadInteger("Printer LP1", "TopMarginNudge", 0), 8);
    EXPECT_EQ(again.ReadInteger("Printer", "LeftMarginNudge", 0), 5);
}
