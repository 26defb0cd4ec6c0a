// The printer the main window prints on, as the user sets it up: the printer
// set-up dialog and what it hands the queue, and the printer's margins the
// bottom-margin warning reads. On a paused queue of the test script's CUPS
// server with a driver of its own (TPausedCupsQueue).
#include "PrintTestSupport.h"
#include "common/TestSupport.h"
#include "printing/Printlbl.h"
#include "printing/Selectsl.h"
#include "printing/Warnbot.h"
#include "report/RPrinter.h"
#include "shell/Main.h"
#include "shell/ShellUtil.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

class PrinterSetupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!queue.Ok())
            GTEST_SKIP() << "no CUPS server of the test script (scripts/test starts one)";
        TMainScreen::PrinterCheck = [](bool) { return true; };
        QDir(ProgramFolder()).removeRecursively();
        QDir().mkpath(ProgramFolder());
        window = std::make_unique<TMainScreen>();
        window->show();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        ASSERT_NE(window->MainReport(), nullptr);
        window->MainReport()->SetPrinterName(queue.Name());
    }
    void TearDown() override { window.reset(); }

    static void AcceptPrintCards()
    {
        WhenModal([](QWidget *w) { return qobject_cast<TSelectSpecificLabels *>(w) != nullptr; },
                  [](QWidget *w) { static_cast<TSelectSpecificLabels *>(w)->OKbutton->click(); });
    }
    static void CloseStatusWhenDone()
    {
        WhenModal(
            [](QWidget *w) {
                auto *status = qobject_cast<TLabelPrinter *>(w);
                return status && status->JobRan();
            },
            [](QWidget *w) { static_cast<TLabelPrinter *>(w)->CancelButton->click(); });
    }

    TPausedCupsQueue queue;
    std::unique_ptr<TMainScreen> window;
};

TEST_F(PrinterSetupTest, BottomMarginWarningReadsThePrintersMarginExactly)
{
    // The driver leaves 48 pt at the bottom: two thirds of an inch.
    TCanvasReport *report = window->MainReport();
    ASSERT_TRUE(report->UpdateMetrics());
    EXPECT_NEAR(report->BottomOffset(), 48.0 / 72.0, 0.5 / report->YDPI());

    QString bottom, difference;
    AcceptPrintCards();
    WhenModal([](QWidget *w) { return qobject_cast<TWarnBottomMargin *>(w) != nullptr; },
              [&](QWidget *w) {
                  auto *warning = static_cast<TWarnBottomMargin *>(w);
                  bottom = warning->BotMarg->text();
                  difference = warning->Difference->text();
                  warning->CancelPrintingButton->click();
              });
    window->mnuPrintClick();
    EXPECT_TRUE(bottom.endsWith(QStringLiteral("setting of : 0.667 inches")))
        << bottom.toStdString();
    EXPECT_TRUE(difference.endsWith(QStringLiteral("approximately: 0.167 inches")))
        << difference.toStdString();
    EXPECT_EQ(queue.JobCount(), 0);

    // Cards that end two thirds of an inch above the edge are not cut off:
    // no warning, the sheet is printed.
    window->Preferences().Layout.TopMargin = 0.333f;
    bool warned = false;
    WhenModal([](QWidget *w) { return qobject_cast<TWarnBottomMargin *>(w) != nullptr; },
              [&warned](QWidget *w) {
                  warned = true;
                  static_cast<TWarnBottomMargin *>(w)->CancelPrintingButton->click();
              },
              3000);
    AcceptPrintCards();
    CloseStatusWhenDone();
    window->mnuPrintClick();
    EXPECT_FALSE(warned);
    EXPECT_EQ(queue.JobCount(), 1);
}

TEST_F(PrinterSetupTest, SetupChoicesGoWithThePrintJob)
{
    QString title, okText;
    bool trayOffered = false;
    WhenModal([](QWidget *w) { return qobject_cast<QPrintDialog *>(w) != nullptr; },
              [&](QWidget *w) {
                  title = w->windowTitle();
                  QPushButton *ok =
                      w->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
                  okText = ok->text();
                  // The printer's properties: the upper tray.
                  WhenModal([w](QWidget *p) { return p != w; },
                            [&trayOffered](QWidget *p) {
                                for (QComboBox *box : p->findChildren<QComboBox *>()) {
                                    const int upper = box->findText(QStringLiteral("Upper Tray"));
                                    if (upper >= 0) {
                                        box->setCurrentIndex(upper);
                                        trayOffered = true;
                                    }
                                }
                                static_cast<QDialog *>(p)->accept();
                            });
                  w->findChild<QPushButton *>(QStringLiteral("properties"))->click();
                  w->findChild<QRadioButton *>(QStringLiteral("duplexLong"))->setChecked(true);
                  ok->click();
              });
    QAction *setup = window->findChild<QAction *>(QStringLiteral("mnuPrinterSetup"));
    ASSERT_TRUE(setup->isEnabled());
    setup->trigger();
    EXPECT_EQ(title, QStringLiteral("Printer Setup"));
    EXPECT_EQ(okText, QStringLiteral("OK"));
    ASSERT_TRUE(trayOffered);
    EXPECT_EQ(window->MainReport()->Printer()->duplex(), QPrinter::DuplexLongSide);

    // Printing keeps them: the job reaches the queue with both sides and
    // the tray, on the layout's paper.
    for (int i = 8; i < 10; ++i)
        window->PrintSelection[i] = false; // no bottom-margin warning
    AcceptPrintCards();
    CloseStatusWhenDone();
    window->mnuPrintClick();
    ASSERT_EQ(queue.JobCount(), 1);
    const QMap<QString, QString> job = queue.LastJobAttributes();
    EXPECT_EQ(job.value(QStringLiteral("sides")), QStringLiteral("two-sided-long-edge"));
    EXPECT_EQ(job.value(QStringLiteral("InputSlot")), QStringLiteral("Upper"));
    EXPECT_EQ(job.value(QStringLiteral("media")), QStringLiteral("Letter"));

    // A paper source set on the printer goes as the IPP one.
    window->MainReport()->Printer()->setPaperSource(QPrinter::Manual);
    EXPECT_TRUE(window->MainReport()->JobOptions().contains(QStringLiteral("media-source=manual")));
}

} // namespace
