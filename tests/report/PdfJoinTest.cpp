#include "ReportTestSupport.h"
#include "report/PdfJoin.h"
#include "report/RPrinter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// ------------------------------------------------------------ helpers

QList<QImage> RenderPages(const QString &pdf, int dpi)
{
    QTemporaryDir dir;
    QList<QImage> pages;
    if (QProcess::execute("pdftoppm", {"-r", QString::number(dpi), "-png", pdf,
                                       dir.filePath("p")}) != 0)
        return pages;
    QStringList files = QDir(dir.path()).entryList({"p-*.png"}, QDir::Files, QDir::Name);
    for (const QString &f : files)
        pages << QImage(dir.filePath(f)).convertToFormat(QImage::Format_RGB32);
    return pages;
}

int DifferingPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What is wrong with a document's cross-reference table, empty when nothing:
// every entry twenty bytes, every object where its entry says, the free
// entries one chain from entry 0, the trailer's size the table's.
QString TableFault(const QByteArray &pdf)
{
    const qsizetype mark = pdf.lastIndexOf("startxref\n");
    if (mark < 0)
        return "no startxref";
    const qsizetype table = pdf.mid(mark + 10).split('\n').value(0).toLongLong();
    static const QRegularExpression head(R"(^xref\n0 (\d+)\n)");
    const auto h = head.match(QString::fromLatin1(pdf.mid(table, 32)));
    if (!h.hasMatch())
        return "no table where startxref says";
    const int count = h.captured(1).toInt();
    const qsizetype first = table + h.capturedLength(0);
    static const QRegularExpression entry(R"(^(\d{10}) (\d{5}) ([nf]) \n$)");
    QList<qint64> fields;
    QList<bool> used;
    for (int i = 0; i < count; ++i) {
        const auto m = entry.match(QString::fromLatin1(pdf.mid(first + 20 * i, 20)));
        if (!m.hasMatch())
            return QString("entry %1 is not twenty bytes of the form").arg(i);
        fields << m.captured(1).toLongLong();
        used << (m.captured(3) == "n");
        const QByteArray object = QByteArray::number(i) + ' ' +
                                  QByteArray::number(m.captured(2).toInt()) + " obj";
        if (used.last() && pdf.mid(fields.last(), object.size()) != object)
            return QString("object %1 is not where its entry says").arg(i);
    }
    // The free chain: from entry 0 through every free entry once, back to 0.
    QSet<qint64> chained;
    for (qint64 at = fields.value(0); at != 0; at = fields.value(at)) {
        if (at < 0 || at >= count || used.at(at) || chained.contains(at))
            return "the free chain is broken";
        chained.insert(at);
    }
    if (chained.size() != used.count(false) - 1)
        return "a free entry is not on the chain";
    if (!pdf.mid(first + 20 * count).startsWith("trailer\n<<\n/Size " +
                                                 QByteArray::number(count)))
        return "the trailer's size is not the table's";
    return {};
}

struct TJoined
{
    bool ok = false;
    QByteArray out;
    QString error;
};

TJoined Join(const QByteArray &document, const QList<int> &parts)
{
    QBuffer in;
    in.setData(document);
    in.open(QIODevice::ReadOnly);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    TJoined r;
    r.ok = JoinPdfPages(in, out, parts, &r.error);
    r.out = out.data();
    return r;
}

// A document written by Qt's PDF writer: `pages` pages, page i showing a
// square of its own colour at its own place and the text "Part i".
QByteArray QtDocument(int pages)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(300);
    QPainter p(&writer);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        p.fillRect(QRect(100 + 300 * i, 100, 200, 200), QColor::fromHsv(60 * i, 255, 255));
        p.setFont(QFont("Liberation Sans", 14));
        p.drawText(QPoint(100 + 300 * i, 400), QStringLiteral("Part %1").arg(i));
    }
    p.end();
    return buffer.data();
}

// A document of Qt's PDF writer whose page i shows drawing `shown[i]`: a
// square of that drawing's colour at its place and the text "Sheet n".
QByteArray RepeatingDocument(const QList<int> &shown)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(300);
    QPainter p(&writer);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (i > 0)
            writer.newPage();
        const int n = shown.at(i);
        p.fillRect(QRect(100 + 300 * n, 100, 200, 200), QColor::fromHsv(60 * n, 255, 255));
        p.setFont(QFont("Liberation Sans", 14));
        p.drawText(QPoint(100 + 300 * n, 400), QStringLiteral("Sheet %1").arg(n));
    }
    p.end();
    return buffer.data();
}

QString PageText(const QString &pdf, int page)
{
    QProcess text;
    text.start("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    text.waitForFinished();
    return QString::fromUtf8(text.readAllStandardOutput());
}

// A hand-made document of the given objects (numbered from 1), with a
// correct table: for layouts Qt does not write.
QByteArray MadeDocument(const QList<QByteArray> &objects, const QByteArray &trailerExtra = {})
{
    QByteArray doc = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets << doc.size();
        doc += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype table = doc.size();
    doc += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype o : offsets)
        doc += QByteArray::number(o).rightJustified(10, '0') + " 00000 n \n";
    doc += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R " +
           trailerExtra + ">>\nstartxref\n" + QByteArray::number(table) + "\n%%EOF\n";
    return doc;
}

// Catalog, page tree of two pages, their contents and resources.
QList<QByteArray> TwoPageObjects(const QByteArray &secondFont)
{
    return {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
        "<< /Type /Page /Parent 2 0 R /Contents 5 0 R /Resources 7 0 R "
        "/Annots [9 0 R] /MediaBox [0 0 200 200] >>",
        "<< /Type /Page /Parent 2 0 R /Contents [6 0 R] /Resources << /Font << /F1 " +
            secondFont + " >> /ProcSet [/PDF /Text] >> /MediaBox [0 0 200 200] >>",
        "<< /Length 0 >>\nstream\n\nendstream",
        "<< /Length 0 >>\nstream\n\nendstream",
        "<< /Font << /F1 8 0 R >> /ProcSet [/PDF] >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Type /Annot /Subtype /Text /Rect [0 0 10 10] >>",
    };
}

// ------------------------------------------------------------ the report

// Pieces of drawing that lean on the state earlier ones leave: the font,
// the brush and the base clip set before a part begins go on after it.
void DrawPiece(TBaseReport &rep, int piece)
{
    switch (piece) {
    case 0: {
        rep.SetPen(0x0000FF, psSolid, -2, pmCopy);
        rep.SetBrush(0x00C0FF, bsDiagCross);
        rep.Ellipse(0.5, 0.5, 3.0, 2.0);
        rep.SetFont("Liberation Serif", 30);
        rep.SetFontColor(0x008000);
        break;
    }
    case 1:
        rep.GotoXY(1.0, 3.0);
        rep.PrintText(QStringLiteral("Whole or in parts"));
        rep.Rectangle(4.0, 0.5, 6.0, 1.5); // the brush of piece 0
        rep.SetBaseClipRect(1.0, 4.0, 3.0, 5.0);
        break;
    case 2: {
        rep.SetBrush(0x0000FF, bsSolid); // red
        rep.Ellipse(0.5, 3.5, 3.5, 5.5); // cut by the base clip of piece 1
        rep.ClearBaseClip();
        QImage art(40, 20, QImage::Format_RGB32);
        for (int y = 0; y < art.height(); ++y)
            for (int x = 0; x < art.width(); ++x)
                art.setPixel(x, y, qRgb(x * 6, y * 12, 200));
        rep.PrintBitmapRect(4.0, 4.0, 6.5, 5.25, art);
        rep.SetFontRotation(90);
        rep.GotoXY(7.0, 6.0);
        rep.PrintText(QStringLiteral("Turned"));
        break;
    }
    case 3:
        rep.PushClipEllipse(1.0, 1.0, 4.0, 3.0);
        rep.SelectClip();
        rep.SetBrush(0x808000, bsSolid);
        rep.Rectangle(0.5, 0.5, 5.0, 4.0);
        rep.ClearClip();
        break;
    default:
        rep.SetFont("Liberation Sans", 12);
        rep.GotoXY(1.0, 8.0);
        rep.PrintText(QStringLiteral("Second page, second part"));
        break;
    }
}

// Prints pieces 0-2 on page 1 and 3-4 on page 2, each piece on a part of its
// own or all of a page at once.
QString PrintPieces(const QString &dir, bool inParts)
{
    const QString pdf = QDir(dir).filePath(inParts ? "parts.pdf" : "whole.pdf");
    TReportPrinter report;
    report.SetOutputFile(pdf);
    report.SetPaperSize(kPaperLetter);
    report.OnPrint = [inParts](TBaseReport &rep) {
        for (int piece = 0; piece < 5; ++piece) {
            if (piece == 3)
                rep.NewPage();
            else if (piece > 0 && inParts)
                rep.NewPagePart();
            DrawPiece(rep, piece);
        }
        EXPECT_EQ(rep.CurrentPage(), 2);
    };
    EXPECT_TRUE(report.Execute());
    return pdf;
}

TEST(PdfPageParts, APageDrawnInPartsPrintsAsTheWholePage)
{
    QTemporaryDir dir;
    const QString whole = PrintPieces(dir.path(), false);
    const QString parts = PrintPieces(dir.path(), true);
    const QList<QImage> a = RenderPages(whole, 100);
    const QList<QImage> b = RenderPages(parts, 100);
    ASSERT_EQ(a.size(), 2);
    ASSERT_EQ(b.size(), 2);
    for (int page = 0; page < 2; ++page) {
        SCOPED_TRACE(page + 1);
        EXPECT_EQ(DifferingPixels(a.at(page), b.at(page)), 0);
    }
    // Every piece left ink: the comparison is not of two blank pages.
    EXPECT_TRUE(IsColor(a.at(0), 200, 450, 0xFF0000)); // the clipped ellipse
    EXPECT_FALSE(IsColor(a.at(0), 60, 450, 0xFF0000)); // outside the base clip
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"parts.pdf", "whole.pdf"}));

    // The joined file's table is sound, and the joiner reads it again.
    EXPECT_EQ(TableFault(FileBytes(parts)), QString());
    EXPECT_EQ(TableFault(FileBytes(whole)), QString());
    const TJoined again = Join(FileBytes(parts), {1, 1});
    EXPECT_TRUE(again.ok) << again.error.toStdString();
    EXPECT_EQ(again.out, FileBytes(parts));
}

TEST(PdfPageParts, DevicesThatCannotJoinIgnoreParts)
{
    TProbeReport report;
    report.OnPrint = [](TBaseReport &rep) {
        rep.SetBrush(0x0000FF, bsSolid); // red
        rep.NewPagePart();
        rep.Rectangle(1, 1, 2, 2);
    };
    ASSERT_TRUE(report.Execute());
    EXPECT_EQ(report.beginPages, 1);
    ASSERT_EQ(report.pages.size(), 1);
    EXPECT_TRUE(IsColor(report.pages.at(0), 150, 150, 0xFF0000));
}

// ------------------------------------------------------------ the joiner

TEST(PdfJoin, JoinsQtsPagesIntoTheAskedCounts)
{
    const QByteArray doc = QtDocument(5);
    // One page each: the document as it was, byte for byte.
    const TJoined same = Join(doc, {1, 1, 1, 1, 1});
    ASSERT_TRUE(same.ok) << same.error.toStdString();
    EXPECT_EQ(same.out, doc);

    const TJoined joined = Join(doc, {3, 1, 1});
    ASSERT_TRUE(joined.ok) << joined.error.toStdString();
    EXPECT_EQ(TableFault(joined.out), QString());
    QTemporaryDir dir;
    const QString source = dir.filePath("source.pdf");
    const QString result = dir.filePath("joined.pdf");
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(doc);
        QFile g(result);
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write(joined.out);
    }
    const QList<QImage> before = RenderPages(source, 50);
    const QList<QImage> after = RenderPages(result, 50);
    ASSERT_EQ(before.size(), 5);
    ASSERT_EQ(after.size(), 3);
    // Page 1 holds the squares of pages 1-3 in their places; 2 and 3 are
    // pages 4 and 5 as they were.
    for (int i = 0; i < 3; ++i) {
        const QPoint square((100 + 300 * i + 100) * 50 / 300, 200 * 50 / 300);
        EXPECT_EQ(after.at(0).pixel(square), before.at(i).pixel(square)) << i;
        EXPECT_NE(qGray(after.at(0).pixel(square)), 255) << i;
    }
    EXPECT_EQ(DifferingPixels(after.at(1), before.at(3)), 0);
    EXPECT_EQ(DifferingPixels(after.at(2), before.at(4)), 0);
    // The texts of all three parts are on the joined page.
    QProcess text;
    text.start("pdftotext", {"-f", "1", "-l", "1", result, "-"});
    ASSERT_TRUE(text.waitForFinished());
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    for (const char *part : {"Part 0", "Part 1", "Part 2"})
        EXPECT_TRUE(words.contains(part)) << words.toStdString();
    EXPECT_FALSE(words.contains("Part 3"));

    // The pages the join made redundant are gone, and the result reads back.
    const TJoined again = Join(joined.out, {1, 1, 1});
    EXPECT_TRUE(again.ok) << again.error.toStdString();
    EXPECT_EQ(again.out, joined.out);
    EXPECT_EQ(joined.out.count("/Type /Page\n"), 3);
    EXPECT_EQ(doc.count("/Type /Page\n"), 5);
}

TEST(PdfJoin, CountsThatDoNotFitTheDocumentAreRefused)
{
    const QByteArray doc = QtDocument(3);
    for (const QList<int> &parts :
         {QList<int>{2}, QList<int>{4}, QList<int>{0, 3}, QList<int>{}, QList<int>{-1, 4}}) {
        const TJoined r = Join(doc, parts);
        EXPECT_FALSE(r.ok) << parts.size();
        EXPECT_FALSE(r.error.isEmpty());
        EXPECT_TRUE(r.out.isEmpty()); // nothing half-written
    }
    EXPECT_TRUE(Join(doc, {2, 1}).error.isEmpty());
}

TEST(PdfJoin, ResourcesAndAnnotationsOfThePartsComeTogether)
{
    const QByteArray doc = MadeDocument(TwoPageObjects("8 0 R"));
    const TJoined r = Join(doc, {2});
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(TableFault(r.out), QString());
    // One page: both contents, each between q and Q; one font; the first
    // part's annotation; ProcSet names of both.
    EXPECT_TRUE(r.out.contains("/Count 1")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("/Contents [10 0 R 5 0 R 11 0 R 10 0 R 6 0 R 11 0 R]"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("/Annots [9 0 R]"));
    EXPECT_TRUE(r.out.contains("/F1 8 0 R"));
    EXPECT_TRUE(r.out.contains("/ProcSet [/PDF /Text]"));
    EXPECT_TRUE(r.out.contains("stream\nq\n"));
    EXPECT_TRUE(r.out.contains("stream\nQ\n"));
    EXPECT_TRUE(Join(r.out, {1}).ok);

    // One name for two different things cannot share a page.
    const TJoined clash = Join(MadeDocument(TwoPageObjects("9 0 R")), {2});
    EXPECT_FALSE(clash.ok);
    EXPECT_TRUE(clash.error.contains("resource")) << clash.error.toStdString();
}

TEST(PdfJoin, PagesThatDrawTheSameShareOneDrawing)
{
    QTemporaryDir dir;
    const auto saved = [&](const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    };
    // Pages 2, 3 and 5 draw the same (the writer starts its first page from
    // a state of its own): five pages, three drawings.
    const QByteArray doc = RepeatingDocument({0, 1, 1, 2, 1});
    const TJoined shared = Join(doc, {1, 1, 1, 1, 1});
    ASSERT_TRUE(shared.ok) << shared.error.toStdString();
    EXPECT_EQ(TableFault(shared.out), QString());
    EXPECT_EQ(shared.out.count("/Type /Page\n"), 5);
    EXPECT_EQ(shared.out.count("endstream"), doc.count("endstream") - 2);
    EXPECT_LT(shared.out.size(), doc.size());
    const QString before = saved("before.pdf", doc);
    const QString after = saved("after.pdf", shared.out);
    const QList<QImage> a = RenderPages(before, 50);
    const QList<QImage> b = RenderPages(after, 50);
    ASSERT_EQ(a.size(), 5);
    ASSERT_EQ(b.size(), 5);
    for (int page = 0; page < 5; ++page)
        EXPECT_EQ(DifferingPixels(a.at(page), b.at(page)), 0) << page;
    EXPECT_NE(qGray(b.at(4).pixel(500 * 50 / 300, 200 * 50 / 300)), 255);
    EXPECT_TRUE(PageText(after, 5).contains("Sheet 1"));
    EXPECT_TRUE(PageText(after, 4).contains("Sheet 2"));
    // Read again, there is nothing more to share.
    EXPECT_EQ(Join(shared.out, {1, 1, 1, 1, 1}).out, shared.out);

    // Joined pages: the third is made of parts that repeat the second's.
    const QByteArray parts = RepeatingDocument({0, 1, 2, 1, 2});
    const TJoined joined = Join(parts, {1, 2, 2});
    ASSERT_TRUE(joined.ok) << joined.error.toStdString();
    EXPECT_EQ(TableFault(joined.out), QString());
    EXPECT_EQ(joined.out.count("endstream"), parts.count("endstream") - 2 + 2); // + q and Q
    const QList<QImage> c = RenderPages(saved("joined.pdf", joined.out), 50);
    ASSERT_EQ(c.size(), 3);
    EXPECT_EQ(DifferingPixels(c.at(1), c.at(2)), 0);
    EXPECT_NE(DifferingPixels(c.at(0), c.at(1)), 0);
    EXPECT_TRUE(PageText(dir.filePath("joined.pdf"), 3).contains("Sheet 2"));

    // The same drawing under other resources is not the same page.
    const QByteArray otherResources = MadeDocument(TwoPageObjects("8 0 R"));
    EXPECT_EQ(Join(otherResources, {1, 1}).out, otherResources);
    QList<QByteArray> sameResources = TwoPageObjects("8 0 R");
    sameResources[3] = "<< /Type /Page /Parent 2 0 R /Contents 6 0 R /Resources 7 0 R "
                       "/MediaBox [0 0 200 200] >>";
    const TJoined same = Join(MadeDocument(sameResources), {1, 1});
    ASSERT_TRUE(same.ok) << same.error.toStdString();
    EXPECT_EQ(TableFault(same.out), QString());
    EXPECT_FALSE(same.out.contains("\n6 0 obj"));
    EXPECT_EQ(same.out.count("/Contents 5 0 R"), 2);
}

// Copies of pages drawn once: more page objects, no more drawings.
TEST(PdfJoin, CopiesOfEarlierPagesShowThemAgainWithoutTheirDrawing)
{
    QTemporaryDir dir;
    const QByteArray doc = QtDocument(2);
    const TJoined copies = Join(doc, {1, 1, -2, -2, -1});
    ASSERT_TRUE(copies.ok) << copies.error.toStdString();
    EXPECT_EQ(TableFault(copies.out), QString());
    EXPECT_EQ(copies.out.count("endstream"), doc.count("endstream"));
    const QString path = dir.filePath("copies.pdf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(copies.out);
    file.close();
    const QList<QImage> pages = RenderPages(path, 50);
    ASSERT_EQ(pages.size(), 5);
    EXPECT_EQ(DifferingPixels(pages.at(0), pages.at(2)), 0);
    EXPECT_EQ(DifferingPixels(pages.at(1), pages.at(3)), 0);
    EXPECT_EQ(DifferingPixels(pages.at(1), pages.at(4)), 0);
    EXPECT_NE(DifferingPixels(pages.at(0), pages.at(1)), 0);
    EXPECT_TRUE(PageText(path, 3).contains("Part 0"));
    EXPECT_TRUE(PageText(path, 5).contains("Part 1"));
    // A copy of a page that does not come before it is refused.
    EXPECT_FALSE(Join(doc, {1, -2, 1}).ok);
}

TEST(PdfJoin, LayoutsQtDoesNotWriteAreRefused)
{
    QList<QByteArray> nested = TwoPageObjects("8 0 R");
    nested[1] = "<< /Type /Pages /Kids [10 0 R] /Count 2 >>";
    nested << "<< /Type /Pages /Parent 2 0 R /Kids [3 0 R 4 0 R] /Count 2 >>";
    QList<QByteArray> otherSize = TwoPageObjects("8 0 R");
    otherSize[3].replace("[0 0 200 200]", "[0 0 300 200]");
    QList<QByteArray> twice = TwoPageObjects("8 0 R");
    twice[1] = "<< /Type /Pages /Kids [3 0 R 3 0 R] /Count 2 >>";
    QByteArray longGeneration = MadeDocument(TwoPageObjects("8 0 R"));
    const qsizetype entry = longGeneration.indexOf(" 00000 n \n");
    longGeneration.replace(entry, 10, " 000000 n\n");
    QList<QByteArray> streamPage = TwoPageObjects("8 0 R");
    streamPage[2] = "<< /Length 0 >>\nstream\n\nendstream";
    const QList<std::pair<const char *, QByteArray>> cases = {
        {"nested page tree", MadeDocument(nested)},
        {"parts of two sizes", MadeDocument(otherSize)},
        {"a page that is a stream", MadeDocument(streamPage)},
        {"an updated file", MadeDocument(TwoPageObjects("8 0 R"), "/Prev 9 ")},
        {"an encrypted file", MadeDocument(TwoPageObjects("8 0 R"), "/Encrypt 9 0 R ")},
        {"a page listed twice", MadeDocument(twice)},
        {"a generation of six digits", longGeneration},
        {"not a PDF", QByteArray("just some text, no table at all")},
        {"empty", QByteArray()},
    };
    for (const auto &[what, doc] : cases) {
        const TJoined r = Join(doc, {2});
        EXPECT_FALSE(r.ok) << what;
        EXPECT_FALSE(r.error.isEmpty()) << what;
    }
}

// Takes a given number of bytes, then fails as a full disk does.
class TFullDevice : public QIODevice
{
public:
    explicit TFullDevice(qint64 room)
        : m_room(room)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override
    {
        if (length > m_room) {
            setErrorString("No space left on device");
            return -1;
        }
        m_room -= length;
        return length;
    }

private:
    qint64 m_room;
};

TEST(PdfJoin, AWriteThatFailsSaysWhy)
{
    const QByteArray doc = QtDocument(3);
    for (const QList<int> &parts : {QList<int>{3}, QList<int>{1, 1, 1}}) {
        const qint64 size = Join(doc, parts).out.size();
        ASSERT_GT(size, 1000);
        for (qint64 room : {qint64(0), size / 2, size - 1}) {
            SCOPED_TRACE(room);
            QBuffer in;
            in.setData(doc);
            in.open(QIODevice::ReadOnly);
            TFullDevice out(room);
            QString error;
            EXPECT_FALSE(JoinPdfPages(in, out, parts, &error));
            EXPECT_TRUE(error.contains("No space left on device")) << error.toStdString();
        }
    }
}

TEST(PdfJoin, DamagedDocumentsAreRefusedOrJoinedSoundly)
{
    // Whatever it accepts, it writes a document it can read again; nothing
    // it is given makes it read outside the input.
    const QByteArray doc = QtDocument(3);
    int refused = 0, joined = 0;
    auto probe = [&](const QByteArray &damaged) {
        const TJoined r = Join(damaged, {3});
        if (!r.ok) {
            ++refused;
            EXPECT_FALSE(r.error.isEmpty());
            return;
        }
        ++joined;
        const TJoined again = Join(r.out, {1});
        EXPECT_TRUE(again.ok) << again.error.toStdString();
        EXPECT_EQ(TableFault(r.out), QString());
    };
    for (qsizetype cut = 0; cut < doc.size(); cut += 97)
        probe(doc.left(cut));
    QRandomGenerator random(17);
    for (int i = 0; i < 400; ++i) {
        QByteArray damaged = doc;
        for (int flips = 1 + random.bounded(3); flips > 0; --flips)
            damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
        probe(damaged);
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(joined, 0);

    // Objects a page shares with the rest of the document stay: a page whose
    // resources are the page tree, a part that another page refers to.
    QList<QByteArray> treeAsResources = TwoPageObjects("8 0 R");
    treeAsResources[2].replace("/Resources 7 0 R", "/Resources 2 0 R");
    const TJoined kept = Join(MadeDocument(treeAsResources), {2});
    ASSERT_TRUE(kept.ok) << kept.error.toStdString();
    EXPECT_TRUE(kept.out.contains("2 0 obj\n<<\n/Type /Pages")) << kept.out.toStdString();
    EXPECT_TRUE(Join(kept.out, {1}).ok);
    QList<QByteArray> partReferred = TwoPageObjects("8 0 R");
    partReferred[2].replace("/Annots [9 0 R]", "/Annots [4 0 R]");
    EXPECT_FALSE(Join(MadeDocument(partReferred), {2}).ok);
}

} // namespace
