#include "printing/Editlo.h"

#include "common/TestSupport.h"
#include "shell/HelpViewer.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const QString kHeightMessage = QStringLiteral("Card Height must be at least .3 inches (or 7mm)");
const QString kWidthMessage = QStringLiteral("Card Width must be at least .5 inch (or 13mm)");
const QString kHPitchMessage = QStringLiteral("Horizontal Pitch must be at least = Card Width");
const QString kVPitchMessage = QStringLiteral("Vertical Pitch must be at least = Card Height");

// Closes any message box that comes up while it lives and remembers the
// last text, so a press of "Ok" that should pass cannot hang the test.
class UnexpectedBoxGuard
{
public:
    UnexpectedBoxGuard()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                m_text = box->text();
                box->reject();
            }
        });
        m_timer.start(10);
    }
    QString Text() const { return m_text; }

private:
    QTimer m_timer;
    QString m_text;
};

// The dialog on screen, with its controls found by their names.
struct LayoutForm
{
    explicit LayoutForm(const TCardLayout &layout = TCardLayout())
        : dialog(layout)
    {
    }

    void Show()
    {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    template <typename T> T *Find(const char *name)
    {
        T *w = dialog.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit *Field(const char *name) { return Find<QLineEdit>(name); }
    QString Text(const char *name) { return Field(name)->text(); }
    void SetText(const char *name, const QString &text) { Field(name)->setText(text); }

    // Types into a field the way a user does: focus, select all, keys.
    void Type(const char *name, const QString &text)
    {
        QLineEdit *edit = Field(name);
        edit->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    void ChooseLayout(int index)
    {
        auto *combo = Find<QComboBox>("PredefinedLayouts");
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
    }

    void Click(const char *name)
    {
        auto *button = Find<QAbstractButton>(name);
        // A radio button reacts only on its circle and text, at the left.
        const QPoint at = qobject_cast<QRadioButton *>(button) ? QPoint(8, button->height() / 2)
                                                               : button->rect().center();
        QTest::mouseClick(button, Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
    }

    // "Ok" that must be refused: returns the message shown.
    QString OkRefused()
    {
        TDialogAnswer answer;
        AnswerNextMessageBox(QMessageBox::Ok, &answer);
        Click("OKButton");
        EXPECT_TRUE(answer.seen);
        EXPECT_EQ(answer.title, QStringLiteral("Information"));
        EXPECT_TRUE(dialog.isVisible()) << "a refused Ok keeps the dialog open";
        return answer.text;
    }

    // "Ok" that must close the dialog.
    void OkAccepted()
    {
        UnexpectedBoxGuard guard;
        Click("OKButton");
        EXPECT_EQ(guard.Text(), QString()) << "no message expected";
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }

    TEditCardLayout dialog;
};

// A layout of the user's own that still names the predefined layout it
// started from.
TCardLayout Custom()
{
    TCardLayout l;
    l.Height = 1.9f;
    l.Width = 2.5f;
    l.Across = 3;
    l.Down = 4;
    l.TopMargin = 0.25f;
    l.LeftMargin = 0.125f;
    l.HPitch = 2.625f;
    l.VPitch = 2.0f;
    l.PredefLayout = 10;
    l.Papersize = 1;
    return l;
}

} // namespace

TEST(CardLayout, PredefinedLayoutsAndPositions)
{
    ASSERT_EQ(TCardLayout::PredefinedCount, 14);
    EXPECT_EQ(TCardLayout::PredefinedLayoutName(0),
              QStringLiteral("Avery Business Card 5371 (Letter Size Paper)"));
    EXPECT_EQ(TCardLayout::PredefinedLayoutName(7),
              QStringLiteral("Avery Business Card 8376 Ink Jet - Ivory (Letter Size Paper)"));
    EXPECT_EQ(TCardLayout::PredefinedLayoutName(13),
              QStringLiteral("Avery Business Card L7419 (A4)"));
    EXPECT_EQ(TCardLayout::PredefinedLayoutName(14), QString());
    EXPECT_EQ(TCardLayout::PredefinedLayoutName(-1), QString());

    for (int i = 0; i < TCardLayout::PredefinedCount; ++i) {
        const TCardLayout &p = TCardLayout::PredefinedLayout(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(p.PredefLayout, i);
        EXPECT_EQ(p.Across, 2);
        EXPECT_EQ(p.Down, 5);
        EXPECT_EQ(p.HPitch, p.Width);
        EXPECT_EQ(p.VPitch, p.Height);
        EXPECT_FALSE(p.UseMM);
        EXPECT_EQ(p.Papersize, i < 9 ? 1 : 9);
        EXPECT_EQ(TEditCardLayout::ValidationMessage(p), QString());
        EXPECT_TRUE(p.Check().IsNone()) << p.Check().Message.toStdString();
        if (i < 9) {
            TCardLayout expected; // the defaults are the first Letter layout
            expected.PredefLayout = i;
            EXPECT_EQ(p, expected);
        }
    }
    const TCardLayout &l7413 = TCardLayout::PredefinedLayout(9);
    EXPECT_EQ(l7413.Width, 3.543f);
    EXPECT_EQ(l7413.TopMargin, 0.846f);
    EXPECT_EQ(l7413.LeftMargin, 0.591f);
    EXPECT_EQ(l7413.Height, 2.0f);
    const TCardLayout &l7414 = TCardLayout::PredefinedLayout(10);
    EXPECT_EQ(l7414.Height, 2.047f);
    EXPECT_EQ(l7414.TopMargin, 0.728f);
    EXPECT_EQ(TCardLayout::PredefinedLayout(11), [] {
        TCardLayout l = TCardLayout::PredefinedLayout(10);
        l.PredefLayout = 11;
        return l;
    }());
    const TCardLayout &l7419 = TCardLayout::PredefinedLayout(13);
    EXPECT_EQ(l7419.Height, 2.126f);
    EXPECT_EQ(l7419.TopMargin, 0.531f);
    // 3.543 is held as the float nearest to it, not the double.
    EXPECT_NE(double(l7419.Width), 3.543);
    EXPECT_NEAR(double(l7419.Width), 3.5429999828, 1e-9);
    EXPECT_EQ(TCardLayout::PredefinedLayout(99), TCardLayout::PredefinedLayout(0));

    TCardLayout l = Custom();
    EXPECT_EQ(l.PositionCorner(0, 0), QPointF(0.125, 0.25));
    EXPECT_EQ(l.PositionCorner(2, 3), QPointF(0.125 + 2 * 2.625, 0.25 + 3 * 2.0));
    EXPECT_EQ(l.PositionIndex(0, 0), 0);
    EXPECT_EQ(l.PositionIndex(2, 0), 2);
    EXPECT_EQ(l.PositionIndex(0, 1), 3);
    EXPECT_EQ(l.PositionIndex(1, 3), 10);
}

TEST(EditCardLayout, ControlsAsCreated)
{
    LayoutForm form;
    EXPECT_EQ(form.dialog.windowTitle(), QStringLiteral("Business Card Layout"));

    auto *layouts = form.Find<QComboBox>("PredefinedLayouts");
    ASSERT_EQ(layouts->count(), 15);
    EXPECT_EQ(layouts->maxVisibleItems(), 13);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(layouts->itemText(i), TCardLayout::PredefinedLayoutName(i));
    EXPECT_EQ(layouts->itemText(14), QStringLiteral("Custom"));

    auto *inches = form.Find<QRadioButton>("Inchesbutton");
    auto *mm = form.Find<QRadioButton>("MMButton");
    EXPECT_EQ(inches->text(), QStringLiteral("Use &Inches"));
    EXPECT_EQ(mm->text(), QStringLiteral("Use &Millimeters"));
    EXPECT_TRUE(inches->isChecked());
    EXPECT_FALSE(mm->isChecked());

    auto *across = form.Find<QSpinBox>("enbracross");
    auto *down = form.Find<QSpinBox>("enbrdown");
    EXPECT_EQ(across->minimum(), 1);
    EXPECT_EQ(across->maximum(), 10);
    EXPECT_EQ(down->minimum(), 1);
    EXPECT_EQ(down->maximum(), 30);

    auto *paper = form.Find<QComboBox>("epapersize");
    ASSERT_EQ(paper->count(), 3);
    EXPECT_EQ(paper->itemText(0), QStringLiteral("Letter (8.5 x 11\")"));
    EXPECT_EQ(paper->itemText(1), QStringLiteral("A4 (210 x 297mm)"));
    EXPECT_EQ(paper->itemText(2), QString());

    for (const char *name :
         {"eCardwidth", "eCardHeight", "eHorizPitch", "eVertPitch", "eleftmarg", "etopmarg"})
        form.Field(name);

    auto *ok = form.Find<QPushButton>("OKButton");
    EXPECT_EQ(ok->text(), QStringLiteral("Ok"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(form.Find<QPushButton>("Cancelbutton")->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(form.Find<QPushButton>("Helpbutton")->text(), QStringLiteral("Help"));

    // The labels the user reads beside the fields.
    QStringList labels;
    for (QLabel *label : form.dialog.findChildren<QLabel *>())
        labels << label->text();
    for (const char *text :
         {"Predefined Layouts", "Card Width", "Card Height", "Horizontal Pitch", "Vertical Pitch",
          "# across", "# down", "Left Margin", "Top Margin", "Paper size"})
        EXPECT_TRUE(labels.contains(QString::fromLatin1(text))) << text;

    // The layout in millimetres starts with that unit chosen.
    TCardLayout metric;
    metric.UseMM = true;
    LayoutForm metricForm(metric);
    EXPECT_TRUE(metricForm.Find<QRadioButton>("MMButton")->isChecked());
}

TEST(EditCardLayout, FirstShowSelectsStoredEntryWithoutApplyingIt)
{
    LayoutForm form(Custom());
    auto *layouts = form.Find<QComboBox>("PredefinedLayouts");

    // Before the first show a change of entry is ignored.
    layouts->setCurrentIndex(3);
    form.dialog.PredefinedLayoutsChange();
    EXPECT_EQ(form.Text("eCardwidth"), QString());

    // The values are no longer those of the entry the record names: "Custom".
    form.Show();
    EXPECT_EQ(layouts->currentText(), QStringLiteral("Custom"));
    EXPECT_EQ(form.Text("eCardwidth"), QStringLiteral("2.5"));
    EXPECT_EQ(form.Text("eCardHeight"), QStringLiteral("1.9"));
    EXPECT_EQ(form.Text("eHorizPitch"), QStringLiteral("2.625"));
    EXPECT_EQ(form.Text("eVertPitch"), QStringLiteral("2"));
    EXPECT_EQ(form.Text("etopmarg"), QStringLiteral("0.25"));
    EXPECT_EQ(form.Text("eleftmarg"), QStringLiteral("0.125"));
    EXPECT_EQ(form.Find<QSpinBox>("enbracross")->value(), 3);
    EXPECT_EQ(form.Find<QSpinBox>("enbrdown")->value(), 4);
    EXPECT_EQ(form.Find<QComboBox>("epapersize")->currentIndex(), 0);

    form.OkAccepted();
    TCardLayout custom = Custom();
    custom.PredefLayout = -1;
    EXPECT_EQ(form.dialog.Layout(), custom);

    // An unchanged predefined layout keeps its entry.
    LayoutForm l7417(TCardLayout::PredefinedLayout(12));
    l7417.Show();
    EXPECT_EQ(l7417.Find<QComboBox>("PredefinedLayouts")->currentIndex(), 12);
    l7417.OkAccepted();
    EXPECT_EQ(l7417.dialog.Layout().PredefLayout, 12);

    // A record stored in millimetre display opens in millimetres.
    TCardLayout metric = Custom();
    metric.UseMM = true;
    metric.PredefLayout = 42; // not an entry
    LayoutForm metricForm(metric);
    metricForm.Show();
    EXPECT_EQ(metricForm.Find<QComboBox>("PredefinedLayouts")->currentIndex(),
              TEditCardLayout::CustomEntry);
    EXPECT_EQ(metricForm.Text("eCardwidth"), QStringLiteral("63.50"));
    EXPECT_EQ(metricForm.Text("eleftmarg"), QStringLiteral("3.17"));
    metricForm.OkAccepted();
    TCardLayout back = metricForm.dialog.Layout();
    EXPECT_EQ(back.Width, 2.5f);
    EXPECT_EQ(back.LeftMargin, 0.125f); // 3.17 mm reads back as 0.125 inch
    EXPECT_TRUE(back.UseMM);
    EXPECT_EQ(back.PredefLayout, -1);
}

TEST(EditCardLayout, ChoosingAPredefinedLayout)
{
    LayoutForm form(Custom());
    form.Show();
    form.ChooseLayout(12);
    EXPECT_EQ(form.Text("eCardHeight"), QStringLiteral("2.126"));
    EXPECT_EQ(form.Text("eCardwidth"), QStringLiteral("3.543"));
    EXPECT_EQ(form.Text("etopmarg"), QStringLiteral("0.531"));
    EXPECT_EQ(form.Find<QSpinBox>("enbracross")->value(), 2);
    EXPECT_EQ(form.Find<QSpinBox>("enbrdown")->value(), 5);
    EXPECT_EQ(form.Find<QComboBox>("epapersize")->currentIndex(), 1);
    form.OkAccepted();
    EXPECT_EQ(form.dialog.Layout(), TCardLayout::PredefinedLayout(12));
}

TEST(EditCardLayout, MetricLayoutsShowTheirMillimetres)
{
    LayoutForm form;
    form.Show();
    form.Click("MMButton");
    EXPECT_EQ(form.Text("eCardwidth"), QStringLiteral("88.90"));
    EXPECT_EQ(form.Text("eleftmarg"), QStringLiteral("19.05"));
    // L7414: 52 x 90 mm cards, 18.5 mm from the top, 15 mm from the left,
    // held as 2.047, 3.543, 0.728 and 0.591 inches.
    form.ChooseLayout(10);
    EXPECT_EQ(form.Text("eCardHeight"), QStringLiteral("52.00"));
    EXPECT_EQ(form.Text("eCardwidth"), QStringLiteral("90.00"));
    EXPECT_EQ(form.Text("etopmarg"), QStringLiteral("18.50"));
    EXPECT_EQ(form.Text("eleftmarg"), QStringLiteral("15.00"));
    EXPECT_EQ(form.Text("eHorizPitch"), QStringLiteral("90.00"));
    EXPECT_EQ(form.Text("eVertPitch"), QStringLiteral("52.00"));
    EXPECT_TRUE(form.Find<QComboBox>("epapersize")->currentText().startsWith("A4"));
    form.ChooseLayout(9);
    EXPECT_EQ(form.Text("etopmarg"), QStringLiteral("21.50"));
    form.ChooseLayout(12);
    EXPECT_EQ(form.Text("eCardHeight"), QStringLiteral("54.00"));
    EXPECT_EQ(form.Text("etopmarg"), QStringLiteral("13.50"));
    form.ChooseLayout(10);

    // Ok rounds the millimetres back to thousandths of an inch.
    form.OkAccepted();
    TCardLayout expected = TCardLayout::PredefinedLayout(10);
    expected.UseMM = true;
    EXPECT_EQ(form.dialog.Layout(), expected);
}

TEST(EditCardLayout, MillimetresRoundToThousandthsOfAnInch)
{
    LayoutForm form;
    form.Show();
    form.Click("MMButton");
    form.SetText("eCardwidth", QStringLiteral("50"));
    form.SetText("eHorizPitch", QStringLiteral("50"));
    form.SetText("etopmarg", QStringLiteral("0.01")); // 0.0004 inch rounds to 0
    form.SetText("eleftmarg", QStringLiteral("-12.7"));
    form.OkAccepted();
    const TCardLayout l = form.dialog.Layout();
    EXPECT_EQ(l.Width, 1.969f);
    EXPECT_EQ(l.HPitch, 1.969f);
    EXPECT_EQ(l.TopMargin, 0.0f);
    EXPECT_EQ(l.LeftMargin, -0.5f);
    EXPECT_EQ(l.Height, 2.0f);
}

TEST(EditCardLayout, SmallestHeightInMillimetres)
{
    // 7 mm is 0.276 inch: refused. Rounded to thousandths, 7.61 mm is already
    // 0.300 inch, so it passes like 7.62 mm.
    struct Case
    {
        const char *mm;
        bool passes;
    };
    for (const Case c :
         {Case{"7", false}, Case{"7.60", false}, Case{"7.61", true}, Case{"7.62", true}}) {
        SCOPED_TRACE(c.mm);
        LayoutForm form;
        form.Show();
        form.Click("MMButton");
        form.SetText("eCardHeight", QString::fromLatin1(c.mm));
        if (c.passes) {
            form.OkAccepted();
            EXPECT_EQ(form.dialog.Layout().Height, 0.3f);
        } else {
            EXPECT_EQ(form.OkRefused(), kHeightMessage);
            // The millimetres entered stay in the field.
            EXPECT_EQ(form.Text("eCardHeight"), QString::fromLatin1(c.mm));
        }
    }
}

TEST(EditCardLayout, ValidationLimitsAndOrder)
{
    LayoutForm form;
    form.Show();

    form.SetText("eCardHeight", QStringLiteral("0.299"));
    form.SetText("eCardwidth", QStringLiteral("0.2")); // height is checked first
    EXPECT_EQ(form.OkRefused(), kHeightMessage);
    form.SetText("eCardHeight", QStringLiteral("0.3"));
    EXPECT_EQ(form.OkRefused(), kWidthMessage);
    form.SetText("eCardwidth", QStringLiteral("0.499"));
    EXPECT_EQ(form.OkRefused(), kWidthMessage);

    // Pitches smaller than the card are refused while there are two or more.
    form.SetText("eCardwidth", QStringLiteral("4"));
    form.SetText("eCardHeight", QStringLiteral("2.5"));
    EXPECT_EQ(form.OkRefused(), kHPitchMessage);
    form.Find<QSpinBox>("enbracross")->setValue(1);
    EXPECT_EQ(form.OkRefused(), kVPitchMessage);
    form.Find<QSpinBox>("enbrdown")->setValue(1);
    form.OkAccepted();
    TCardLayout l = form.dialog.Layout();
    EXPECT_EQ(l.Width, 4.0f);
    EXPECT_EQ(l.HPitch, 3.5f);
    EXPECT_EQ(l.Height, 2.5f);
    EXPECT_EQ(l.VPitch, 2.0f);
    EXPECT_EQ(l.Across, 1);
    EXPECT_EQ(l.Down, 1);

    // The smallest card: 0.3 high and exactly 0.5 wide.
    LayoutForm smallest;
    smallest.Show();
    smallest.SetText("eCardHeight", QStringLiteral("0.3"));
    smallest.SetText("eCardwidth", QStringLiteral("0.5"));
    smallest.OkAccepted();
    EXPECT_EQ(smallest.dialog.Layout().Height, 0.3f);
    EXPECT_EQ(smallest.dialog.Layout().Width, 0.5f);
}

TEST(EditCardLayout, PitchFollowsLargerCard)
{
    LayoutForm form;
    form.Show();
    // One card on the sheet, so that the larger cards still fit the paper.
    form.Find<QSpinBox>("enbracross")->setValue(1);
    form.Find<QSpinBox>("enbrdown")->setValue(1);

    form.Type("eCardwidth", QStringLiteral("4.25"));
    EXPECT_EQ(form.Text("eHorizPitch"), QStringLiteral("3.5")) << "not before leaving the field";
    QTest::keyClick(form.Field("eCardwidth"), Qt::Key_Tab);
    EXPECT_EQ(form.Text("eHorizPitch"), QStringLiteral("4.25"));

    form.Type("eCardHeight", QStringLiteral("2.2"));
    form.Field("eleftmarg")->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(form.Text("eVertPitch"), QStringLiteral("2.2"));

    // A smaller card leaves the pitch alone.
    form.Type("eCardwidth", QStringLiteral("2"));
    QTest::keyClick(form.Field("eCardwidth"), Qt::Key_Tab);
    EXPECT_EQ(form.Text("eHorizPitch"), QStringLiteral("4.25"));

    // Enter in the width field presses "Ok", which leaves the field first.
    form.Type("eCardwidth", QStringLiteral("5.5"));
    {
        UnexpectedBoxGuard guard;
        QTest::keyClick(form.Field("eCardwidth"), Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(guard.Text(), QString());
    }
    EXPECT_FALSE(form.dialog.isVisible());
    EXPECT_EQ(form.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(form.dialog.Layout().Width, 5.5f);
    EXPECT_EQ(form.dialog.Layout().HPitch, 5.5f);
    EXPECT_EQ(form.dialog.Layout().VPitch, 2.2f);

    // Same for the height in millimetres, with "Ok" clicked straight away.
    LayoutForm metric;
    metric.Show();
    metric.Find<QSpinBox>("enbrdown")->setValue(1);
    metric.Click("MMButton");
    metric.Type("eCardHeight", QStringLiteral("60"));
    metric.dialog.OKButtonClick();
    EXPECT_EQ(metric.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(metric.dialog.Layout().Height, 2.362f);
    EXPECT_EQ(metric.dialog.Layout().VPitch, 2.362f);
}

TEST(EditCardLayout, InchesToMillimetresAndBack)
{
    std::vector<TCardLayout> layouts;
    for (int i = 0; i < TCardLayout::PredefinedCount; ++i)
        layouts.push_back(TCardLayout::PredefinedLayout(i));
    TCardLayout odd = Custom();
    odd.Height = 0.001f;
    odd.Width = 12.345f;
    odd.TopMargin = 0.999f;
    odd.LeftMargin = -0.333f;
    odd.HPitch = 999.999f;
    odd.VPitch = 0.0f;
    layouts.push_back(odd);

    const char *fields[] = {"eCardwidth", "eCardHeight", "eHorizPitch",
                            "eVertPitch", "eleftmarg",   "etopmarg"};
    for (const TCardLayout &layout : layouts) {
        SCOPED_TRACE(layout.Width);
        LayoutForm form(layout);
        form.Show();
        QStringList before;
        for (const char *f : fields)
            before << form.Text(f);
        form.Click("MMButton");
        for (int i = 0; i < 6; ++i)
            EXPECT_NE(form.Text(fields[i]), before[i]);
        form.Click("Inchesbutton");
        QStringList after;
        for (const char *f : fields)
            after << form.Text(f);
        EXPECT_EQ(after, before);
    }

    // A second switch to the unit already shown changes nothing.
    LayoutForm form;
    form.Show();
    form.dialog.MMButtonClick();
    form.dialog.MMButtonClick();
    EXPECT_EQ(form.Text("eCardwidth"), QStringLiteral("88.90"));
    EXPECT_TRUE(form.Find<QRadioButton>("MMButton")->isChecked());
    form.dialog.InchesbuttonClick();
    form.dialog.InchesbuttonClick();
    EXPECT_EQ(form.Text("eCardwidth"), QStringLiteral("3.5"));
    EXPECT_TRUE(form.Find<QRadioButton>("Inchesbutton")->isChecked());

    // Choosing the unit before the dialog is shown only picks the unit.
    LayoutForm early(Custom());
    early.dialog.MMButtonClick();
    early.Show();
    EXPECT_EQ(early.Text("eCardwidth"), QStringLiteral("63.50"));
    early.OkAccepted();
    TCardLayout expected = Custom();
    expected.UseMM = true;
    expected.PredefLayout = -1;
    EXPECT_EQ(early.dialog.Layout(), expected);
}

TEST(EditCardLayout, CardsThatDoNotFitThePaperAreRefused)
{
    // A 300 mm card on Letter paper, in either unit.
    LayoutForm metric;
    metric.Show();
    metric.Click("MMButton");
    metric.Type("eCardwidth", QStringLiteral("300"));
    EXPECT_EQ(metric.OkRefused(),
              QStringLiteral("Card Width must be at most 215.9mm to fit on Letter paper"));
    EXPECT_EQ(metric.Text("eCardwidth"), QStringLiteral("300"));

    // Three 3.5 inch cards across run past Letter paper; two fit.
    LayoutForm form;
    form.Show();
    form.Find<QSpinBox>("enbracross")->setValue(3);
    EXPECT_EQ(form.OkRefused(),
              QStringLiteral("The cards across end 11.25 inches from the left edge of the Letter "
                             "paper, which is 8.5 inches wide: reduce # across, Horizontal Pitch "
                             "or Left Margin"));
    form.Find<QSpinBox>("enbracross")->setValue(2);
    // Six rows of 2 inches from 0.5 inch end past 11 inches; exactly 11 fits.
    form.Find<QSpinBox>("enbrdown")->setValue(6);
    EXPECT_EQ(form.OkRefused(),
              QStringLiteral("The cards down end 12.5 inches from the top edge of the Letter "
                             "paper, which is 11 inches high: reduce # down, Vertical Pitch or "
                             "Top Margin"));
    form.Find<QSpinBox>("enbrdown")->setValue(5);
    form.SetText("etopmarg", QStringLiteral("1.5"));
    EXPECT_TRUE(form.OkRefused().startsWith("The cards down end 11.5 inches"));
    form.SetText("etopmarg", QStringLiteral("0.5"));
    // A4 is narrower: 210 mm = 8.268 inches.
    form.Find<QComboBox>("epapersize")->setCurrentIndex(1);
    form.SetText("eleftmarg", QStringLiteral("1.3"));
    EXPECT_TRUE(form.OkRefused().contains("8.3 inches from the left edge of the A4 paper, which "
                                          "is 8.268 inches wide"));
    form.SetText("eleftmarg", QStringLiteral("0.5"));
    form.SetText("etopmarg", QStringLiteral("1.693")); // ends on A4's bottom edge
    form.OkAccepted();
    EXPECT_EQ(form.dialog.Layout().Papersize, 9);
}

TEST(EditCardLayout, AnEditedLayoutIsCustom)
{
    LayoutForm form;
    form.Show();
    auto *layouts = form.Find<QComboBox>("PredefinedLayouts");
    form.ChooseLayout(9);
    EXPECT_EQ(layouts->currentIndex(), 9);
    // Switching the unit is no edit.
    form.Click("MMButton");
    form.Click("Inchesbutton");
    EXPECT_EQ(layouts->currentIndex(), 9);
    form.Type("etopmarg", QStringLiteral("0.9"));
    EXPECT_EQ(layouts->currentText(), QStringLiteral("Custom"));
    // Choosing "Custom" keeps what is typed; a predefined layout replaces it.
    form.ChooseLayout(TEditCardLayout::CustomEntry);
    EXPECT_EQ(form.Text("etopmarg"), QStringLiteral("0.9"));
    form.ChooseLayout(9);
    EXPECT_EQ(form.Text("etopmarg"), QStringLiteral("0.846"));
    form.Find<QSpinBox>("enbrdown")->setValue(4);
    EXPECT_EQ(layouts->currentText(), QStringLiteral("Custom"));
    form.OkAccepted();
    EXPECT_EQ(form.dialog.Layout().PredefLayout, -1);
    EXPECT_EQ(form.dialog.Layout().Down, 4);

    // A value set without typing.
    LayoutForm quiet;
    quiet.Show();
    quiet.SetText("eCardHeight", QStringLiteral("1.75"));
    quiet.OkAccepted();
    EXPECT_EQ(quiet.dialog.Layout().PredefLayout, -1);
}

TEST(EditCardLayout, PaperSizeCodes)
{
    TCardLayout a4 = Custom();
    a4.Papersize = 9;
    LayoutForm keep(a4);
    keep.Show();
    auto *paper = keep.Find<QComboBox>("epapersize");
    EXPECT_EQ(paper->currentIndex(), 1);
    paper->setCurrentIndex(2);
    keep.OkAccepted();
    EXPECT_EQ(keep.dialog.Layout().Papersize, 9);

    LayoutForm letter(a4);
    letter.Show();
    letter.Find<QComboBox>("epapersize")->setCurrentIndex(0);
    letter.OkAccepted();
    EXPECT_EQ(letter.dialog.Layout().Papersize, 1);

    // A code the list does not name shows the empty entry and is kept.
    TCardLayout legal = Custom();
    legal.Papersize = 5;
    LayoutForm other(legal);
    other.Show();
    EXPECT_EQ(other.Find<QComboBox>("epapersize")->currentIndex(), 2);
    other.OkAccepted();
    EXPECT_EQ(other.dialog.Layout().Papersize, 5);
}

TEST(EditCardLayout, TextThatIsNotANumber)
{
    LayoutForm form(Custom());
    form.Show();

    // Letters cannot be typed; an emptied field refuses "Ok" and names itself.
    form.Type("eCardwidth", QStringLiteral("x"));
    EXPECT_EQ(form.Text("eCardwidth"), QStringLiteral("2.5"));
    form.Type("eCardwidth", QStringLiteral("4x.5"));
    EXPECT_EQ(form.Text("eCardwidth"), QStringLiteral("4.5"));
    form.SetText("eCardwidth", QString());
    EXPECT_EQ(form.OkRefused(), QStringLiteral("Card Width must be a number from 0 to 12"));
    EXPECT_EQ(form.dialog.focusWidget(), form.Field("eCardwidth"));
    form.SetText("eleftmarg", QStringLiteral("."));
    form.SetText("eCardwidth", QStringLiteral("3.1"));
    EXPECT_EQ(form.OkRefused(),
              QStringLiteral("Left Margin must be a number from -12 to 12"));
    form.SetText("eleftmarg", QStringLiteral("12.5"));
    EXPECT_EQ(form.OkRefused(),
              QStringLiteral("Left Margin must be a number from -12 to 12"));

    // Switching the unit keeps the last number the field held.
    form.SetText("eleftmarg", QString());
    form.Click("MMButton");
    EXPECT_EQ(form.Text("eleftmarg"), QStringLiteral("3.17"));
    EXPECT_EQ(form.Text("eCardwidth"), QStringLiteral("78.74"));
    form.SetText("eHorizPitch", QStringLiteral("-5")); // a pitch is never negative
    EXPECT_EQ(form.OkRefused(),
              QStringLiteral("Horizontal Pitch must be a number from 0.00 to 304.80"));
}

TEST(EditCardLayout, CancelChangesNothing)
{
    const TCardLayout original = Custom();
    LayoutForm form(original);
    form.Show();
    form.Click("MMButton");
    form.ChooseLayout(2);
    form.SetText("eCardHeight", QStringLiteral("1")); // refused first
    form.OkRefused();
    form.Click("Cancelbutton");
    EXPECT_FALSE(form.dialog.isVisible());
    EXPECT_EQ(form.dialog.result(), QDialog::Rejected);
    EXPECT_EQ(form.dialog.Layout(), original);

    // Run modally, as the main window does, and closed with Escape.
    LayoutForm modal(original);
    OnNextModal([&modal](QWidget *w) {
        EXPECT_EQ(w, &modal.dialog);
        modal.Type("eCardwidth", QStringLiteral("2.5"));
        QTest::keyClick(&modal.dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(modal.dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(modal.dialog.Layout(), original);
}

TEST(EditCardLayout, HelpOpensTheLayoutTopic)
{
    LayoutForm form;
    form.Show();
    form.Click("Helpbutton");
    THelpViewer *viewer = THelpViewer::Existing();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->CurrentContext(), 3101);
    viewer->hide();
}

// A stored layout is checked with the dialog's own rules: what the dialog
// refuses when it is opened with that layout and "Ok" is pressed, the check
// refuses with the same words, naming the field.
TEST(EditCardLayout, TheCheckOfStoredLayoutsIsTheDialogs)
{
    struct Case
    {
        const char *key;
        TCardLayout layout;
    };
    std::vector<Case> cases;
    auto add = [&cases](const char *key, auto change) {
        TCardLayout l;
        change(l);
        cases.push_back({key, l});
    };
    add("TopMargin", [](TCardLayout &l) { l.TopMargin = 99.0f; });
    add("TopMargin", [](TCardLayout &l) { l.TopMargin = -99.0f; });
    add("LeftMargin", [](TCardLayout &l) { l.LeftMargin = 12.5f; });
    add("Width", [](TCardLayout &l) { l.Width = l.HPitch = 100.0f; });
    add("Height", [](TCardLayout &l) { l.Height = 0.2f; });
    add("HPitch", [](TCardLayout &l) { l.HPitch = 0.0f; });
    add("VPitch", [](TCardLayout &l) { l.VPitch = 1.0f; });
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        const TLayoutProblem problem = c.layout.Check();
        EXPECT_EQ(problem.Key, QString::fromLatin1(c.key));
        LayoutForm form(c.layout);
        form.Show();
        EXPECT_EQ(form.OkRefused(), problem.Message);
    }

    // At the limits of the fields the check accepts. The dialog also wants
    // the cards on the paper; a layout stored before is not refused for that.
    TCardLayout edge;
    edge.Width = edge.HPitch = 12.0f;
    edge.TopMargin = -12.0f;
    edge.LeftMargin = 12.0f;
    edge.Across = 10;
    edge.Down = 30;
    EXPECT_TRUE(edge.Check().IsNone()) << edge.Check().Message.toStdString();
    LayoutForm form(edge);
    form.Show();
    EXPECT_EQ(form.OkRefused(),
              QStringLiteral("Card Width must be at most 8.5 inches to fit on Letter paper"));

    // Counts outside the spin fields' ranges, which the dialog cannot hold.
    TCardLayout across;
    across.Across = 11;
    EXPECT_EQ(across.Check().Key, QStringLiteral("Across"));
    TCardLayout down;
    down.Down = 0;
    EXPECT_EQ(down.Check().Message, QStringLiteral("# down must be a number from 1 to 30"));

    TPrinterNudges nudges;
    nudges.VerticalSpacing = 320;
    EXPECT_TRUE(nudges.Check().IsNone());
    nudges.LeftMarginNudge = -32000;
    EXPECT_EQ(nudges.Check().Key, QStringLiteral("LeftMarginNudge"));
}
