// The card stock catalogue in "Business Card Layout": search, choosing,
// "Custom" after an edit, the user's own stocks and a damaged catalogue.
#include "common/TestSupport.h"
#include "document/ProgramFolder.h"
#include "printing/Editlo.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

struct StockForm
{
    explicit StockForm(const TCardLayout &layout = TCardLayout())
        : dialog(layout)
    {
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    template <typename T> T *Find(const char *name)
    {
        T *w = dialog.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTreeWidget *List() { return Find<QTreeWidget>("StockList"); }
    void Search(const QString &text)
    {
        QLineEdit *search = Find<QLineEdit>("StockSearch");
        search->setFocus();
        search->selectAll();
        QTest::keyClicks(search, text);
    }
    QStringList Rows()
    {
        QStringList rows;
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
            rows.append(List()->topLevelItem(i)->text(0) + ' ' + List()->topLevelItem(i)->text(1));
        return rows;
    }
    // A click on the row of that stock.
    void Click(const QString &name)
    {
        const int row = Rows().indexOf(name);
        ASSERT_GE(row, 0) << name.toStdString();
        QTreeWidgetItem *item = List()->topLevelItem(row);
        const QRect at = List()->visualItemRect(item);
        if (at.isEmpty())
            List()->scrollToItem(item);
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          List()->visualItemRect(item).center());
    }
    QString Text(const char *field) { return Find<QLineEdit>(field)->text(); }
    void Ok()
    {
        QTest::mouseClick(Find<QPushButton>("OKButton"), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }

    TEditCardLayout dialog;
};

} // namespace

TEST(StockCatalogueDialog, SearchingAndChoosingFillsTheLayoutAndEditingMakesItCustom)
{
    StockForm form;
    // The whole catalogue, the predefined layouts first.
    EXPECT_EQ(form.List()->topLevelItemCount(), 14 + 109);
    form.Search("avery 8373");
    EXPECT_EQ(form.Rows(),
              (QStringList{"Avery 8373", "Avery 28373", "Avery 3612", "Avery 5881", "Avery 8869"}));
    QTreeWidgetItem *first = form.List()->topLevelItem(0);
    EXPECT_EQ(first->text(3), "US Letter");
    EXPECT_EQ(first->text(4), "8");

    form.Search("geha p68");
    form.Click("Geha P68");
    // 2 x 4 on A4: 269.29 pt pitch, 204.09 pt rows.
    EXPECT_EQ(form.Find<QSpinBox>("enbracross")->value(), 2);
    EXPECT_EQ(form.Find<QSpinBox>("enbrdown")->value(), 4);
    EXPECT_EQ(form.Text("eHorizPitch"), "3.74");
    EXPECT_EQ(form.Text("eVertPitch"), "2.835");
    EXPECT_EQ(form.Find<QComboBox>("epapersize")->currentIndex(), 1);
    EXPECT_EQ(form.Find<QLabel>("StockName")->text(), "Geha P68");
    const auto *sheet = form.dialog.findChild<TStockSheetView *>("StockSheet");
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->Layout().Down, 4);

    // A predefined layout is found by the same search and chosen as its entry.
    form.Search("L7415");
    form.Click("Avery L7415");
    EXPECT_EQ(form.Find<QComboBox>("PredefinedLayouts")->currentIndex(), 11);
    EXPECT_EQ(form.Text("etopmarg"), "0.728");

    // A rounded stock, then an edit: "Custom", square corners, no name.
    form.Search("herma");
    form.Click("Herma 5028");
    EXPECT_EQ(form.Find<QLabel>("StockName")->text(), "Herma 5028");
    QLineEdit *top = form.Find<QLineEdit>("etopmarg");
    top->setFocus();
    top->selectAll();
    QTest::keyClicks(top, "0.9");
    EXPECT_EQ(form.Find<QComboBox>("PredefinedLayouts")->currentIndex(),
              TEditCardLayout::CustomEntry);
    EXPECT_EQ(form.Find<QLabel>("StockName")->text(), "Custom");
    EXPECT_EQ(sheet->Layout().TopMargin, 0.9f);
    form.Ok();
    EXPECT_TRUE(form.dialog.Layout().Stock.isEmpty());
    EXPECT_EQ(form.dialog.Layout().CornerRadius, 0.0f);
    EXPECT_EQ(form.dialog.Layout().PredefLayout, -1);
    EXPECT_EQ(form.dialog.Layout().Across, 2);
}

TEST(StockCatalogueDialog, AChosenStockIsHandedBackWithItsNameCornersAndPaper)
{
    StockForm form;
    form.Search("A3 5x9");
    form.Click("Russian A3 5x9");
    form.Ok();
    const TCardLayout l = form.dialog.Layout();
    EXPECT_EQ(l.Stock, "Russian A3 5x9");
    EXPECT_EQ(l.Papersize, TCardLayout::PaperA3); // not turned into Letter by the paper list
    EXPECT_EQ(l.Across, 3);
    EXPECT_EQ(l.Down, 8);

    StockForm herma;
    herma.Search("5028");
    herma.Click("Herma 5028");
    herma.Ok();
    EXPECT_NEAR(herma.dialog.Layout().CornerRadius, 5.67 / 72, 0.0006);
    // Opened again, the list shows it.
    StockForm again(herma.dialog.Layout());
    ASSERT_NE(again.List()->currentItem(), nullptr);
    EXPECT_EQ(again.List()->currentItem()->text(1), "5028");
    EXPECT_EQ(again.Find<QLabel>("StockName")->text(), "Herma 5028");
}

TEST(StockCatalogueDialog, UserStocksAreSavedListedAndRemoved)
{
    QFile::remove(UserStocksPath());
    {
        StockForm form;
        QLineEdit *width = form.Find<QLineEdit>("eCardwidth");
        width->setFocus();
        width->selectAll();
        QTest::keyClicks(width, "3.25");
        // "Save as stock..." asks for the name in a dialog of its own.
        OnNextModal([](QWidget *w) {
            w->findChild<QLineEdit *>("StockBrand")->setText("Corner Shop");
            w->findChild<QLineEdit *>("StockPart")->setText("CS-10");
            static_cast<QDialog *>(w)->accept();
        });
        QTest::mouseClick(form.Find<QPushButton>("SaveStockButton"), Qt::LeftButton);
        EXPECT_EQ(form.Find<QLabel>("StockName")->text(), "Corner Shop CS-10");
        EXPECT_TRUE(QFile::exists(UserStocksPath()));
    }
    {
        // Another time: listed, found and chosen like the others.
        StockForm form;
        EXPECT_EQ(form.List()->topLevelItemCount(), 14 + 109 + 1);
        form.Search("corner");
        ASSERT_EQ(form.Rows(), QStringList{"Corner Shop CS-10"});
        auto *remove = form.Find<QPushButton>("RemoveStockButton");
        EXPECT_FALSE(remove->isEnabled());
        form.Click("Corner Shop CS-10");
        EXPECT_EQ(form.Text("eCardwidth"), "3.25");
        ASSERT_TRUE(remove->isEnabled());
        QTest::mouseClick(remove, Qt::LeftButton);
        EXPECT_TRUE(form.Rows().isEmpty());
    }
    StockForm form;
    EXPECT_EQ(form.List()->topLevelItemCount(), 14 + 109);
    QFile::remove(UserStocksPath());
}

TEST(StockCatalogueDialog, ADamagedUserCatalogueIsReportedAndTheShippedOneWorks)
{
    QFile file(UserStocksPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("brand,part\nnot,a,stock\n");
    file.close();
    StockForm form;
    auto *note = form.Find<QLabel>("StockNote");
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().contains(UserStocksPath()));
    EXPECT_EQ(form.List()->topLevelItemCount(), 14 + 109);
    form.Search("P68");
    form.Click("Geha P68");
    EXPECT_EQ(form.Find<QSpinBox>("enbrdown")->value(), 4);
    // Saving would overwrite what the user may still mend: refused, file kept.
    TDialogAnswer answer;
    AnswerNextMessageBox(QMessageBox::Ok, &answer);
    EXPECT_FALSE(form.dialog.SaveAsStock("Shop", "X", ""));
    EXPECT_TRUE(answer.seen);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("brand,part\nnot,a,stock\n"));
    file.close();
    QFile::remove(UserStocksPath());
}

TEST(StockCatalogueDialog, SaysWhenTheDesignIsLargerThanTheCard)
{
    StockForm form;
    auto *note = form.Find<QLabel>("StockNote");
    form.dialog.SetDesignSize(QSizeF(3.5, 2.0));
    EXPECT_FALSE(note->isVisible());
    form.Search("hama 50400");
    form.Click("Hama 50400"); // 85 x 55 mm: narrower than 3.5 in
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().contains("larger than this card")) << note->text().toStdString();
}
