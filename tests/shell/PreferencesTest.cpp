// The preferences file: defaults on a first run, the stored units, reading
// rules and bad values, and a full round trip.
#include "shell/Preferences.h"

#include "document/CardStocks.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString WriteIni(const QTemporaryDir &dir, const QByteArray &text)
{
    const QString path = dir.filePath(QStringLiteral("TSC.INI"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    return path;
}

} // namespace

TEST(Preferences, FirstRunGivesTheDefaults)
{
    QTemporaryDir dir;
    const TPreferences p = LoadPreferences(dir.filePath(QStringLiteral("missing.ini")));
    EXPECT_FLOAT_EQ(p.Layout.Width, 3.5f);
    EXPECT_FLOAT_EQ(p.Layout.Height, 2.0f);
    EXPECT_EQ(p.Layout.Across, 2);
    EXPECT_EQ(p.Layout.Down, 5);
    EXPECT_FLOAT_EQ(p.Layout.TopMargin, 0.5f);
    EXPECT_FLOAT_EQ(p.Layout.LeftMargin, 0.75f);
    EXPECT_EQ(p.Layout.Papersize, 1);
    EXPECT_FALSE(p.Layout.UseMM);
    EXPECT_EQ(p.DefaultFont.Name, "Arial");
    EXPECT_EQ(p.DefaultFont.Size, 10);
    EXPECT_FALSE(p.DefaultFont.Bold);
    EXPECT_EQ(p.Nudges.TopMarginNudge, 0);
    EXPECT_EQ(p.Nudges.HorizontalSpacing, 0);
    EXPECT_TRUE(p.ShowBottomMarginWarning);
    EXPECT_EQ(p.PersonalInfo.size(), 10);
}

TEST(Preferences, StoredValuesReadByTheirRules)
{
    QTemporaryDir dir;
    const QString path = WriteIni(dir, "[Layout]\r\nHeight=2047\r\nWidth=3543\r\nAcross=3\r\n"
                                       "HPitch=3543\r\nVPitch=2047\r\n"
                                       "[Printer]\r\nTopMarginNudge=0x10\r\nLeftMarginNudge=-3\r\n"
                                       "ShowBottomMarginWarning=2\r\n"
                                       "[Default Font]\r\nName=Times New Roman\r\nSize=12\r\n"
                                       "Bold=1\r\nItalic=0\r\n"
                                       "[Personal]\r\nName=Zoë Brontë\r\nEmail=z@example.org\r\n");
    const TPreferences p = LoadPreferences(path);
    EXPECT_FLOAT_EQ(p.Layout.Height, 2.047f);
    EXPECT_FLOAT_EQ(p.Layout.Width, 3.543f);
    EXPECT_EQ(p.Layout.Across, 3);
    EXPECT_EQ(p.Nudges.TopMarginNudge, 16);
    EXPECT_EQ(p.Nudges.LeftMarginNudge, -3);
    EXPECT_TRUE(p.ShowBottomMarginWarning);
    EXPECT_EQ(p.DefaultFont.Name, "Times New Roman");
    EXPECT_EQ(p.DefaultFont.Size, 12);
    EXPECT_TRUE(p.DefaultFont.Bold);
    EXPECT_EQ(p.PersonalInfo.at(0), QStringLiteral("Zoë Brontë"));
    EXPECT_EQ(p.PersonalInfo.at(8), "z@example.org");
    EXPECT_EQ(p.PersonalInfo.at(1), "");
}

TEST(Preferences, UnusableValuesFallBackToDefaults)
{
    QTemporaryDir dir;
    const QString path = WriteIni(dir, "[Layout]\nHeight=\nWidth=wide\nAcross=99999999999\n"
                                       "Down=0\nPapersize=5\nHPitch=-400\nVPitch=99999999\n"
                                       "[Printer]\nTopMarginNudge=1e3\nShowBottomMarginWarning=x\n"
                                       "[Default Font]\nName=\nSize=-4\n");
    const TPreferences p = LoadPreferences(path);
    EXPECT_FLOAT_EQ(p.Layout.Height, 2.0f);
    EXPECT_FLOAT_EQ(p.Layout.Width, 3.5f);
    EXPECT_EQ(p.Layout.Across, 2);
    EXPECT_EQ(p.Layout.Down, 5);
    EXPECT_EQ(p.Layout.Papersize, 1);
    EXPECT_FLOAT_EQ(p.Layout.HPitch, 3.5f);
    EXPECT_FLOAT_EQ(p.Layout.VPitch, 2.0f);
    // HPitch=-400 and Down=0 read as numbers, so the first is reported (the
    // layout they belong to is then the standard one); text that is no number
    // is not.
    EXPECT_TRUE(p.LayoutProblem.startsWith("The value of HPitch in section [Layout]"))
        << p.LayoutProblem.toStdString();
    EXPECT_EQ(p.Nudges.TopMarginNudge, 0);
    EXPECT_TRUE(p.ShowBottomMarginWarning);
    EXPECT_EQ(p.DefaultFont.Name, "Arial");
    EXPECT_EQ(p.DefaultFont.Size, 10);
}

TEST(Preferences, SaveWritesThousandthsAndReadsBackTheSame)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TSC.INI"));
    TPreferences p;
    p.Layout.Height = 3.543f;
    p.Layout.Width = 2.126f;
    p.Layout.VPitch = 3.543f; // a layout the dialog would take: rows do not overlap
    p.Layout.TopMargin = 0.0625f; // 62.5 thousandths round to the even 62
    p.Layout.UseMM = true;
    p.Layout.Papersize = 9;
    p.Nudges.VerticalSpacing = -8;
    p.ShowBottomMarginWarning = false;
    p.PersonalInfo[2] = QStringLiteral("名刺デザイナー");
    p.DefaultFont.Italic = true;
    ASSERT_TRUE(SavePreferences(path, p));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("Height=3543"));
    EXPECT_TRUE(text.contains("Width=2126"));
    EXPECT_TRUE(text.contains("TopMargin=62\n"));
    EXPECT_TRUE(text.contains("UseMM=1"));
    EXPECT_TRUE(text.contains("ShowBottomMarginWarning=0"));
    EXPECT_TRUE(text.contains("[Default Font]"));

    const TPreferences back = LoadPreferences(path);
    EXPECT_FLOAT_EQ(back.Layout.Height, 3.543f);
    EXPECT_EQ(back.Layout.Papersize, 9);
    EXPECT_TRUE(back.Layout.UseMM);
    EXPECT_EQ(back.Nudges.VerticalSpacing, -8);
    EXPECT_FALSE(back.ShowBottomMarginWarning);
    EXPECT_EQ(back.PersonalInfo.at(2), QStringLiteral("名刺デザイナー"));
    EXPECT_TRUE(back.DefaultFont.Italic);
}

TEST(Preferences, UnwritableFileReportsFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no/such/folder/TSC.INI"));
    QString error;
    EXPECT_FALSE(SavePreferences(path, TPreferences(), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Preferences, LayoutsThatMakeNoSenseAreReplacedByTheStandardOneAndNamed)
{
    QTemporaryDir dir;
    const TCardLayout standard;
    // Each would print a blank sheet or cards on top of each other.
    const struct
    {
        const char *ini;
        const char *key;
        const char *why;
    } cases[] = {
        {"[Layout]\nTopMargin=99000\n", "TopMargin", "Top Margin must be a number from -12 to 12"},
        {"[Layout]\nTopMargin=-99000\n", "TopMargin", "Top Margin must be a number from -12 to 12"},
        {"[Layout]\nLeftMargin=12001\n", "LeftMargin", "Left Margin must be a number from -12 to 12"},
        {"[Layout]\nWidth=100000\nHPitch=100000\n", "Width",
         "Card Width must be a number from 0 to 12"},
        {"[Layout]\nHPitch=0\n", "HPitch", "Horizontal Pitch must be at least = Card Width"},
        {"[Layout]\nVPitch=0\n", "VPitch", "Vertical Pitch must be at least = Card Height"},
        {"[Layout]\nHeight=200\n", "Height", "Card Height must be at least .3 inches (or 7mm)"},
        {"[Layout]\nAcross=11\n", "Across", "# across must be a number from 1 to 10"},
        {"[Layout]\nDown=31\n", "Down", "# down must be a number from 1 to 30"},
        {"[Printer]\nTopMarginNudge=32000\n", "TopMarginNudge",
         "TopMarginNudge must be a number from -320 to 320 (1/32 inch)"},
        {"[Printer]\nHorizontalSpacing=-321\n", "HorizontalSpacing",
         "HorizontalSpacing must be a number from -320 to 320 (1/32 inch)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.ini);
        const QString path = WriteIni(dir, QByteArray(c.ini) + "[Layout]\nUseMM=1\n");
        const TPreferences p = LoadPreferences(path);
        const QString section = QString::fromLatin1(c.key).contains("Nudge") ||
                                        QString::fromLatin1(c.key).endsWith("Spacing")
                                    ? "Printer"
                                    : "Layout";
        EXPECT_EQ(p.LayoutProblem, QStringLiteral("The value of %1 in section [%2] of %3 cannot "
                                                  "be used: %4.")
                                       .arg(c.key, section, path, c.why));
        EXPECT_FALSE(p.LayoutFallback.isEmpty());
        if (section == "Layout") {
            EXPECT_EQ(p.Layout, standard);
        } else {
            EXPECT_EQ(p.Nudges.TopMarginNudge, 0);
            EXPECT_EQ(p.Nudges.HorizontalSpacing, 0);
            EXPECT_TRUE(p.Layout.UseMM); // the layout itself is fine and kept
        }
    }

    // The limits themselves are fine: a 12-inch card one across, margins of
    // -12 and 12, nudges of 320.
    const QString path = WriteIni(dir, "[Layout]\nWidth=12000\nHPitch=12000\nAcross=1\n"
                                       "TopMargin=-12000\nLeftMargin=12000\nHeight=300\n"
                                       "VPitch=300\n[Printer]\nTopMarginNudge=-320\n"
                                       "VerticalSpacing=320\n");
    const TPreferences p = LoadPreferences(path);
    EXPECT_TRUE(p.LayoutProblem.isEmpty()) << p.LayoutProblem.toStdString();
    EXPECT_FLOAT_EQ(p.Layout.Width, 12.0f);
    EXPECT_FLOAT_EQ(p.Layout.TopMargin, -12.0f);
    EXPECT_EQ(p.Nudges.TopMarginNudge, -320);
    EXPECT_EQ(p.Nudges.VerticalSpacing, 320);
}

TEST(Preferences, AHugeSettingsFileIsUnreadableAndKept)
{
    QTemporaryDir dir;
    // 10 MB, opening with a layout that would be read if the file were.
    QByteArray big("[Layout]\nWidth=3000\n[Personal]\n");
    for (int i = 0; big.size() < 10 * 1024 * 1024; ++i)
        big += "Key" + QByteArray::number(i) + "=" + QByteArray(200, 'v') + "\n";
    const QString path = WriteIni(dir, big);
    const TPreferences p = LoadPreferences(path);
    EXPECT_FLOAT_EQ(p.Layout.Width, 3.5f);
    EXPECT_EQ(p.Layout, TCardLayout());
    // Said, not passed over: the sheet would print with the standard layout.
    EXPECT_EQ(p.SettingsProblem, QStringLiteral("The settings file %1 cannot be read (the file is "
                                                "too large); the standard settings are used.")
                                     .arg(path));
    EXPECT_TRUE(
        LoadPreferences(dir.filePath(QStringLiteral("none.ini"))).SettingsProblem.isEmpty());
    EXPECT_TRUE(LoadPreferences(dir.path()).SettingsProblem.contains("not a regular file"));
    QString error;
    EXPECT_FALSE(SavePreferences(path, p, &error));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), big);
}

TEST(Preferences, EachPrinterKeepsItsOwnNudgesBesideTheDefaultPrinters)
{
    QTemporaryDir dir;
    const QString path = WriteIni(dir, "[Printer]\n"
                                       "TopMarginNudge=2\n"
                                       "LeftMarginNudge=1\n"
                                       "[Printer Office]\n"
                                       "LeftMarginNudge=5\n"
                                       "VerticalSpacing=-3\n"
                                       "[Printer Broken]\n"
                                       "TopMarginNudge=99999\n"
                                       "; kept as it is\n");
    TPreferences p = LoadPreferences(path);
    EXPECT_TRUE(p.LayoutProblem.isEmpty()) << p.LayoutProblem.toStdString();
    // A queue's own keys override the default printer's; keys it lacks
    // take the default printer's values. Queue names ignore letter case.
    TPrinterNudges office = p.NudgesFor(QStringLiteral("OFFICE"));
    EXPECT_EQ(office.TopMarginNudge, 2);
    EXPECT_EQ(office.LeftMarginNudge, 5);
    EXPECT_EQ(office.VerticalSpacing, -3);
    EXPECT_EQ(office.HorizontalSpacing, 0);
    // Without a section of its own, or with one that cannot be used, a queue
    // prints with the default printer's nudges.
    EXPECT_EQ(p.NudgesFor(QStringLiteral("Lab")).TopMarginNudge, 2);
    EXPECT_EQ(p.NudgesFor(QStringLiteral("Broken")).TopMarginNudge, 2);
    EXPECT_EQ(p.NudgesFor(QString()).LeftMarginNudge, 1);

    TPrinterNudges lab;
    lab.HorizontalSpacing = 6;
    p.SetNudgesFor(QStringLiteral("Lab"), false, lab);
    TPrinterNudges home;
    home.TopMarginNudge = -4;
    // The default printer's go to "Printer", and to its own section as well.
    p.SetNudgesFor(QStringLiteral("office"), true, home);
    ASSERT_TRUE(SavePreferences(path, p));

    const TPreferences again = LoadPreferences(path);
    EXPECT_EQ(again.Nudges.TopMarginNudge, -4);
    EXPECT_EQ(again.NudgesFor(QStringLiteral("Office")).TopMarginNudge, -4);
    EXPECT_EQ(again.NudgesFor(QStringLiteral("Office")).LeftMarginNudge, 0);
    EXPECT_EQ(again.NudgesFor(QStringLiteral("Lab")).HorizontalSpacing, 6);
    EXPECT_EQ(again.NudgesFor(QStringLiteral("Lab")).TopMarginNudge, 0);
    EXPECT_EQ(again.NudgesFor(QStringLiteral("Elsewhere")).TopMarginNudge, -4);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    // The section of the default printer's values keeps its place and keys.
    EXPECT_TRUE(text.startsWith("[Printer]\nTopMarginNudge=-4\nLeftMarginNudge=0\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("[Printer Lab]\nTopMarginNudge=0\nLeftMarginNudge=0\n"
                              "VerticalSpacing=0\nHorizontalSpacing=6\n"))
        << text.toStdString();
    // What could not be used is left in the file as it was.
    EXPECT_TRUE(text.contains("[Printer Broken]\nTopMarginNudge=99999\n; kept as it is\n"));
    EXPECT_EQ(text.count("[Printer Office]", Qt::CaseInsensitive), 1);

    // A name that cannot be a section name is kept for the run only.
    EXPECT_TRUE(PrinterSectionName(QStringLiteral("a]b")).isEmpty());
    EXPECT_TRUE(PrinterSectionName(QStringLiteral(" padded")).isEmpty());
    EXPECT_EQ(PrinterSectionName(QStringLiteral("HP_Laser")), QStringLiteral("Printer HP_Laser"));
    TPreferences odd = again;
    odd.SetNudgesFor(QStringLiteral("a]b"), false, lab);
    EXPECT_EQ(odd.NudgesFor(QStringLiteral("a]b")).HorizontalSpacing, 6);
    EXPECT_TRUE(SavePreferences(path, odd));
    EXPECT_EQ(LoadPreferences(path).NudgesFor(QStringLiteral("a]b")).HorizontalSpacing, 0);
}

TEST(Preferences, AChosenStockIsRememberedByNameWithItsCorners)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TSC.INI"));
    const TStockCatalogue catalogue = TStockCatalogue::Load(QString());
    const TCardLayout herma = catalogue.Stocks().at(catalogue.Find("Herma 5028").Found).Layout();
    ASSERT_GT(herma.CornerRadius, 0.07f);
    TPreferences p;
    p.Layout = herma;
    ASSERT_TRUE(SavePreferences(path, p));
    TPreferences back = LoadPreferences(path);
    EXPECT_EQ(back.Layout, herma);

    // An A3 stock keeps its paper.
    p.Layout = catalogue.Stocks().at(catalogue.Find("Russian A3 5x9").Found).Layout();
    ASSERT_EQ(p.Layout.Papersize, TCardLayout::PaperA3);
    ASSERT_TRUE(SavePreferences(path, p));
    EXPECT_EQ(LoadPreferences(path).Layout, p.Layout);

    // A layout changed since (by hand in the file) is no longer the stock:
    // square corners, no name.
    p.Layout = herma;
    p.Layout.TopMargin += 0.1f;
    ASSERT_TRUE(SavePreferences(path, p));
    back = LoadPreferences(path);
    EXPECT_TRUE(back.Layout.Stock.isEmpty());
    EXPECT_EQ(back.Layout.CornerRadius, 0.0f);
    // A layout of the user's own leaves no name behind.
    p.Layout = TCardLayout();
    ASSERT_TRUE(SavePreferences(path, p));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("Stock="));
}

TEST(Preferences, BackSideSettingsAreNewKeysAndKeptPerPrinter)
{
    // A file of before two-sided printing reads as it did, with the
    // standard back settings, and writes none of their keys back.
    QTemporaryDir dir;
    const QString path = WriteIni(dir, "[Printer]\nTopMarginNudge=3\nLeftMarginNudge=-2\n"
                                       "[Printer Office]\nVerticalSpacing=1\n");
    TPreferences p = LoadPreferences(path);
    EXPECT_EQ(p.Nudges.TopMarginNudge, 3);
    EXPECT_EQ(p.NudgesFor("Office").VerticalSpacing, 1);
    EXPECT_EQ(p.NudgesFor("Office").TopMarginNudge, 3);
    EXPECT_EQ(p.Duplex, TDuplexSettings());
    EXPECT_EQ(p.DuplexFor("Office"), TDuplexSettings());
    ASSERT_TRUE(SavePreferences(path, p));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    file.close();
    for (const char *key : {"Back", "FlipShortEdge", "ManualDuplex", "FeedFaceUp"})
        EXPECT_FALSE(text.contains(key)) << key;

    // One printer's back settings stay its own.
    TDuplexSettings office;
    office.BackNudges.LeftMarginNudge = -3;
    office.BackNudges.HorizontalSpacing = 2;
    office.ShortEdge = true;
    office.Manual = true;
    office.FeedFaceUp = true;
    p.SetDuplexFor("Office", false, office);
    TDuplexSettings home;
    home.BackNudges.TopMarginNudge = 4;
    p.SetDuplexFor("Home", false, home);
    ASSERT_TRUE(SavePreferences(path, p));
    p = LoadPreferences(path);
    EXPECT_EQ(p.DuplexFor("Office"), office);
    EXPECT_EQ(p.DuplexFor("office"), office);
    EXPECT_EQ(p.DuplexFor("Home"), home);
    EXPECT_EQ(p.Duplex, TDuplexSettings());
    EXPECT_EQ(p.NudgesFor("Home").TopMarginNudge, 3); // the default printer's, as before
    // A back nudge out of range is not used.
    WriteIni(dir, "[Printer]\nBackTopMarginNudge=9999\nFlipShortEdge=1\n");
    p = LoadPreferences(path);
    EXPECT_EQ(p.Duplex.BackNudges.TopMarginNudge, 0);
    EXPECT_TRUE(p.Duplex.ShortEdge);
}
