// The RTF reader on word processors' output written by hand, the writer's
// bytes against the format's rules, round trips and hostile input.
#include "richtext/RichText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <gtest/gtest.h>

namespace {

QByteArray Sample(const char *name)
{
    QFile file(QStringLiteral(TESSARO_TEST_DATA "/rtf/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// The format of the first character of `text` in the document (fails when absent).
QTextCharFormat FormatOf(const QTextDocument &doc, const QString &text)
{
    const QTextCursor found = doc.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    if (found.isNull())
        return {};
    QTextCursor at(const_cast<QTextDocument *>(&doc));
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

// n runs of one letter, bold and italic by turns: Qt lays a paragraph of
// many runs out in time that grows with their square.
QByteArray AlternatingRuns(int n)
{
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < n; ++i)
        rtf += i % 2 ? "{\\i b}" : "{\\b a}";
    return rtf + "}";
}

// Changes of character format in document order, and the fragments holding them.
int FormatChanges(const QTextDocument &doc, int *fragments = nullptr)
{
    int changes = 0;
    QTextCharFormat last;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            if (fragments)
                ++*fragments;
            if (changes == 0 || it.fragment().charFormat() != last)
                ++changes;
            last = it.fragment().charFormat();
        }
    return changes;
}

Qt::Alignment AlignmentOf(const QTextDocument &doc, const QString &text)
{
    const QTextCursor found = doc.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    return found.block().blockFormat().alignment() & Qt::AlignHorizontal_Mask;
}

QStringList Paragraphs(const QTextDocument &doc)
{
    QStringList list;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        list.append(b.text());
    return list;
}

bool IsBold(const QTextCharFormat &f)
{
    return f.fontWeight() >= QFont::DemiBold;
}

} // namespace

TEST(RtfRead, WordPadStyleKeepsWordsFormatsAndAccents)
{
    QTextDocument doc;
    EXPECT_EQ(ReadRtf(Sample("wordpad.rtf"), &doc).status, TRtfReadStatus::Rtf);
    // Line ends in the source are no paragraphs; the final \par opens an empty one.
    EXPECT_EQ(Paragraphs(doc), QStringList({"Acme Widgets", QString::fromUtf8("José Müller, Sales"),
                                            QString::fromUtf8("Phone № 42"), ""}));
    const QTextCharFormat title = FormatOf(doc, "Acme");
    EXPECT_TRUE(IsBold(title));
    EXPECT_EQ(title.fontPointSize(), 16.0);
    EXPECT_EQ(title.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(title.fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(AlignmentOf(doc, "Acme"), Qt::AlignHCenter);
    // \pard in the next paragraph returns to left alignment.
    EXPECT_EQ(AlignmentOf(doc, QString::fromUtf8("José")), Qt::AlignLeft);

    const QTextCharFormat name = FormatOf(doc, QString::fromUtf8("Müller"));
    EXPECT_TRUE(name.fontItalic());
    EXPECT_FALSE(IsBold(name));
    EXPECT_EQ(name.fontPointSize(), 11.0);
    EXPECT_EQ(name.fontFamilies().toStringList(), QStringList{"Calibri"});
    EXPECT_FALSE(FormatOf(doc, "Sales").fontItalic());
    EXPECT_EQ(FormatOf(doc, "Phone").foreground().color(), QColor(0, 0, 255));
    // \cf0 is the automatic colour: no colour of its own.
    EXPECT_FALSE(FormatOf(doc, "Sales").hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfRead, LibreOfficeStyleSkipsTablesOfItsOwnAndTakesUnicode)
{
    QTextDocument doc;
    EXPECT_EQ(ReadRtf(Sample("libreoffice.rtf"), &doc).status, TRtfReadStatus::Rtf);
    // Style names, generator and document information are no text; the
    // \u characters replace their \'hh fallbacks instead of adding to them.
    EXPECT_EQ(Paragraphs(doc),
              QStringList({"Acme Widgets", QString::fromUtf8("Grüß Gott, blue € 12"),
                           "Right and underlined", ""}));
    const QTextCharFormat title = FormatOf(doc, "Widgets");
    EXPECT_TRUE(IsBold(title));
    EXPECT_EQ(title.fontPointSize(), 18.0);
    EXPECT_EQ(title.foreground().color(), QColor(201, 33, 30));
    EXPECT_EQ(title.fontFamilies().toStringList(), QStringList{"Liberation Serif"});
    EXPECT_EQ(AlignmentOf(doc, "Acme"), Qt::AlignHCenter);
    EXPECT_TRUE(FormatOf(doc, "Gott").fontItalic());
    EXPECT_FALSE(IsBold(FormatOf(doc, "Gott")));
    EXPECT_EQ(FormatOf(doc, "blue").foreground().color(), QColor(0, 0, 255));
    const QTextCharFormat right = FormatOf(doc, "Right");
    EXPECT_TRUE(right.fontUnderline());
    EXPECT_EQ(right.fontPointSize(), 10.0);
    EXPECT_EQ(right.fontFamilies().toStringList(), QStringList{"Liberation Sans"});
    EXPECT_EQ(AlignmentOf(doc, "Right"), Qt::AlignRight);
}

TEST(RtfRead, FieldsPicturesTablesHiddenTextAndBinaryData)
{
    QTextDocument doc;
    EXPECT_EQ(ReadRtf(Sample("word_extras.rtf"), &doc).status, TRtfReadStatus::Rtf);
    const QStringList paragraphs = Paragraphs(doc);
    ASSERT_EQ(paragraphs.size(), 5) << paragraphs.join('|').toStdString();
    // A field shows its result, not its instruction.
    EXPECT_EQ(paragraphs.at(0), "Visit us today.");
    EXPECT_TRUE(FormatOf(doc, "Visit").fontUnderline());
    EXPECT_EQ(FormatOf(doc, "Visit").foreground().color(), QColor(0, 128, 0));
    EXPECT_EQ(AlignmentOf(doc, "Visit"), Qt::AlignJustify);
    // The picture and the embedded object leave nothing; a table row is one
    // paragraph of tab-separated cells.
    EXPECT_EQ(paragraphs.at(1), "Name\tPhone\t");
    // List text stays, hidden text does not.
    EXPECT_EQ(paragraphs.at(2), QString::fromUtf8("·\tItem one"));
    // \bin4 swallows four bytes, braces among them; \line breaks the line.
    EXPECT_EQ(paragraphs.at(3), QString("Bin after") + QChar(0x2028) + "next");
}

TEST(RtfRead, PlainAndDamagedInput)
{
    QTextDocument doc;
    EXPECT_EQ(ReadRtf("Just words\r\nand more", &doc).status, TRtfReadStatus::PlainText);
    EXPECT_EQ(doc.toPlainText(), "Just words\nand more");
    EXPECT_EQ(ReadRtf("caf\xE9", &doc).status, TRtfReadStatus::PlainText);
    EXPECT_EQ(doc.toPlainText(), QString::fromUtf8("café"));

    // Cut short: what was read is kept.
    const TRtfReadResult cut = ReadRtf("{\\rtf1 Hello {\\b world", &doc);
    EXPECT_EQ(cut.status, TRtfReadStatus::Truncated);
    EXPECT_FALSE(cut.problem.isEmpty());
    EXPECT_EQ(doc.toPlainText(), "Hello world");
    EXPECT_TRUE(IsBold(FormatOf(doc, "world")));

    // A binary block longer than the bytes left ends the reading there.
    EXPECT_EQ(ReadRtf("{\\rtf1 Start {\\*\\blob\\bin2000000000 xyz}}", &doc).status,
              TRtfReadStatus::Truncated);
    EXPECT_EQ(doc.toPlainText(), "Start ");

    // Text after the closing brace, a stray escape, a broken hex escape.
    EXPECT_EQ(ReadRtf("{\\rtf1 A\\'zz B\\'4}trailing", &doc).status, TRtfReadStatus::Rtf);
    EXPECT_EQ(doc.toPlainText(), "Azz B");
    EXPECT_EQ(ReadRtf("{\\rtf1 end\\", &doc).status, TRtfReadStatus::Truncated);
    EXPECT_EQ(doc.toPlainText(), "end");
}

TEST(RtfRead, HostileInputIsBounded)
{
    QTextDocument doc;
    QElapsedTimer timer;
    timer.start();
    // Nesting past the limit is refused and leaves nothing half-built.
    const QByteArray deep = "{\\rtf1 before" + QByteArray(100000, '{') + "x";
    const TRtfReadResult refused = ReadRtf(deep, &doc);
    EXPECT_EQ(refused.status, TRtfReadStatus::Refused);
    EXPECT_FALSE(refused.Readable());
    EXPECT_TRUE(doc.isEmpty());
    // Nesting just inside the limit reads.
    QByteArray nested = "{\\rtf1";
    for (int i = 1; i < TRtfLimits::MaxDepth; ++i)
        nested += "{";
    nested += "deep" + QByteArray(TRtfLimits::MaxDepth, '}');
    EXPECT_EQ(ReadRtf(nested, &doc).status, TRtfReadStatus::Rtf);
    EXPECT_EQ(doc.toPlainText(), "deep");

    // Too many groups in all.
    QByteArray many = "{\\rtf1 ";
    for (int i = 0; i <= TRtfLimits::MaxGroups; ++i)
        many += "{}";
    many += "}";
    EXPECT_EQ(ReadRtf(many, &doc).status, TRtfReadStatus::Refused);
    EXPECT_TRUE(doc.isEmpty());

    // \uc with an absurd count skips at most the limit's characters.
    EXPECT_EQ(ReadRtf("{\\rtf1\\uc999999\\u65 0123456789abcdefGHI}", &doc).status,
              TRtfReadStatus::Rtf);
    EXPECT_EQ(doc.toPlainText(), "AGHI");
    // A negative \u is the upper half of the 16-bit range; a pair makes one character.
    EXPECT_EQ(ReadRtf("{\\rtf1\\uc0 \\u-10179\\u-8704 \\u-3913}", &doc).status,
              TRtfReadStatus::Rtf);
    EXPECT_EQ(doc.toPlainText(), QString::fromUtf8("😀") + QChar(0xF0B7));

    // Font and colour tables past their limits: later entries are ignored,
    // numbers far out of range are clamped.
    QByteArray tables = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < TRtfLimits::MaxFonts + 50; ++i)
        tables += "{\\f" + QByteArray::number(i) + " Font" + QByteArray::number(i) + ";}";
    tables += "}{\\colortbl;";
    for (int i = 0; i < TRtfLimits::MaxColors + 50; ++i)
        tables += "\\red1\\green2\\blue3;";
    tables += "}{\\f5\\cf7 in}{\\f" + QByteArray::number(TRtfLimits::MaxFonts + 10) + "\\cf" +
              QByteArray::number(TRtfLimits::MaxColors + 10) +
              "\\fs99999999999999 out}{\\fs-5 neg}}";
    EXPECT_EQ(ReadRtf(tables, &doc).status, TRtfReadStatus::Rtf);
    EXPECT_EQ(FormatOf(doc, "in").fontFamilies().toStringList(), QStringList{"Font5"});
    EXPECT_EQ(FormatOf(doc, "in").foreground().color(), QColor(1, 2, 3));
    const QTextCharFormat out = FormatOf(doc, "out");
    EXPECT_TRUE(out.fontFamilies().toStringList().isEmpty());
    EXPECT_FALSE(out.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(out.fontPointSize(), 1638.0);
    EXPECT_EQ(FormatOf(doc, "neg").fontPointSize(), 12.0);

    // Control characters and the document's own markers never reach its text.
    EXPECT_EQ(ReadRtf("{\\rtf1\\uc0 a\\u0 \\u65532 \\u64976 \\'01b\\u8233 c}", &doc).status,
              TRtfReadStatus::Rtf);
    EXPECT_EQ(Paragraphs(doc), QStringList({"ab", "c"}));
    // Formats changing at every character of one long paragraph read in
    // time proportional to their number (this took minutes when every
    // insertion laid the paragraph out again).
    QByteArray runs = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i)
        runs += "{\\b x}{\\i y}";
    EXPECT_EQ(ReadRtf(runs + "}", &doc).status, TRtfReadStatus::Rtf);
    EXPECT_EQ(doc.characterCount(), 40001);
    EXPECT_LT(timer.elapsed(), 20000);
}

TEST(RtfWrite, BytesFollowTheFormat)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat red;
    red.setFontFamilies(QStringList{"Arial"});
    red.setFontPointSize(14);
    red.setFontWeight(QFont::Bold);
    red.setForeground(QColor(255, 0, 0));
    cursor.insertText("Hi {x}\\", red);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    QTextCharFormat plain;
    plain.setFontFamilies(QStringList{"Times New Roman"});
    plain.setFontPointSize(10.5);
    plain.setFontItalic(true);
    plain.setFontUnderline(true);
    plain.setFontStrikeOut(true);
    plain.setBackground(QColor(0, 0, 255));
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    cursor.insertBlock(right);
    cursor.insertText(QString::fromUtf8("é\tΩ") + QChar(0x2028) + "z", plain);

    const QByteArray expected =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
        "{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Times New Roman;}}\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n"
        "\\pard\\qc {\\f0\\fs28\\b\\cf1 Hi \\{x\\}\\\\}\\par\n"
        "\\pard\\qr {\\f1\\fs21\\i\\ul\\strike\\cb2\\chcbpat2 \\'e9\\tab \\u937?\\line z}\n"
        "}";
    EXPECT_EQ(WriteRtf(&doc), expected);
}

TEST(RtfWrite, RoundTripKeepsWordsAndFormats)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    struct TRun
    {
        QString text;
        QString family;
        double size;
        bool bold, italic, underline, strike;
        QColor fg, bg;
    };
    const QList<TRun> runs = {
        {"Plain ", "Arial", 12, false, false, false, false, {}, {}},
        {"bold ", "Arial", 12, true, false, false, false, {}, {}},
        {QString::fromUtf8("Ünïcödé ✓ 😀 "),
         "DejaVu Sans",
         9,
         false,
         true,
         false,
         false,
         QColor(0, 128, 0),
         {}},
        {"under ", "Times New Roman", 20, false, false, true, false, QColor(128, 0, 128),
         QColor(255, 255, 0)},
        {"gone", "Arial", 7.5, true, true, true, true, QColor(0, 0, 0), {}},
    };
    for (const TRun &r : runs) {
        QTextCharFormat f;
        f.setFontFamilies(QStringList{r.family});
        f.setFontPointSize(r.size);
        f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(r.italic);
        f.setFontUnderline(r.underline);
        f.setFontStrikeOut(r.strike);
        if (r.fg.isValid())
            f.setForeground(r.fg);
        if (r.bg.isValid())
            f.setBackground(r.bg);
        cursor.insertText(r.text, f);
    }
    for (Qt::Alignment a : {Qt::AlignJustify, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignLeft}) {
        QTextBlockFormat block;
        block.setAlignment(a);
        cursor.insertBlock(block);
        cursor.insertText(QStringLiteral("para\twith tab"));
    }

    TRichText read;
    EXPECT_EQ(read.LoadRtf(WriteRtf(&doc)).status, TRtfReadStatus::Rtf);
    const QTextDocument &back = *read.Document();
    EXPECT_EQ(back.toPlainText(), doc.toPlainText());
    for (const TRun &r : runs) {
        const QTextCharFormat f = FormatOf(back, r.text.trimmed());
        SCOPED_TRACE(r.text.toStdString());
        EXPECT_EQ(f.fontFamilies().toStringList(), QStringList{r.family});
        EXPECT_EQ(f.fontPointSize(), r.size);
        EXPECT_EQ(IsBold(f), r.bold);
        EXPECT_EQ(f.fontItalic(), r.italic);
        EXPECT_EQ(f.fontUnderline(), r.underline);
        EXPECT_EQ(f.fontStrikeOut(), r.strike);
        EXPECT_EQ(f.hasProperty(QTextFormat::ForegroundBrush), r.fg.isValid());
        if (r.fg.isValid())
            EXPECT_EQ(f.foreground().color(), r.fg);
        EXPECT_EQ(f.hasProperty(QTextFormat::BackgroundBrush), r.bg.isValid());
        if (r.bg.isValid())
            EXPECT_EQ(f.background().color(), r.bg);
    }
    QList<Qt::Alignment> alignments;
    for (QTextBlock b = back.begin(); b.isValid(); b = b.next())
        alignments.append(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
    EXPECT_EQ(alignments, QList<Qt::Alignment>({Qt::AlignLeft, Qt::AlignJustify, Qt::AlignHCenter,
                                                Qt::AlignRight, Qt::AlignLeft}));

    // Writing what was read gives the same bytes again.
    EXPECT_EQ(WriteRtf(&back), WriteRtf(&doc));
}

TEST(RichTextContainer, CopiesContentAndSavesNothingWhenEmpty)
{
    TRichText source;
    source.LoadRtf("{\\rtf1 {\\b Copy} me}");
    TRichText copy;
    copy.Assign(source);
    source.LoadRtf("{\\rtf1 changed}");
    EXPECT_EQ(copy.PlainText(), "Copy me");
    EXPECT_TRUE(IsBold(FormatOf(*copy.Document(), "Copy")));
    EXPECT_TRUE(copy.SaveRtf().startsWith("{\\rtf1"));

    TRichText empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_TRUE(empty.SaveRtf().isEmpty());
    EXPECT_EQ(empty.LoadRtf(QByteArray()).status, TRtfReadStatus::Rtf);
}

TEST(RtfRead, FontCharsetsChooseTheCodePageOfEscapedBytes)
{
    // As WordPad writes Russian and Polish: bytes in the fonts' code pages.
    QTextDocument doc;
    EXPECT_EQ(
        ReadRtf("{\\rtf1\\ansi\\ansicpg1251\\deff0\\nouicompat\\deflang1049{\\fonttbl{\\f0\\fnil"
                "\\fcharset204 Calibri;}{\\f1\\fnil\\fcharset238 Calibri;}{\\f2\\fnil\\fcharset0 "
                "Calibri;}}\n\\viewkind4\\uc1 \\pard\\f0\\fs22\\lang1049 \\'cf\\'f0\\'e8\\'e2\\'e5"
                "\\'f2 \\'a8\\'b8\\par\n\\f1 Za\\'bf\\'f3\\'b3\\'e6 \\'8a\\'9e\\par\n\\f2 "
                "\\'80\\'e9\\'9f\\'81\\par\n}",
                &doc)
            .status,
        TRtfReadStatus::Rtf);
    EXPECT_EQ(Paragraphs(doc),
              QStringList({QString::fromUtf8("Привет Ёё"), QString::fromUtf8("Zażółć Šž"),
                           QString::fromUtf8("€éŸ\uFFFD"), ""}));
}

TEST(RtfRead, RunsThatLookTheSameAreOneAndFormatChangesAreBounded)
{
    // Two fonts of one face, two entries of one colour, two kinds of underline.
    TRichText same;
    same.LoadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Arial;}}"
                 "{\\colortbl;\\red9\\green0\\blue0;\\red9\\green0\\blue0;}"
                 "{\\f0\\cf1 a}{\\f1\\cf2 b}{\\f0\\cf2\\ul c}{\\f1\\cf1\\ulw d}}");
    int fragments = 0;
    EXPECT_EQ(FormatChanges(*same.Document(), &fragments), 2);
    EXPECT_EQ(fragments, 2);
    EXPECT_EQ(same.PlainText(), QStringLiteral("abcd"));

    TRichText few;
    few.LoadRtf(AlternatingRuns(TRtfLimits::MaxFormatRuns));
    EXPECT_FALSE(few.FormatsLimited());
    EXPECT_EQ(FormatChanges(*few.Document()), TRtfLimits::MaxFormatRuns);

    // Past the bound every letter is still there; the rest takes the last
    // format laid out (run 2000 is italic).
    TRichText many;
    many.LoadRtf(AlternatingRuns(15000));
    EXPECT_TRUE(many.FormatsLimited());
    EXPECT_FALSE(many.TextCut());
    EXPECT_FALSE(many.Document()->isModified());
    EXPECT_EQ(FormatChanges(*many.Document()), TRtfLimits::MaxFormatRuns);
    EXPECT_EQ(many.PlainText().size(), 15000);
    EXPECT_TRUE(many.PlainText().endsWith(QStringLiteral("abab")));
    QTextCursor end(many.Document());
    end.movePosition(QTextCursor::End);
    EXPECT_TRUE(end.charFormat().fontItalic());
    EXPECT_NE(end.charFormat().fontWeight(), QFont::Bold);

    // More letters than a card can show are not laid out at all.
    TRichText longer;
    longer.LoadRtf(AlternatingRuns(30000));
    EXPECT_TRUE(longer.TextCut());
    EXPECT_EQ(longer.PlainText().size(), TRtfLimits::MaxLaidOutCharacters);
    EXPECT_EQ(FormatChanges(*longer.Document()), TRtfLimits::MaxFormatRuns);

    // A copy knows it too; a document set from the editor starts afresh.
    TRichText copy;
    copy.Assign(many);
    EXPECT_TRUE(copy.FormatsLimited());
    copy.AssignDocument(few.Document());
    EXPECT_FALSE(copy.FormatsLimited());
}
