// The card stock catalogue: the shipped stocks as layouts, the search, the
// user's own stocks and the reader's bounds.
#include "document/CardStocks.h"

#include "DocumentTestSupport.h"

#include <QSet>
#include <QTemporaryDir>

namespace {

const char kSourceCsv[] = TESSARO_TEST_DATA "/../../resources/stocks/card-stocks.csv";

const char kHeader[] = "brand,part,same_as,description,paper,paper_width_pt,paper_height_pt,"
                       "card_width_pt,card_height_pt,corner_radius_pt,columns,rows,left_pt,"
                       "top_pt,column_pitch_pt,row_pitch_pt\n";
const char kGoodLine[] =
    "Acme,BC-1,,Business cards,A4,595.28,841.89,240.94,155.91,8.50,2,5,38.27,29.76,269.29,155.91\n";

QSet<QString> Names(const TStockCatalogue &c, const QList<int> &found)
{
    QSet<QString> names;
    for (int i : found)
        names.insert(c.Stocks().at(i).Name());
    return names;
}

const TCardStock *ByName(const TStockCatalogue &c, const QString &name)
{
    for (const TCardStock &s : c.Stocks())
        if (s.Name() == name && s.Predefined < 0)
            return &s;
    return nullptr;
}

} // namespace

TEST(CardStocks, EveryShippedStockIsAValidLayoutFoundByItsPartNumber)
{
    const TStockCatalogue c = TStockCatalogue::Load(QString());
    EXPECT_TRUE(c.UserProblem().isEmpty());
    // The 14 predefined layouts first, unchanged, then the 109 stocks.
    ASSERT_EQ(c.Stocks().size(), 14 + 109);
    for (int i = 0; i < TCardLayout::PredefinedCount; ++i) {
        TCardLayout l = c.Stocks().at(i).Layout();
        EXPECT_EQ(l.Stock, c.Stocks().at(i).Name());
        l.Stock.clear();
        EXPECT_EQ(l, TCardLayout::PredefinedLayout(i)) << i;
    }
    EXPECT_EQ(c.Stocks().at(11).Name(), QStringLiteral("Avery L7415"));

    // The source list line by line: each is in the catalogue and found by
    // its part number alone.
    const QList<QByteArray> lines = ReadAll(QString::fromLatin1(kSourceCsv)).split('\n');
    int checked = 0;
    for (const QByteArray &line : lines.mid(1)) {
        if (line.trimmed().isEmpty())
            continue;
        const QList<QByteArray> f = line.split(',');
        ASSERT_EQ(f.size(), 16) << line.constData();
        const QString name = QString::fromUtf8(f[0] + ' ' + f[1]);
        const QSet<QString> found = Names(c, c.Search(QString::fromUtf8(f[1])));
        EXPECT_TRUE(found.contains(name)) << name.toStdString();
        const TCardStock *s = ByName(c, name);
        ASSERT_NE(s, nullptr) << name.toStdString();
        const TCardLayout l = s->Layout();
        EXPECT_TRUE(l.Check().IsNone()) << name.toStdString();
        EXPECT_TRUE(l.PaperFitMessage().isEmpty()) << name.toStdString();
        // Points to inches, to the thousandth (and the float of that); the grid
        // as the data has it.
        // (Zweckform 32010's cards are 0.07 pt higher than their pitch: they
        // take the pitch.)
        EXPECT_NEAR(l.Width, f[7].toDouble() / 72, 0.0015) << name.toStdString();
        EXPECT_NEAR(l.Height, f[8].toDouble() / 72, 0.0015) << name.toStdString();
        EXPECT_NEAR(l.CornerRadius, f[9].toDouble() / 72, 0.0006) << name.toStdString();
        EXPECT_EQ(l.Across, f[10].toInt());
        EXPECT_EQ(l.Down, f[11].toInt());
        EXPECT_NEAR(l.LeftMargin, f[12].toDouble() / 72, 0.0006) << name.toStdString();
        EXPECT_NEAR(l.TopMargin, f[13].toDouble() / 72, 0.0006) << name.toStdString();
        if (l.Across > 1)
            EXPECT_NEAR(l.HPitch, f[14].toDouble() / 72, 0.0006) << name.toStdString();
        if (l.Down > 1)
            EXPECT_NEAR(l.VPitch, f[15].toDouble() / 72, 0.0006) << name.toStdString();
        const int paper = f[4] == "A4"   ? TCardLayout::PaperA4
                          : f[4] == "A3" ? TCardLayout::PaperA3
                                         : TCardLayout::PaperLetter;
        EXPECT_EQ(l.Papersize, paper) << name.toStdString();
        ++checked;
    }
    EXPECT_EQ(checked, 109);
}

TEST(CardStocks, SearchFindsBrandPartSizeAndSharedLayouts)
{
    const TStockCatalogue c = TStockCatalogue::Load(QString());
    // 8373 and the products that share its layout, nothing else.
    EXPECT_EQ(
        Names(c, c.Search(QStringLiteral("8373"))),
        (QSet<QString>{"Avery 8373", "Avery 28373", "Avery 3612", "Avery 5881", "Avery 8869"}));
    EXPECT_EQ(Names(c, c.Search(QStringLiteral("avery 8373"))),
              Names(c, c.Search(QStringLiteral("8373"))));
    // The part asked for comes first.
    EXPECT_EQ(c.Stocks().at(c.Search(QStringLiteral("8373")).first()).Name(),
              QStringLiteral("Avery 8373"));
    EXPECT_EQ(Names(c, c.Search(QStringLiteral("L7415"))), QSet<QString>{"Avery L7415"});
    const QSet<QString> avery5371 = Names(c, c.Search(QStringLiteral("5371")));
    EXPECT_TRUE(avery5371.contains("Avery 5371"));
    EXPECT_TRUE(avery5371.contains("Avery 8879")); // same_as 5371
    EXPECT_FALSE(avery5371.contains("Avery 8373"));

    // 85 x 55 mm either way round, with or without blanks and unit; the
    // portrait 50 x 90 mm cards are not among them.
    const QSet<QString> size = Names(c, c.Search(QStringLiteral("85 x 55")));
    EXPECT_TRUE(size.contains("Hama 50400"));
    EXPECT_TRUE(size.contains("Sigel LP 800"));
    EXPECT_FALSE(size.contains("Avery 5371"));
    EXPECT_FALSE(size.contains("Russian A4 5x9"));
    EXPECT_EQ(Names(c, c.Search(QStringLiteral("55x85mm"))), size);
    EXPECT_EQ(
        Names(c, c.Search(QStringLiteral("hama 85 x 55"))),
        (QSet<QString>{"Hama 50400", "Hama 50401", "Hama 50405", "Hama 50410", "Hama 50415"}));
    // Inches: 3.5 x 2 is the US card; 2 x 3.5 too.
    const QSet<QString> us = Names(c, c.Search(QStringLiteral("3.5 x 2")));
    EXPECT_TRUE(us.contains("Avery 5371"));
    EXPECT_FALSE(us.contains("Hama 50400"));
    EXPECT_EQ(Names(c, c.Search(QStringLiteral("2 x 3.5 in"))), us);

    EXPECT_EQ(c.Search(QString()).size(), c.Stocks().size());
    EXPECT_TRUE(c.Search(QStringLiteral("no such stock")).isEmpty());
}

TEST(CardStocks, FindTakesWholeNamesPartsAndRefusesAmbiguity)
{
    const TStockCatalogue c = TStockCatalogue::Load(QString());
    TStockCatalogue::TLookup l = c.Find(QStringLiteral("Geha P68"));
    ASSERT_GE(l.Found, 0);
    EXPECT_EQ(c.Stocks().at(l.Found).Name(), QStringLiteral("Geha P68"));
    // The predefined 5371 and the shipped one are one layout.
    l = c.Find(QStringLiteral("avery  5371"));
    ASSERT_GE(l.Found, 0);
    EXPECT_EQ(c.Stocks().at(l.Found).Layout().Across, 2);
    // Avery's and Zweckform's 32015 share it too.
    EXPECT_GE(c.Find(QStringLiteral("32015")).Found, 0);
    // Different layouts: no choice, the candidates named.
    l = c.Find(QStringLiteral("avery 837"));
    EXPECT_EQ(l.Found, -1);
    EXPECT_TRUE(l.Candidates.contains("Avery 8371"));
    EXPECT_TRUE(l.Candidates.contains("Avery 8373"));
    l = c.Find(QStringLiteral("nothing like it"));
    EXPECT_EQ(l.Found, -1);
    EXPECT_TRUE(l.Candidates.isEmpty());
}

TEST(CardStocks, UserStocksAreSavedSharedAndRemoved)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("stocks.csv");
    TStockCatalogue c = TStockCatalogue::Load(path);
    TCardLayout layout = TCardLayout::PredefinedLayout(10);
    layout.Down = 4;
    layout.CornerRadius = 0.125f;
    QString why;
    ASSERT_TRUE(c.AddUserStock(StockFromLayout(layout, "Shop, \"Corner\"", "X 1", "Mine"), &why))
        << why.toStdString();
    // The same name again replaces it.
    layout.TopMargin = 0.9f;
    ASSERT_TRUE(c.AddUserStock(StockFromLayout(layout, "Shop, \"Corner\"", "X 1", "Mine"), &why));

    // Someone else reads the file: the stock is there once, as saved.
    const TStockCatalogue other = TStockCatalogue::Load(path);
    EXPECT_TRUE(other.UserProblem().isEmpty()) << other.UserProblem().toStdString();
    ASSERT_EQ(other.Stocks().size(), 14 + 109 + 1);
    const TCardStock &mine = other.Stocks().last();
    EXPECT_TRUE(mine.User);
    EXPECT_EQ(mine.Name(), QStringLiteral("Shop, \"Corner\" X 1"));
    EXPECT_TRUE(mine.Layout().SameSheet(layout));
    EXPECT_FLOAT_EQ(mine.Layout().CornerRadius, 0.125f);
    EXPECT_EQ(Names(other, other.Search("corner")), QSet<QString>{mine.Name()});

    EXPECT_FALSE(c.RemoveUserStock("Avery 5371", &why)); // not the user's
    // Nor can one of the user's take a shipped stock's name.
    EXPECT_FALSE(c.AddUserStock(StockFromLayout(layout, "avery", "5371", ""), &why));
    EXPECT_TRUE(why.contains("comes with the program")) << why.toStdString();
    ASSERT_TRUE(c.RemoveUserStock(mine.Name(), &why));
    EXPECT_EQ(TStockCatalogue::Load(path).Stocks().size(), 14 + 109);

    // A layout the reader would refuse is not written.
    layout.CornerRadius = 5.0f;
    EXPECT_FALSE(c.AddUserStock(StockFromLayout(layout, "Shop", "Y", ""), &why));
    EXPECT_FALSE(why.isEmpty());
}

TEST(CardStocks, DamagedCataloguesAreReportedAndNotOverwritten)
{
    // Each of these is refused with the line at fault.
    const struct
    {
        const char *line;
        const char *why;
    } bad[] = {
        {"Acme,BC-1,,Business cards,A4,595.28\n", "Line 2: 6 fields"},
        {"Acme,BC-1,,Business cards,A4,595.28,841.89,nan,155.91,0,2,5,38,29,269,155\n",
         "card_width_pt"},
        {"Acme,BC-1,,Business cards,A4,595.28,841.89,1e308,155.91,0,2,5,38,29,269,155\n",
         "card_width_pt"},
        {"Acme,BC-1,,Business cards,A4,595.28,841.89,240,155,0,0,5,38,29,269,155\n", "columns"},
        {"Acme,BC-1,,Business cards,A4,595.28,841.89,240,155,0,2,31,38,29,269,155\n", "rows"},
        {"Acme,BC-1,,Business cards,A4,595.28,841.89,240,155,100,2,5,38,29,269,155\n",
         "corner radius"},
        {"Acme,BC-1,,Business cards,Legal,612,1008,240,155,0,2,5,38,29,269,155\n", "Legal"},
        {"Acme,BC-1,,Business cards,A4,612,792,240,155,0,2,5,38,29,269,155\n", "paper size"},
        {"Acme,BC-1,,Business cards,A4,595.28,841.89,240,155,0,2,5,38,29,200,155\n",
         "Horizontal Pitch"},
        {"Acme,BC-1,,Business cards,A4,595.28,841.89,240,155,0,3,5,38,29,269,155\n", "across"},
        {"\"Acme,BC-1,,Business cards,A4,595.28,841.89,240,155,0,2,5,38,29,269,155\n", "quoted"},
        {"Ac\x01me,BC-1,,Business cards,A4,595.28,841.89,240,155,0,2,5,38,29,269,155\n", "control"},
    };
    for (const auto &b : bad) {
        const TStockReadResult r = ReadCardStocks(QByteArray(kHeader) + b.line);
        EXPECT_TRUE(r.Stocks.isEmpty()) << b.line;
        EXPECT_TRUE(r.Problem.contains(QLatin1String(b.why))) << r.Problem.toStdString();
    }
    EXPECT_FALSE(ReadCardStocks(QByteArray(kGoodLine)).Problem.isEmpty()); // no header
    const TStockReadResult good = ReadCardStocks(QByteArray(kHeader) + kGoodLine);
    ASSERT_TRUE(good.Problem.isEmpty()) << good.Problem.toStdString();
    EXPECT_EQ(good.Stocks.size(), 1);
    QByteArray many = kHeader;
    while (many.size() <= kMaxStockFileBytes)
        many += kGoodLine;
    EXPECT_FALSE(ReadCardStocks(many).Problem.isEmpty());

    // A damaged user file: reported, the shipped stocks still there, and a
    // new stock does not overwrite what the user may still mend.
    QTemporaryDir dir;
    const QString path = dir.filePath("stocks.csv");
    const QByteArray damaged = QByteArray(kHeader) + kGoodLine + "Acme,BC-2,,x\n";
    WriteAll(path, damaged);
    TStockCatalogue c = TStockCatalogue::Load(path);
    EXPECT_TRUE(c.UserProblem().contains(path));
    EXPECT_TRUE(c.UserProblem().contains("Line 3"));
    EXPECT_EQ(c.Stocks().size(), 14 + 109);
    QString why;
    EXPECT_FALSE(c.AddUserStock(StockFromLayout(TCardLayout(), "Shop", "Z", ""), &why));
    EXPECT_EQ(why, c.UserProblem());
    EXPECT_EQ(ReadAll(path), damaged);
    // A folder in its place is reported too.
    QDir(dir.path()).mkdir("folder.csv");
    EXPECT_FALSE(TStockCatalogue::Load(dir.filePath("folder.csv")).UserProblem().isEmpty());
}
