// Merge data: spreadsheets' CSV and phones' vCards as records, their faults
// with the line, and "${Name}" fields filled from a record.
#include "document/MergeData.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The line of the fault reading bytes raises, or -1 when they read.
int FaultLine(TMergeTable (*read)(const QByteArray &), const QByteArray &bytes,
              const char *words = "")
{
    try {
        read(bytes);
    } catch (const EMergeDataError &e) {
        EXPECT_TRUE(e.Message().contains(QLatin1String(words))) << e.what();
        return e.Line();
    }
    return -1;
}

QString Value(const TMergeTable &t, int record, const char *column)
{
    const int c = t.ColumnIndex(QLatin1String(column));
    return c < 0 ? QStringLiteral("<no column>") : t.Records.at(record).at(c);
}

} // namespace

TEST(MergeData, SpreadsheetCsvInUtf8AndWindows1252)
{
    const QByteArray utf8 = "\xEF\xBB\xBF"
                            "Name, Company ,Note,\r\n"
                            "\"\xC5\x81ukasz Wr\xC3\xB3"
                            "bel\",\"Acme, Inc.\",\"He said \"\"hi\"\"\r\n"
                            "and left\"\r\n"
                            "\r\n"
                            "\xCE\x93\xCE\xB9\xCF\x8E\xCF\x81\xCE\xB3\xCE\xBF\xCF\x82,Caf\xC3\xA9 "
                            "Zo\xC3\xAB\r\n"
                            "Ann,B,C,,,\r\n"
                            "last,line";
    const TMergeTable t = ReadCsv(utf8);
    EXPECT_EQ(t.Columns, QStringList({"Name", "Company", "Note", "Column 4"}));
    ASSERT_EQ(t.Records.size(), 4);
    EXPECT_EQ(t.Records.at(0), QStringList({QString::fromUtf8("Łukasz Wróbel"), "Acme, Inc.",
                                            "He said \"hi\"\r\nand left", ""}));
    EXPECT_EQ(Value(t, 1, "name"), QString::fromUtf8("Γιώργος"));
    EXPECT_EQ(Value(t, 1, "Company"), QString::fromUtf8("Café Zoë"));
    EXPECT_EQ(Value(t, 1, "Note"), QString());                      // padded
    EXPECT_EQ(t.Records.at(2), QStringList({"Ann", "B", "C", ""})); // trailing delimiters
    EXPECT_EQ(t.Records.at(3), QStringList({"last", "line", "", ""}));

    // The same in Windows-1252 bytes, with bare CR line ends.
    const TMergeTable w = ReadCsv("Name,Company\r\"M\xFCller, J\xFCrgen\",Caf\xE9 Zo\xEB \x80\r");
    ASSERT_EQ(w.Records.size(), 1);
    EXPECT_EQ(w.Records.at(0),
              QStringList({QString::fromUtf8("Müller, Jürgen"), QString::fromUtf8("Café Zoë €")}));

    // The delimiter the first row uses most, outside quotes.
    const TMergeTable semi = ReadCsv("\"a,b,c\";d\n1,5;2\n");
    EXPECT_EQ(semi.Columns, QStringList({"a,b,c", "d"}));
    EXPECT_EQ(semi.Records.at(0), QStringList({"1,5", "2"}));
    const TMergeTable tab = ReadCsv("x\ty\tz;w\n1\t2;3\t4\n");
    EXPECT_EQ(tab.Records.at(0), QStringList({"1", "2;3", "4"}));
    EXPECT_TRUE(ReadCsv("\n\n").IsEmpty());
}

TEST(MergeData, MalformedCsvNamesTheLine)
{
    // The quote opened on line 3 and never closed.
    EXPECT_EQ(FaultLine(ReadCsv, "a,b\n1,2\n3,\"open\nmore\n", "not closed"), 3);
    // A quoted line break counts as a line of the file.
    EXPECT_EQ(FaultLine(ReadCsv, "a,b\n\"x\ny\",2\n3,4\n\"q\"z,5\n", "closing quote"), 5);
    EXPECT_EQ(FaultLine(ReadCsv, QByteArray("a,b\r\n1,2\r\n3\0,4\r\n", 16), "NUL character"), 3);
    EXPECT_EQ(FaultLine(ReadCsv, "a,b\n1,2,,\n3,4,5\n", "more than the 2 columns"), 3);

    QByteArray wide;
    for (int i = 0; i < 100000; ++i)
        wide += "c,";
    EXPECT_EQ(FaultLine(ReadCsv, "\n" + wide + "\n1\n", "columns"), 2);
    EXPECT_EQ(FaultLine(ReadCsv, "a\n1\n" + wide + "\n"), 3);

    const QByteArray big(64 * 1024 + 1, 'x');
    EXPECT_EQ(FaultLine(ReadCsv, "a,b\n1,2\n3,\"" + big + "\"\n", "longer than 64 KB"), 3);
    EXPECT_EQ(FaultLine(ReadCsv, "a,b\n" + big + ",2\n"), 2);
    EXPECT_EQ(FaultLine(ReadCsv, "a\n" + QByteArray(64 * 1024, 'x') + "\n"), -1);
    EXPECT_EQ(FaultLine(ReadCsv, QByteArray(kMaxMergeFileBytes + 1, 'a'), "64 MB"), 0);

    // A million records read; one more is refused at its line.
    QByteArray rows = "n\n";
    for (int i = 0; i < kMaxMergeRecords; ++i)
        rows += "1\n";
    EXPECT_EQ(ReadCsv(rows).Records.size(), kMaxMergeRecords);
    EXPECT_EQ(FaultLine(ReadCsv, rows + "2\n", "records"), kMaxMergeRecords + 2);
}

TEST(MergeData, VCardsAsPhonesExportThem)
{
    QByteArray photo = "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQ\r\n";
    for (int i = 0; i < 20000; ++i)
        photo += " QUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFB\r\n";
    const QByteArray bytes =
        "Exported by a phone\r\n"
        "BEGIN:VCARD\r\n"
        "VERSION:2.1\r\n"
        "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:W=C3=B3jcik;Zofia;;;\r\n"
        "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Zofia W=C3=B3jcik z Krak=\r\n"
        "=C3=B3wa\r\n"
        "TEL;CELL:+48 600 100 200\r\n"
        "TEL;HOME;VOICE:+48 12 000 00 00\r\n"
        "TEL;WORK;VOICE:+48 12 345 67 89\r\n"
        "ADR;HOME;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:;;Ogrodowa 1;K=F6ln;;90-001;Polska\r\n"
        "PHOTO;ENCODING=BASE64;JPEG:/9j/4AAQSkZJRgABAQ\r\n"
        "SkZJRgABAQAAAQABAAD\r\n"
        "\r\n"
        "END:VCARD\r\n"
        "BEGIN:VCARD\r\n"
        "VERSION:3.0\r\n"
        "FN:Jean-Luc Pi\r\n"
        " card\r\n"
        "N:Picard;Jean-Luc;;;\r\n"
        "ORG:Starfleet;Command\r\n"
        "TITLE:Captain\\, USS \r\n"
        "\tEnterprise\r\n" +
        photo +
        "EMAIL;TYPE=INTERNET,HOME:jl@home.example\r\n"
        "EMAIL;type=INTERNET;type=PREF:jl@pref.example\r\n"
        "item1.TEL;type=work,voice:+1 555 0100\r\n"
        "TEL;TYPE=FAX:+1 555 0199\r\n"
        "ADR;TYPE=home:;;1 Vineyard\\nRoad;La Barre;;12345;France\r\n"
        "URL:https://starfleet.example\r\n"
        "END:VCARD\r\n"
        "BEGIN:VCARD\n"
        "VERSION:4.0\n"
        "N:\xCE\xA0\xCE\xB1\xCF\x80\xCF\x80\xCE\xAC;\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7;;;\n"
        "TEL;VALUE=uri;TYPE=\"voice,work\":tel:+30-210-555-0101\n"
        "TEL;VALUE=uri;TYPE=cell:tel:+30-690-555-0102\n"
        "EMAIL;PREF=1:eleni@example.gr\n"
        "EMAIL:other@example.gr\n"
        "END:VCARD\n";
    const TMergeTable t = ReadVCards(bytes);
    EXPECT_EQ(t.Columns.join(u','), "FullName,GivenName,FamilyName,Organization,Title,Phone,"
                                    "Mobile,Fax,Email,Web,Street,City,Region,PostalCode,Country");
    ASSERT_EQ(t.Records.size(), 3);
    EXPECT_EQ(Value(t, 0, "FullName"), QString::fromUtf8("Zofia Wójcik z Krakówa"));
    EXPECT_EQ(Value(t, 0, "GivenName"), "Zofia");
    EXPECT_EQ(Value(t, 0, "FamilyName"), QString::fromUtf8("Wójcik"));
    EXPECT_EQ(Value(t, 0, "Mobile"), "+48 600 100 200");
    EXPECT_EQ(Value(t, 0, "Phone"), "+48 12 345 67 89");       // WORK before the first
    EXPECT_EQ(Value(t, 0, "City"), QString::fromUtf8("Köln")); // Windows-1252 bytes
    EXPECT_EQ(Value(t, 0, "PostalCode"), "90-001");

    EXPECT_EQ(Value(t, 1, "FullName"), "Jean-Luc Picard");
    EXPECT_EQ(Value(t, 1, "Organization"), "Starfleet, Command");
    EXPECT_EQ(Value(t, 1, "Title"), "Captain, USS Enterprise");
    EXPECT_EQ(Value(t, 1, "Email"), "jl@pref.example");
    EXPECT_EQ(Value(t, 1, "Phone"), "+1 555 0100");
    EXPECT_EQ(Value(t, 1, "Fax"), "+1 555 0199");
    EXPECT_EQ(Value(t, 1, "Street"), "1 Vineyard\nRoad");
    EXPECT_EQ(Value(t, 1, "Web"), "https://starfleet.example");

    EXPECT_EQ(Value(t, 2, "FullName"), QString::fromUtf8("Ελένη Παππά")); // from N
    EXPECT_EQ(Value(t, 2, "Phone"), "+30-210-555-0101");
    EXPECT_EQ(Value(t, 2, "Mobile"), "+30-690-555-0102");
    EXPECT_EQ(Value(t, 2, "Email"), "eleni@example.gr");
    EXPECT_EQ(Value(t, 2, "Street"), QString());
}

TEST(MergeData, MalformedVCardsNameTheLine)
{
    EXPECT_EQ(FaultLine(ReadVCards, "hello\r\nworld\r\n", "holds no vCard"), 0);
    EXPECT_EQ(ReadVCards("\xEF\xBB\xBF"
                         "BEGIN:VCARD\nFN:a\nEND:VCARD\n")
                  .Records.size(),
              1);
    EXPECT_EQ(
        FaultLine(ReadVCards, "BEGIN:VCARD\nFN:a\nEND:VCARD\nBEGIN:VCARD\nFN:b\n", "never ended"),
        4);
    EXPECT_EQ(FaultLine(ReadVCards, QByteArray("BEGIN:VCARD\nFN:a\0\nEND:VCARD\n", 28), "NUL"), 2);
    const QByteArray longNote = "BEGIN:VCARD\nNOTE:" + QByteArray(100000, 'n') + "\nEND:VCARD\n";
    EXPECT_EQ(FaultLine(ReadVCards, longNote), -1); // not kept, not bounded
    QByteArray longName = "BEGIN:VCARD\nVERSION:3.0\nFN:x\n";
    for (int i = 0; i < 2000; ++i)
        longName += " " + QByteArray(40, 'f') + "\n";
    EXPECT_EQ(FaultLine(ReadVCards, longName + "END:VCARD\n", "longer than 64 KB"), 3);
    // A card inside a card (a 2.1 AGENT) is not a record of its own.
    const TMergeTable agent = ReadVCards("BEGIN:VCARD\nVERSION:2.1\nAGENT:\nBEGIN:VCARD\nFN:b\n"
                                         "TEL:2\nEND:VCARD\nTEL:1\nEND:VCARD\n");
    ASSERT_EQ(agent.Records.size(), 1);
    EXPECT_EQ(Value(agent, 0, "FullName"), QString());
    EXPECT_EQ(Value(agent, 0, "Phone"), "1");
    QByteArray cards;
    for (int i = 0; i <= kMaxVCards; ++i)
        cards += "BEGIN:VCARD\nEND:VCARD\n";
    EXPECT_EQ(FaultLine(ReadVCards, cards, "cards"), 2 * kMaxVCards + 1);
    QByteArray crowded = "BEGIN:VCARD\n";
    for (int i = 0; i <= kMaxVCardProperties; ++i)
        crowded += "X-A:1\n";
    EXPECT_EQ(FaultLine(ReadVCards, crowded + "END:VCARD\n", "properties"),
              kMaxVCardProperties + 2);
}

TEST(MergeData, FieldsAreExpandedFromARecord)
{
    TMergeTable t;
    t.Columns = QStringList({"Name", "name", QString::fromUtf8("Straße")});
    t.Records = {{"Zoë", "lower", QString::fromUtf8("Łąkowa 3")}};
    const auto values = RecordValues(t, 0);
    t.Records.clear(); // the lookup holds its own copy
    QStringList unknown;
    EXPECT_EQ(
        ExpandMergeFields(QString::fromUtf8("${Name}${name}/${NAME} ${Straße}!"), values, &unknown),
        QString::fromUtf8("Zoëlower/Zoë Łąkowa 3!"));
    EXPECT_TRUE(unknown.isEmpty());
    EXPECT_EQ(
        ExpandMergeFields("$${Name} costs $$5 ${Nope}${Nope}${Other} ${Name", values, &unknown),
        "${Name} costs $$5  ${Name");
    EXPECT_EQ(unknown, QStringList({"Nope", "Other"}));
    EXPECT_EQ(ExpandMergeFields("${}${Name}", values), "${}Zoë");
    EXPECT_EQ(MergeFieldNames("$${A} ${B}${C} ${B} ${D"), QStringList({"B", "C"}));
}

TEST(MergeData, ReadMergeFileChoosesByNameAndNamesTheFile)
{
    QTemporaryDir dir;
    const QString vcf = dir.filePath("People.VCF");
    const QString csv = dir.filePath("people.txt");
    QFile f(vcf);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BEGIN:VCARD\nFN:A B\nEND:VCARD\n");
    f.close();
    EXPECT_EQ(ReadMergeFile(vcf).Records.at(0).at(0), "A B");
    QFile::copy(vcf, csv);
    EXPECT_EQ(ReadMergeFile(csv).Columns, QStringList({"BEGIN:VCARD"}));
    QFile g(csv);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly | QIODevice::Truncate));
    g.write("a\n\"b\n");
    g.close();
    try {
        ReadMergeFile(csv);
        ADD_FAILURE() << "unclosed quote read";
    } catch (const EMergeDataError &e) {
        EXPECT_TRUE(e.Message().contains(csv)) << e.what();
        EXPECT_TRUE(e.Message().contains(": Line 2: a quoted")) << e.what();
        EXPECT_EQ(e.Line(), 2);
    }
}
