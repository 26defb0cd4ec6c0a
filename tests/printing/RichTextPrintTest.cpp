// Rich text from several word processors in a design written by hand, through
// tessaro-batch: every word printed as text at its label's place, the colours
// and the bold run on the rendered card, and the content kept by a resave.
#include "PrintTestSupport.h"
#include "document/CardLayout.h"
#include "document/Filer.h"
#include "document/ProgramFolder.h"
#include "objects/Gprichl.h"
#include "richtext/RichText.h"
#include "shell/CardKinds.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {


QByteArray Sample(const char *name)
{
    QFile file(QStringLiteral(TESSARO_TEST_DATA "/rtf/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// ---- the design stream, written from its rules ----------------------------------

QByteArray Short(const QByteArray &s)
{
    return char(s.size()) + s;
}

QByteArray Int16(int v)
{
    return QByteArray("\x03") + char(v & 0xFF) + char((v >> 8) & 0xFF);
}

QByteArray Int32(quint32 v)
{
    QByteArray b("\x04");
    for (int i = 0; i < 4; ++i)
        b += char((v >> (8 * i)) & 0xFF);
    return b;
}

QByteArray Binary(const QByteArray &data)
{
    const quint32 n = quint32(data.size());
    QByteArray b("\x0A");
    for (int i = 0; i < 4; ++i)
        b += char((n >> (8 * i)) & 0xFF);
    return b + data;
}

struct TRichPlace
{
    const char *name;
    QRect bounds; // pixels at 100 %, 96 per inch
    QByteArray rtf;
    bool transparent;
};

QByteArray RichLabel(const TRichPlace &p)
{
    return "TPF0" + Short("TGPRichBaseLabel") + Short(p.name) + Short("Left") +
           Int16(p.bounds.x()) + Short("Top") + Int16(p.bounds.y()) + Short("Width") +
           Int16(p.bounds.width()) + Short("Height") + Int16(p.bounds.height()) +
           Short("RTFText.Data") + Binary(p.rtf + QByteArray(4, '\0')) + Short("BorderStyle") +
           "\x07" + Short("bsNone") + Short("Transparent") + (p.transparent ? "\x09" : "\x08") +
           Short("BGColor") + Int32(0xFFFFFF) + QByteArray(2, '\0');
}

double DarkShare(const QImage &page, int dpi, const QRectF &inches)
{
    const double area = inches.width() * dpi * inches.height() * dpi;
    return area > 0 ? DarkPixelsIn(page, dpi, inches) / area : 0;
}

int PixelsNear(const QImage &image, QRect area, QColor color)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) < 50 && std::abs(c.green() - color.green()) < 50 &&
                std::abs(c.blue() - color.blue()) < 50)
                ++n;
        }
    return n;
}

class RichTextPrintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // The default layout: no preferences file.
        QDir(ProgramFolder()).removeRecursively();
        QDir().mkpath(ProgramFolder());
        places = {
            {"Minimal", QRect(10, 10, 150, 30), Sample("minimal.rtf"), true},
            {"WordPad", QRect(10, 48, 150, 140), Sample("wordpad.rtf"), true},
            {"LibreOffice", QRect(170, 10, 160, 175), Sample("libreoffice.rtf"), false},
        };
        QByteArray design("\x01");
        for (const TRichPlace &p : places)
            design += RichLabel(p);
        design += '\0';
        path = dir.filePath("rich.tsc");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(design);
    }

    QTemporaryDir dir;
    QList<TRichPlace> places;
    QString path;
};

} // namespace

TEST_F(RichTextPrintTest, EveryWordIsPrintedAsTextInsideItsLabel)
{
    const QString pdf = dir.filePath("rich.pdf");
    const TBatchRun run = RunBatch({"print", path, "-o", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<TPdfWord> words = PdfWords(pdf);
    const TCardLayout layout;
    const double cardX = layout.LeftMargin;
    const double cardY = layout.TopMargin;

    const QList<QPair<int, QStringList>> expected = {
        {0, {"Hello", "bold", "world"}},
        {1,
         {"Acme", "Widgets", QString::fromUtf8("José"), QString::fromUtf8("Müller,"), "Sales",
          "Phone", QString::fromUtf8("№"), "42"}},
        {2,
         {"Acme", "Widgets", QString::fromUtf8("Grüß"), "Gott,", "blue", QString::fromUtf8("€"),
          "12", "Right", "and", "underlined"}},
    };
    for (const auto &[index, texts] : expected) {
        const QRect b = places.at(index).bounds;
        const QRectF label(cardX + b.x() / 96.0, cardY + b.y() / 96.0, b.width() / 96.0,
                           b.height() / 96.0);
        const QRectF slack = label.adjusted(-0.02, -0.02, 0.02, 0.02);
        for (const QString &text : texts) {
            SCOPED_TRACE(text.toStdString());
            bool found = false;
            for (const TPdfWord &w : words)
                if (w.page == 1 && w.text == text && slack.contains(w.inches))
                    found = true;
            EXPECT_TRUE(found) << "not inside " << places.at(index).name;
        }
    }
    // Skipped destinations print nothing.
    for (const TPdfWord &w : words)
        EXPECT_FALSE(w.text.contains("Normal") || w.text.contains("LibreOffice") ||
                     w.text.contains("Riched20"))
            << w.text.toStdString();

    // The bold word is heavier than its plain neighbours on paper.
    const int dpi = 300;
    const QList<QImage> pages = RenderPdf(pdf, dpi);
    ASSERT_FALSE(pages.isEmpty());
    auto boxOf = [&](const QString &text) {
        for (const TPdfWord &w : words)
            if (w.text == text)
                return w.inches;
        return QRectF();
    };
    const double bold = DarkShare(pages.first(), dpi, boxOf("bold"));
    EXPECT_GT(bold, DarkShare(pages.first(), dpi, boxOf("Hello")) * 1.2);
    EXPECT_GT(bold, DarkShare(pages.first(), dpi, boxOf("world")) * 1.2);
}

TEST_F(RichTextPrintTest, RenderShowsTheColoursAndResaveKeepsTheContent)
{
    const QString png = dir.filePath("card.png");
    TBatchRun run = RunBatch({"render", path, "-o", png});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage card(png);
    ASSERT_FALSE(card.isNull());
    const QRect wordpad = places.at(1).bounds;
    const QRect libre = places.at(2).bounds;
    EXPECT_GT(PixelsNear(card, wordpad, QColor(255, 0, 0)), 30); // the red title
    EXPECT_GT(PixelsNear(card, wordpad, QColor(0, 0, 255)), 10); // the blue phone line
    EXPECT_GT(PixelsNear(card, libre, QColor(201, 33, 30)), 30); // the title's own red
    EXPECT_GT(PixelsNear(card, libre, QColor(0, 0, 255)), 10);
    EXPECT_EQ(PixelsNear(card, places.at(0).bounds, QColor(255, 0, 0)), 0);

    const QString resaved = dir.filePath("again.tsc");
    run = RunBatch({"resave", path, resaved});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    RegisterCardObjectKinds();
    QObject owner;
    TRichTextEngine::EnsureMaster(&owner);
    TGLabelObjectFiler filer;
    const QList<TStoredObject *> objects = filer.LoadObjects(&owner, nullptr, resaved);
    ASSERT_EQ(objects.size(), places.size());
    for (int i = 0; i < places.size(); ++i) {
        auto *label = qobject_cast<TGPRichBaseLabel *>(objects.at(i));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->Rtf(), places.at(i).rtf) << places.at(i).name;
        EXPECT_EQ(label->Transparent(), places.at(i).transparent);
        TRichText original;
        original.LoadRtf(places.at(i).rtf);
        EXPECT_EQ(label->Content().PlainText(), original.PlainText());
    }
}
