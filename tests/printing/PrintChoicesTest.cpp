// The dialogs that run before a sheet prints: "Print Cards" (positions and
// sheets), "Printer Fine-Tuning" and the bottom-margin "ALERT".
#include "PrintTestSupport.h"
#include "common/TestSupport.h"
#include "printing/Printft.h"
#include "printing/Selectsl.h"
#include "printing/Warnbot.h"
#include "report/RPrinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb Black = qRgb(0, 0, 0);

QRgb PixelAt(TSelectSpecificLabels &dialog, int x, int y)
{
    const QImage image = dialog.PaintBox1->grab().toImage();
    return image.pixel(x, y) & 0xFFFFFF;
}

// The colour inside a position, its frame and just past its right and bottom edges.
void ExpectPosition(TSelectSpecificLabels &dialog, int index, QRgb fill)
{
    SCOPED_TRACE(index);
    const QImage image = dialog.PaintBox1->grab().toImage();
    const QRect r = dialog.Rectangles().at(index);
    EXPECT_EQ(image.pixel(r.center()) & 0xFFFFFF, fill & 0xFFFFFF);
    EXPECT_EQ(image.pixel(r.left() + 2, r.top() + 2) & 0xFFFFFF, fill & 0xFFFFFF);
    EXPECT_EQ(image.pixel(r.topLeft()) & 0xFFFFFF, Black & 0xFFFFFF);
    EXPECT_EQ(image.pixel(r.bottomRight()) & 0xFFFFFF, Black & 0xFFFFFF);
}

TEST(PrintCards, LetterSheetAtOneFifthScaleWithPositionsToggledByClicks)
{
    TSelectSpecificLabels dialog(TCardLayout::PaperLetter, nullptr);
    dialog.SetLayout(TCardLayout());
    QList<bool> flags(10, true);
    flags[3] = false;
    dialog.SetSelection(flags);
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Print Cards"));

    // At 96 pixels per inch: the sheet 163 x 211 from (10, 10), the first
    // card (24, 19)-(91, 57) with right and bottom excluded.
    ASSERT_EQ(dialog.Scaled(8.5), 163);
    EXPECT_EQ(dialog.SheetRect(), QRect(10, 10, 163, 211));
    ASSERT_EQ(dialog.Rectangles().size(), 10);
    EXPECT_EQ(dialog.Rectangles().at(0), QRect(QPoint(24, 19), QPoint(90, 56)));
    // Each term truncated on its own: 14 + 67 + 10 across, 9 + 4 x 38 + 10 down.
    EXPECT_EQ(dialog.Rectangles().at(9), QRect(QPoint(91, 171), QPoint(157, 208)));
    for (int i = 0; i < 10; ++i)
        ExpectPosition(dialog, i, i == 3 ? White : Red);
    EXPECT_EQ(PixelAt(dialog, 12, 12), White & 0xFFFFFF);   // the sheet
    EXPECT_EQ(PixelAt(dialog, 10, 100), Black & 0xFFFFFF);  // its frame
    EXPECT_EQ(PixelAt(dialog, 172, 220), Black & 0xFFFFFF); // its far corner

    // A click turns a selected position white and back to red; only that one.
    const QPoint first = dialog.Rectangles().at(0).center();
    QTest::mouseClick(dialog.PaintBox1, Qt::LeftButton, {}, first);
    EXPECT_EQ(dialog.Selection().at(0), false);
    ExpectPosition(dialog, 0, White);
    ExpectPosition(dialog, 1, Red);
    QTest::mouseClick(dialog.PaintBox1, Qt::LeftButton, {}, first);
    ExpectPosition(dialog, 0, Red);
    QTest::mouseClick(dialog.PaintBox1, Qt::LeftButton, {}, dialog.Rectangles().at(3).topLeft());
    ExpectPosition(dialog, 3, Red);
    // Outside every position (the sheet's margin, the gap below the sheet): nothing.
    const QList<bool> before = dialog.Selection();
    QTest::mouseClick(dialog.PaintBox1, Qt::LeftButton, {}, QPoint(15, 15));
    QTest::mouseClick(dialog.PaintBox1, Qt::LeftButton, {},
                      dialog.Rectangles().at(9).bottomRight() + QPoint(1, 1));
    EXPECT_EQ(dialog.Selection(), before);

    dialog.Selectnone->click();
    EXPECT_EQ(dialog.Selection(), QList<bool>(10, false));
    for (int i = 0; i < 10; ++i)
        ExpectPosition(dialog, i, White);
    dialog.SelectAll->click();
    EXPECT_EQ(dialog.Selection(), QList<bool>(10, true));
    ExpectPosition(dialog, 7, Red);
}

TEST(PrintCards, TheKeyboardMovesAmongThePositionsAndTogglesThem)
{
    TCardLayout threeAcross;
    threeAcross.Across = 3;
    threeAcross.Down = 2;
    threeAcross.Width = 2.5f;
    threeAcross.HPitch = 2.5f;
    threeAcross.LeftMargin = 0.5f;
    TSelectSpecificLabels dialog(TCardLayout::PaperLetter, nullptr);
    dialog.SetLayout(threeAcross);
    dialog.show();
    dialog.PaintBox1->setFocus();
    ASSERT_EQ(dialog.CurrentPosition(), 0);
    // Right twice, once more at the row's end does nothing; down; left.
    for (Qt::Key key :
         {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Left})
        QTest::keyClick(dialog.PaintBox1, key);
    EXPECT_EQ(dialog.CurrentPosition(), 4);
    QTest::keyClick(dialog.PaintBox1, Qt::Key_Space);
    EXPECT_EQ(dialog.Selection(), (QList<bool>{true, true, true, true, false, true}));
    ExpectPosition(dialog, 4, White);
    QTest::keyClick(dialog.PaintBox1, Qt::Key_Up);
    QTest::keyClick(dialog.PaintBox1, Qt::Key_Up);
    QTest::keyClick(dialog.PaintBox1, Qt::Key_Space);
    EXPECT_EQ(dialog.CurrentPosition(), 1);
    EXPECT_FALSE(dialog.Selection().at(1));
    ExpectPosition(dialog, 1, White);
    ExpectPosition(dialog, 0, Red);
    // Enter still answers for the dialog.
    QTest::keyClick(dialog.PaintBox1, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
}

TEST(PrintCards, EveryLayoutTheLayoutDialogAllowsGetsItsOwnPositions)
{
    // The largest grid: 10 across, 30 down of small cards on A4.
    TCardLayout many;
    many.Across = 10;
    many.Down = 30;
    many.Width = 0.5f;
    many.Height = 0.3f;
    many.HPitch = 0.75f;
    many.VPitch = 0.35f;
    many.LeftMargin = 0.25f;
    many.TopMargin = 0.25f;
    many.Papersize = TCardLayout::PaperA4;
    TSelectSpecificLabels dialog(TCardLayout::PaperA4, nullptr);
    dialog.SetLayout(many);
    dialog.SetSelection(QList<bool>(10, false)); // as many flags as an old selection held
    dialog.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(dialog.PositionCount(), 300);
    ASSERT_EQ(dialog.Rectangles().size(), 300);
    EXPECT_EQ(dialog.SheetRect().size(),
              QSize(158, 224)); // Trunc(8.268 x 19.2), Trunc(11.69 x 19.2)
    // Positions past the old flags start selected.
    EXPECT_FALSE(dialog.Selection().at(9));
    EXPECT_TRUE(dialog.Selection().at(10));
    EXPECT_TRUE(dialog.Selection().at(299));
    const QRect last = dialog.Rectangles().at(299);
    EXPECT_EQ(last.topLeft(), QPoint(4 + 9 * 14 + 10, 4 + 29 * 6 + 10));
    EXPECT_LE(last.right(), dialog.PaintBox1->width() - 1);
    EXPECT_LE(last.bottom(), dialog.PaintBox1->height() - 1);
    QTest::mouseClick(dialog.PaintBox1, Qt::LeftButton, {}, last.center());
    EXPECT_FALSE(dialog.Selection().at(299));
    EXPECT_TRUE(dialog.Selection().at(298));
    EXPECT_TRUE(dialog.Selection().at(289));
    ExpectPosition(dialog, 299, White);
    ExpectPosition(dialog, 298, Red);

    // A layout running off the sheet, with a negative margin: the picture
    // grows and moves so that every position can still be clicked.
    TCardLayout wide;
    wide.Across = 3;
    wide.Down = 1;
    wide.LeftMargin = -0.5f;
    wide.HPitch = 4.0f;
    dialog.SetLayout(wide);
    ASSERT_EQ(dialog.Rectangles().size(), 3);
    EXPECT_GE(dialog.Rectangles().at(0).left(), 0);
    EXPECT_GT(dialog.Rectangles().at(2).right(), dialog.SheetRect().right());
    EXPECT_LT(dialog.Rectangles().at(2).right(), dialog.PaintBox1->width());
    QTest::mouseClick(dialog.PaintBox1, Qt::LeftButton, {}, dialog.Rectangles().at(2).center());
    // The first positions keep their flags from before.
    EXPECT_EQ(dialog.Selection(), (QList<bool>{false, false, true}));
}

TEST(PrintCards, EnterEscapeAndTheNothingSelectedMessage)
{
    QTemporaryDir dir;
    TReportPrinter report;
    report.SetOutputFile(dir.filePath("x.pdf"));
    report.SetOrientation(poLandScape);
    {
        TSelectSpecificLabels dialog(TCardLayout::PaperLetter, &report);
        dialog.SetLayout(TCardLayout());
        EXPECT_TRUE(dialog.PrinterLabel->text().contains(QStringLiteral("x.pdf")));
        dialog.show();
        dialog.pages->setFocus();
        dialog.pages->setValue(3);
        dialog.Selectnone->click();
        // Enter in the pages field acts as "Ok": with nothing chosen, the
        // message, and the dialog stays; copies and orientation are set.
        TDialogAnswer answer;
        AnswerNextMessageBox(QMessageBox::Ok, &answer);
        QTest::keyClick(dialog.pages, Qt::Key_Return);
        EXPECT_TRUE(answer.seen);
        EXPECT_EQ(answer.text, QStringLiteral("You must select at least one card to print"));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), 0);
        EXPECT_EQ(report.Copies(), 3);
        EXPECT_EQ(report.Orientation(), poPortrait);

        QTest::mouseClick(dialog.PaintBox1, Qt::LeftButton, {}, dialog.Rectangles().at(4).center());
        dialog.pages->setValue(5);
        QTest::keyClick(dialog.pages, Qt::Key_Enter);
        EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
        EXPECT_EQ(report.Copies(), 5);
        QList<bool> expected(10, false);
        expected[4] = true;
        EXPECT_EQ(dialog.Selection(), expected);
    }
    {
        TSelectSpecificLabels dialog(TCardLayout::PaperLetter, &report);
        dialog.show();
        dialog.pages->setValue(2);
        dialog.Cancelbutton->setFocus();
        // Enter goes to "Ok" even on another button; here everything is chosen.
        QTest::keyClick(dialog.Cancelbutton, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
    }
    {
        TSelectSpecificLabels dialog(TCardLayout::PaperLetter, &report);
        dialog.show();
        dialog.pages->setValue(7);
        QTest::keyClick(dialog.pages, Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), int(QDialog::Rejected));
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(report.Copies(), 2); // Escape sets nothing
    }
}

TEST(FineTune, ArrowsDefaultAndTheValueTexts)
{
    TPrinterNudges nudges;
    nudges.LeftMarginNudge = 7;
    nudges.VerticalSpacing = -3;
    nudges.HorizontalSpacing = 20; // from an edited file: shown, kept unless changed
    TPrintFineTune dialog(nudges, QStringLiteral("Office"));
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Printer Fine-Tuning"));
    EXPECT_EQ(dialog.PrinterLabel->text(), QStringLiteral("Printer: Office"));
    EXPECT_EQ(dialog.lTopMarginNudge->text(), QStringLiteral("None"));
    EXPECT_EQ(dialog.LLeftMarginNudge->text(), QStringLiteral("Increase by 7/32\""));
    EXPECT_EQ(dialog.LVerticalSpacing->text(), QStringLiteral("Decrease by 3/32\""));

    auto arrow = [&](const char *name) {
        auto *button = dialog.findChild<QToolButton *>(QString::fromLatin1(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    };
    // Nine presses of the up arrow from 0 stop at -8.
    QToolButton *topUp = arrow("TopMarginSpinnerUp");
    ASSERT_NE(topUp, nullptr);
    for (int i = 0; i < 9; ++i)
        QTest::mouseClick(topUp, Qt::LeftButton);
    EXPECT_EQ(dialog.lTopMarginNudge->text(), QStringLiteral("Decrease by 8/32\""));
    EXPECT_EQ(dialog.Nudges().TopMarginNudge, -8);
    // The down arrow from 7 goes to 8 and stays there.
    QToolButton *leftDown = arrow("LeftMarginSpinnerDown");
    ASSERT_NE(leftDown, nullptr);
    QTest::mouseClick(leftDown, Qt::LeftButton);
    QTest::mouseClick(leftDown, Qt::LeftButton);
    EXPECT_EQ(dialog.LLeftMarginNudge->text(), QStringLiteral("Increase by 8/32\""));
    EXPECT_EQ(dialog.Nudges().LeftMarginNudge, 8);
    // The arrow keys work the spinner that has the focus.
    QWidget *vertical = dialog.findChild<QWidget *>(QStringLiteral("VerticalSpacingSpinner"));
    ASSERT_NE(vertical, nullptr);
    vertical->setFocus();
    QTest::keyClick(vertical, Qt::Key_Down);
    QTest::keyClick(vertical, Qt::Key_Down);
    EXPECT_EQ(dialog.LVerticalSpacing->text(), QStringLiteral("Decrease by 1/32\""));
    QTest::keyClick(vertical, Qt::Key_Down);
    EXPECT_EQ(dialog.LVerticalSpacing->text(), QStringLiteral("None"));
    // Above the dialog's range: the down arrow leaves it alone, the up arrow too.
    EXPECT_EQ(dialog.LHorizontalSpacing->text(), QStringLiteral("Increase by 20/32\""));
    QTest::mouseClick(arrow("HorizontalSpacingSpinnerDown"), Qt::LeftButton);
    EXPECT_EQ(dialog.Nudges().HorizontalSpacing, 20);
    QTest::mouseClick(arrow("HorizontalSpacingSpinnerUp"), Qt::LeftButton);
    EXPECT_EQ(dialog.Nudges().HorizontalSpacing, 19);

    dialog.DefaultButton->click();
    for (QLabel *text : {dialog.lTopMarginNudge, dialog.LLeftMarginNudge, dialog.LVerticalSpacing,
                         dialog.LHorizontalSpacing})
        EXPECT_EQ(text->text(), QStringLiteral("None"));
    EXPECT_EQ(dialog.Nudges().HorizontalSpacing, 0);
    dialog.Cancelbutton->click();
    EXPECT_EQ(dialog.result(), int(QDialog::Rejected));
}

TEST(BottomMargin, DueWhenTheLowestChosenCardsReachIntoThePrintersMargin)
{
    const TCardLayout letter; // 2 x 5, bottom row ends 0.5 inch above the edge
    const QList<bool> all(10, true);
    const TPrinterNudges none;

    TBottomMarginCheck c = CheckBottomMargin(letter, none, all, 11.0, 0.667);
    EXPECT_TRUE(c.Due);
    EXPECT_DOUBLE_EQ(c.NeededMargin, 0.5);
    EXPECT_NEAR(c.Overlap, 0.167, 1e-9);
    EXPECT_EQ(c.CardsCut, 2);
    EXPECT_FALSE(CheckBottomMargin(letter, none, all, 11.0, 0.5).Due); // exactly 0.5
    EXPECT_FALSE(CheckBottomMargin(letter, none, all, 11.0, 0.0).Due);

    // One card of the bottom row is enough; without the bottom row nothing is due.
    QList<bool> some = all;
    some[9] = false;
    c = CheckBottomMargin(letter, none, some, 11.0, 0.667);
    EXPECT_TRUE(c.Due);
    EXPECT_EQ(c.CardsCut, 1);
    some[8] = false;
    c = CheckBottomMargin(letter, none, some, 11.0, 0.667);
    EXPECT_FALSE(c.Due);
    EXPECT_DOUBLE_EQ(c.NeededMargin, 2.5);
    // Not only the last two positions of a 2 x 5 sheet: 3 across, 4 down.
    TCardLayout threeByFour = letter;
    threeByFour.Across = 3;
    threeByFour.Down = 4;
    threeByFour.Width = 2.5f;
    threeByFour.HPitch = 2.5f;
    threeByFour.VPitch = 2.5f;
    threeByFour.TopMargin = 0.75f; // bottom row ends at 10.25
    c = CheckBottomMargin(threeByFour, none, QList<bool>(12, true), 11.0, 0.8);
    EXPECT_TRUE(c.Due);
    EXPECT_EQ(c.CardsCut, 3);
    EXPECT_NEAR(c.NeededMargin, 0.75, 1e-9);
    EXPECT_NEAR(c.Overlap, 0.05, 1e-9);
    EXPECT_FALSE(CheckBottomMargin(threeByFour, none, QList<bool>(12, true), 11.0, 0.667).Due);
    // An A4 layout: L7414 ends 10.963 inches down the 11.69 inch sheet.
    const TCardLayout &a4 = TCardLayout::PredefinedLayout(10);
    c = CheckBottomMargin(a4, none, QList<bool>(10, true), PaperHeightInches(a4.Papersize), 0.667);
    EXPECT_FALSE(c.Due);
    c = CheckBottomMargin(a4, none, QList<bool>(10, true), PaperHeightInches(a4.Papersize), 0.8);
    EXPECT_TRUE(c.Due);
    EXPECT_NEAR(c.NeededMargin, 0.727, 1e-3);
    // The nudges move the cards as printing moves them.
    TPrinterNudges down;
    down.TopMarginNudge = 8;
    c = CheckBottomMargin(letter, down, all, 11.0, 0.4);
    EXPECT_TRUE(c.Due);
    EXPECT_NEAR(c.Overlap, 0.15, 1e-9);
    down.TopMarginNudge = 0;
    down.VerticalSpacing = -2; // row 4 moves up 8/32
    EXPECT_FALSE(CheckBottomMargin(letter, down, all, 11.0, 0.667).Due);
    // Nothing chosen: nothing is due.
    EXPECT_FALSE(CheckBottomMargin(letter, none, QList<bool>(10, false), 11.0, 0.9).Due);
}

TEST(BottomMargin, AlertTextsCarryTheFigures)
{
    const TCardLayout letter;
    {
        TWarnBottomMargin alert(CheckBottomMargin(letter, {}, QList<bool>(10, true), 11.0, 0.667));
        EXPECT_EQ(alert.windowTitle(), QStringLiteral("ALERT"));
        EXPECT_EQ(alert.BotMarg->text(),
                  QStringLiteral("Business Cards need to print to within 0.5 inches of the bottom, "
                                 "but the current printer has a bottom margin setting of : 0.667 "
                                 "inches"));
        EXPECT_EQ(alert.Difference->text(),
                  QStringLiteral("This could result in the bottom of the last two business cards "
                                 "being cut off by approximately: 0.167 inches"));
        auto *advice = alert.findChild<QLabel *>(QStringLiteral("Advice"));
        ASSERT_NE(advice, nullptr);
        EXPECT_TRUE(advice->text().startsWith(
            QStringLiteral("If your printer driver supports it, you could change the bottom margin "
                           "to 0.5 inches.")));
        EXPECT_EQ(alert.DontShowCheck->text(), QStringLiteral("Don't show this warning again"));
        EXPECT_FALSE(alert.DontShowAgain());
        alert.show();
        alert.DontShowCheck->click();
        alert.CancelPrintingButton->click();
        EXPECT_EQ(alert.result(), int(QDialog::Rejected));
        EXPECT_TRUE(alert.DontShowAgain());
    }
    QList<bool> one(10, true);
    one[8] = false;
    TWarnBottomMargin alert(CheckBottomMargin(letter, {}, one, 11.0, 0.75));
    EXPECT_TRUE(alert.Difference->text().contains(
        QStringLiteral("the last business card being cut off by approximately: 0.250 inches")));
    alert.show();
    alert.ContinueButton->click();
    EXPECT_EQ(alert.result(), int(QDialog::Accepted));
}

} // namespace
