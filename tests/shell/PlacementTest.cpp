#include "ShellTestHelpers.h"
#include "shell/IniFile.h"
#include "shell/ShellUtil.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

// Windows with class names of their own, as the program's windows have.
class TPlacementProbeForm : public QWidget
{
    Q_OBJECT
};

class TPlacementProbeDialog : public QWidget
{
    Q_OBJECT
};

namespace {

const QString kProbeSection = QStringLiteral("TPlacementProbeForm_Placement");
const QString kDialogSection = QStringLiteral("TPlacementProbeDialog_Placement");

QRect Screen()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

struct TStored
{
    int left, top, right, bottom;
    bool maximized;
    bool present;
};

TStored ReadStored(const QString &section)
{
    TIniFile ini(PreferencesPath());
    return {ini.ReadInteger(section, "Left", -1),      ini.ReadInteger(section, "Top", -1),
            ini.ReadInteger(section, "Right", -1),     ini.ReadInteger(section, "Bottom", -1),
            ini.ReadBool(section, "Maximized", false), ini.SectionExists(section)};
}

class PlacementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch()), 96);
        TIniFile ini(PreferencesPath());
        ini.BeginUpdate();
        ini.EraseSection(kProbeSection);
        ini.EraseSection(kDialogSection);
        ASSERT_TRUE(ini.EndUpdate());
    }
    void Store(const QString &section, const QByteArray &lines)
    {
        TIniFile ini(PreferencesPath());
        ini.BeginUpdate();
        for (const QByteArray &line : lines.split('\n')) {
            const qsizetype eq = line.indexOf('=');
            if (eq > 0)
                ini.WriteString(section, QString::fromUtf8(line.left(eq)),
                                QString::fromUtf8(line.mid(eq + 1)));
        }
        ASSERT_TRUE(ini.EndUpdate());
    }
};

TEST(PlacementSectionTest, NamesCarryTheDpiOnlyAbove96)
{
    EXPECT_EQ(PlacementSectionFor("TMainScreen", 96), "TMainScreen_Placement");
    EXPECT_EQ(PlacementSectionFor("TMainScreen", 72), "TMainScreen_Placement");
    EXPECT_EQ(PlacementSectionFor("TMainScreen", 120), "TMainScreen_Placement120");
    EXPECT_EQ(PlacementSectionFor("TPreviewForm", 144), "TPreviewForm_Placement144");
    EXPECT_EQ(PlacementSectionFor("TPreviewForm", 97), "TPreviewForm_Placement97");

    // The offscreen screen has 96 dpi: the class name alone.
    TPlacementProbeForm form;
    EXPECT_EQ(PlacementSection(&form), kProbeSection);
}

TEST(PlacementRectTest, SavedRectangleIsPulledBackOntoTheScreenKeepingItsSize)
{
    const QRect screen(0, 0, 1024, 768);
    const QSize any(300, 200);

    // Fits: unchanged. Right and Bottom are one past the window.
    EXPECT_EQ(PlacementRect({100, 50, 500, 350}, any, screen), QRect(100, 50, 400, 300));
    // Exactly touching the right and bottom edges is still inside.
    EXPECT_EQ(PlacementRect({624, 468, 1024, 768}, any, screen), QRect(624, 468, 400, 300));

    // Saved on a wider screen: right edge meets the screen's right edge.
    EXPECT_EQ(PlacementRect({900, 50, 1300, 350}, any, screen), QRect(624, 50, 400, 300));
    // Sticking out at the bottom: moved up by the excess.
    EXPECT_EQ(PlacementRect({100, 600, 500, 900}, any, screen), QRect(100, 468, 400, 300));
    // Both at once.
    EXPECT_EQ(PlacementRect({1500, 1000, 1900, 1300}, any, screen), QRect(624, 468, 400, 300));
    // Wider than the whole screen: the right edge still meets the screen's
    // edge and the width is kept.
    EXPECT_EQ(PlacementRect({0, 0, 1200, 300}, any, screen), QRect(-176, 0, 1200, 300));

    // A second screen to the right of the first: its own edges count.
    const QRect second(1920, 0, 1280, 1024);
    EXPECT_EQ(PlacementRect({3000, 100, 3400, 400}, any, second), QRect(2800, 100, 400, 300));
}

TEST(PlacementRectTest, RectanglesThatWouldBeOutOfReachAreBroughtBack)
{
    const QRect screen(0, 0, 1024, 768);
    const QSize any(300, 200);
    // Saved on a screen left of this one that is gone.
    EXPECT_EQ(PlacementRect({-3000, 100, -2600, 400}, any, screen), QRect(0, 100, 400, 300));
    // Title bar above the screen.
    EXPECT_EQ(PlacementRect({100, -500, 500, -200}, any, screen), QRect(100, 0, 400, 300));
    // Taller than the screen: the top is kept on the screen, the size kept.
    EXPECT_EQ(PlacementRect({100, 0, 500, 1000}, any, screen), QRect(100, 0, 400, 1000));
}

TEST(PlacementRectTest, WithoutAUsableRectangleTheWindowIsCentred)
{
    const QRect screen(0, 0, 1024, 768);
    const QSize size(301, 201);

    // Nothing saved (Bottom 0): centred on the screen, keeping its size.
    EXPECT_EQ(PlacementRect({}, size, screen), QRect(361, 283, 301, 201));
    EXPECT_EQ(PlacementRect({50, 60, 400, 0}, size, screen), QRect(361, 283, 301, 201));
    // Absurd rectangles from a damaged file.
    EXPECT_EQ(PlacementRect({500, 100, 400, 300}, size, screen), QRect(361, 283, 301, 201));
    EXPECT_EQ(PlacementRect({100, 300, 400, 300}, size, screen), QRect(361, 283, 301, 201));
    EXPECT_EQ(PlacementRect({-2147483647 - 1, 0, 2147483647, 300}, size, screen),
              QRect(361, 283, 301, 201));
    EXPECT_EQ(PlacementRect({0, 0, 1000000, 300}, size, screen), QRect(361, 283, 301, 201));

    // Over the main window, dividing with truncation toward zero.
    const QRect main(10, 20, 600, 400);
    EXPECT_EQ(PlacementRect({}, size, screen, main), QRect(10 + 149, 20 + 99, 301, 201));
    // A dialog larger than the main window: (100 - 301) / 2 is -100, not -101.
    const QRect small(200, 300, 100, 50);
    EXPECT_EQ(PlacementRect({}, size, screen, small), QRect(100, 300 - 75, 301, 201));
}

TEST_F(PlacementTest, FirstRunCentresTheWindowAndWritesItsSectionAtOnce)
{
    TPlacementProbeForm form;
    form.resize(400, 300);
    RestorePlacement(&form, nullptr);

    const QRect screen = Screen();
    const QRect expected(screen.x() + (screen.width() - 400) / 2,
                         screen.y() + (screen.height() - 300) / 2, 400, 300);
    EXPECT_EQ(form.geometry(), expected);
    EXPECT_FALSE(form.isMaximized());

    const TStored stored = ReadStored(kProbeSection);
    ASSERT_TRUE(stored.present);
    EXPECT_EQ(stored.left, expected.left());
    EXPECT_EQ(stored.top, expected.top());
    EXPECT_EQ(stored.right, expected.left() + 400);
    EXPECT_EQ(stored.bottom, expected.top() + 300);
    EXPECT_FALSE(stored.maximized);

    // The file's own spelling of the keys.
    const QByteArray bytes = ReadBytes(PreferencesPath());
    EXPECT_TRUE(bytes.contains("[TPlacementProbeForm_Placement]\nLeft="));
    EXPECT_TRUE(bytes.contains("\nMaximized=0\n"));
}

TEST_F(PlacementTest, SavedPlacementIsRestoredShiftedAndSavedBack)
{
    const QRect screen = Screen();
    // Saved further right and lower than this screen reaches.
    const int left = screen.right() - 100;
    const int top = screen.bottom() - 50;
    Store(kProbeSection, QStringLiteral("Left=%1\nTop=%2\nRight=%3\nBottom=%4\nMaximized=0")
                             .arg(left)
                             .arg(top)
                             .arg(left + 320)
                             .arg(top + 240)
                             .toUtf8());
    TPlacementProbeForm form;
    form.resize(100, 100);
    RestorePlacement(&form, nullptr);
    const QRect expected(screen.x() + screen.width() - 320, screen.y() + screen.height() - 240, 320,
                         240);
    EXPECT_EQ(form.geometry(), expected);

    // The corrected rectangle is what the file holds now.
    TStored stored = ReadStored(kProbeSection);
    EXPECT_EQ(stored.left, expected.left());
    EXPECT_EQ(stored.right, expected.left() + 320);
    EXPECT_EQ(stored.bottom, expected.top() + 240);

    // Moving and saving writes the new edges.
    form.setGeometry(40, 30, 250, 150);
    SavePlacement(&form);
    stored = ReadStored(kProbeSection);
    EXPECT_EQ(stored.left, 40);
    EXPECT_EQ(stored.top, 30);
    EXPECT_EQ(stored.right, 290);
    EXPECT_EQ(stored.bottom, 180);
    EXPECT_FALSE(stored.maximized);
}

TEST_F(PlacementTest, DamagedValuesStillGiveAUsableWindow)
{
    Store(kProbeSection, "Left=abc\nTop=10\nRight=99999999999\nBottom=400\nMaximized=maybe");
    TPlacementProbeForm form;
    form.resize(300, 200);
    RestorePlacement(&form, nullptr);
    const QRect screen = Screen();
    EXPECT_EQ(form.geometry(), QRect(screen.x() + (screen.width() - 300) / 2,
                                     screen.y() + (screen.height() - 200) / 2, 300, 200));
    EXPECT_FALSE(form.isMaximized());
}

TEST_F(PlacementTest, MaximizedStateIsRestoredWithTheNormalRectangle)
{
    Store(kProbeSection, "Left=20\nTop=30\nRight=420\nBottom=330\nMaximized=1");
    TPlacementProbeForm form;
    RestorePlacement(&form, nullptr);
    EXPECT_TRUE(form.isMaximized());
    const TStored stored = ReadStored(kProbeSection);
    EXPECT_TRUE(stored.maximized);
    EXPECT_EQ(stored.left, 20);
    EXPECT_EQ(stored.top, 30);
    EXPECT_EQ(stored.right, 420);
    EXPECT_EQ(stored.bottom, 330);
}

TEST_F(PlacementTest, OtherWindowsAreCentredOverTheMainWindowUnlessItIsMaximized)
{
    TPlacementProbeForm main;
    main.setGeometry(50, 40, 501, 401);
    main.show();
    ASSERT_TRUE(WaitFor([&] { return main.isVisible(); }));

    TPlacementProbeDialog dialog;
    dialog.resize(200, 100);
    RestorePlacement(&dialog, &main);
    const QRect over = main.geometry();
    EXPECT_EQ(dialog.geometry().topLeft(),
              QPoint(over.x() + (over.width() - 200) / 2, over.y() + (over.height() - 100) / 2));
    EXPECT_EQ(dialog.size(), QSize(200, 100));

    // With the main window maximised the dialog goes to the middle of the screen.
    TIniFile(PreferencesPath()).EraseSection(kDialogSection);
    main.showMaximized();
    ASSERT_TRUE(WaitFor([&] { return main.isMaximized(); }));
    RestorePlacement(&dialog, &main);
    const QRect screen = Screen();
    EXPECT_EQ(dialog.geometry().topLeft(), QPoint(screen.x() + (screen.width() - 200) / 2,
                                                  screen.y() + (screen.height() - 100) / 2));
}

} // namespace

#include "PlacementTest.moc"
