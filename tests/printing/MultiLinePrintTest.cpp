// Multi-line labels on paper: each line is set as text through the report,
// at the card's place on the sheet, aligned as on screen.
#include "PrintTestSupport.h"
#include "objects/Gpmlabel.h"
#include "printing/SheetRenderer.h"
#include "report/RPrinter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int Dpi = 150;

struct TPrinted
{
    QString pdf;
    QList<TPdfWord> words;
    QList<QImage> pages;
};

// Prints the objects on the first card position of a Letter sheet into a PDF.
TPrinted PrintFirstCard(const QList<TGGraphicControl *> &objects, const QTemporaryDir &dir,
                        double *cardX, double *cardY)
{
    TCardLayout layout;
    TSheetRenderer sheet;
    sheet.Objects = objects;
    sheet.SetLayout(layout, TPrinterNudges());
    sheet.PrintSelection = QList<bool>(10, false);
    sheet.PrintSelection[0] = true;
    *cardX = double(layout.LeftMargin);
    *cardY = double(layout.TopMargin);
    TPrinted printed;
    printed.pdf = dir.filePath("multi.pdf");
    TReportPrinter report;
    report.SetOutputFile(printed.pdf);
    report.SetPaperSize(TCardLayout::PaperLetter);
    report.SetOrientation(poPortrait);
    EXPECT_TRUE(sheet.Render(report));
    printed.words = PdfWords(printed.pdf);
    printed.pages = RenderPdf(printed.pdf, Dpi);
    return printed;
}

const TPdfWord *Word(const TPrinted &printed, const QString &text)
{
    for (const TPdfWord &w : printed.words)
        if (w.text == text)
            return &w;
    return nullptr;
}

} // namespace

TEST(MultiLinePrint, EachLineIsTextAtItsAlignedPlaceOnTheCard)
{
    QObject owner;
    const double ppi = 96.0;
    const double lineHeight = 10.0 / 60.0; // the report's line height of 10 points

    auto *left = new TGMultiLineLabel(&owner);
    left->SetBounds(20, 10, 190, 80);
    left->SetItems({"Alpha", "Bravo", "", "Delta"});

    auto *right = new TGMultiLineLabel(&owner);
    right->SetBounds(20, 100, 300, 40);
    right->SetAlignment(TGMultiLineBaseLabel::taRightJustify);
    right->SetItems({"Echo", "Foxtrot"});

    auto *centre = new TGMultiLineLabel(&owner);
    centre->SetBounds(200, 10, 120, 15);
    centre->SetAlignment(TGMultiLineBaseLabel::taCenter);
    // The second line starts below the bottom: not printed.
    centre->SetItems({"Golf", "Hotel"});

    auto *empty = new TGMultiLineLabel(&owner);
    empty->SetBounds(20, 150, 120, 20);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    double x = 0, y = 0;
    const TPrinted printed = PrintFirstCard({left, right, centre, empty}, dir, &x, &y);

    const struct
    {
        const char *text;
        int line;
        const TGMultiLineLabel *label;
    } lines[] = {{"Alpha", 0, left}, {"Bravo", 1, left}, {"Delta", 3, left},
                 {"Echo", 0, right}, {"Foxtrot", 1, right}, {"Golf", 0, centre}};
    for (const auto &l : lines) {
        const TPdfWord *w = Word(printed, QString::fromLatin1(l.text));
        ASSERT_NE(w, nullptr) << l.text;
        EXPECT_EQ(w->page, 1);
        const double top = y + l.label->Top() / ppi + l.line * lineHeight;
        EXPECT_NEAR(w->inches.top(), top, 0.04) << l.text;
        const double labelLeft = x + l.label->Left() / ppi;
        const double labelRight = x + (l.label->Left() + l.label->Width()) / ppi;
        if (l.label == left) {
            EXPECT_NEAR(w->inches.left(), labelLeft, 0.03) << l.text;
        } else if (l.label == right) {
            EXPECT_NEAR(w->inches.right(), labelRight - 1 / ppi, 0.03) << l.text;
        } else {
            EXPECT_NEAR(w->inches.center().x(), (labelLeft + labelRight) / 2 + 1 / ppi, 0.03);
        }
    }
    EXPECT_EQ(Word(printed, "Hotel"), nullptr);
    // The placeholder of an empty label stays on screen.
    EXPECT_EQ(Word(printed, "<blank>"), nullptr);
    EXPECT_EQ(printed.words.size(), 6);
}

TEST(MultiLinePrint, UnderlineGoesOnPaperAsOnScreen)
{
    QObject owner;
    auto *plain = new TGMultiLineLabel(&owner);
    plain->SetBounds(20, 10, 300, 40);
    plain->Font()->SetSize(14);
    plain->SetItems({"Nonunderlined"});
    auto *underlined = new TGMultiLineLabel(&owner);
    underlined->SetBounds(20, 80, 300, 40);
    underlined->Font()->SetSize(14);
    underlined->Font()->SetStyle(fsUnderline);
    underlined->SetItems({"Underlined"});

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    double x = 0, y = 0;
    const TPrinted printed = PrintFirstCard({plain, underlined}, dir, &x, &y);
    ASSERT_FALSE(printed.pages.isEmpty());
    for (const auto &[label, text] :
         {std::pair{plain, "Nonunderlined"}, std::pair{underlined, "Underlined"}}) {
        const TPdfWord *w = Word(printed, QString::fromLatin1(text));
        ASSERT_NE(w, nullptr) << text;
        // A line runs the width of the word just below its baseline, which
        // no row of the letters themselves does.
        const double baseline = w->inches.top() + 14.0 / 72.0 * 0.905;
        const int found = FindHorizontalLine(printed.pages.first(), Dpi, baseline + 0.02,
                                             w->inches.left(), w->inches.right(), 8);
        if (label == underlined)
            EXPECT_GE(found, 0) << text;
        else
            EXPECT_EQ(found, -1) << text;
    }
}

TEST(MultiLinePrint, TheLastLineOfAFittedLabelPrintsWhole)
{
    // The report's line pitch (points / 60 inch) is taller than the screen's,
    // so five lines fitted on screen run past the label's bottom on paper.
    QObject owner;
    auto *label = new TGMultiLineLabel(&owner);
    label->SetBounds(20, 10, 200, 20);
    label->SetItems({"Typography", "b", "c", "d", "Typography"});
    label->FitToLines();
    ASSERT_EQ(label->Height(), 5 * label->LineHeight());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    double x = 0, y = 0;
    const TPrinted printed = PrintFirstCard({label}, dir, &x, &y);
    ASSERT_FALSE(printed.pages.isEmpty());
    QList<const TPdfWord *> words;
    for (const TPdfWord &w : printed.words)
        if (w.text == QLatin1String("Typography"))
            words.append(&w);
    ASSERT_EQ(words.size(), 2);
    // Same text, same ink: the last line loses nothing at the label's bottom.
    const QRectF first = words[0]->inches.adjusted(-0.02, -0.02, 0.02, 0.02);
    const QRectF last = words[1]->inches.adjusted(-0.02, -0.02, 0.02, 0.02);
    const int inkFirst = DarkPixelsIn(printed.pages.first(), Dpi, first);
    const int inkLast = DarkPixelsIn(printed.pages.first(), Dpi, last);
    EXPECT_GT(inkFirst, 50);
    EXPECT_GE(inkLast, inkFirst * 9 / 10);
}
