// Undo and redo in the main window, driven by the mouse and the keys; designs
// opened from the desktop and files dropped on the window.
#include "document/DesignHistory.h"

#include "ShellTestHelpers.h"
#include "common/TestSupport.h"
#include "document/KindRegistry.h"
#include "document/ObjectStream.h"
#include "document/ProgramFolder.h"
#include "effects/Gsshape.h"
#include "effects/gsstext.h"
#include "objects/Gbcshape.h"
#include "objects/Gimage.h"
#include "objects/Glines.h"
#include "objects/Gpbasel.h"
#include "objects/Gpmlabel.h"
#include "objects/Gprichl.h"
#include "shell/Main.h"
#include "shell/ShellUtil.h"
#include "surface/GHandle.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

namespace {

class DesignHistoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TMainScreen::PrinterCheck = [](bool) { return false; };
        QDir(ProgramFolder()).removeRecursively();
        QDir().mkpath(ProgramFolder());
        window = std::make_unique<TMainScreen>();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        Panel()->SetClock(&clock);
    }
    void TearDown() override
    {
        Panel()->SetClock(nullptr);
        window.reset();
    }

    TGBusinessCardPanel32 *Panel() const { return window->BusinessCardPanel(); }
    QUndoStack *Stack() const { return window->History()->Stack(); }
    QAction *Item(const char *name) const
    {
        return window->findChild<QAction *>(QString::fromLatin1(name));
    }

    // The program waits for the next input: what the last one changed is a step now.
    static void Idle()
    {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held)
    {
        QMouseEvent event(type, at, Panel()->mapToGlobal(at), Qt::LeftButton, held, {});
        QApplication::sendEvent(Panel(), &event);
    }
    // A drag with several moves, slow enough to be a drag, not a click.
    void Drag(QPoint from, QPoint to)
    {
        Mouse(QEvent::MouseMove, from, Qt::NoButton); // the pointer comes to rest first
        clock.Advance(500);
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        for (int i = 1; i <= 5; ++i) {
            clock.Advance(40);
            Mouse(QEvent::MouseMove, from + (to - from) * i / 5, Qt::LeftButton);
            QCoreApplication::processEvents();
            Idle(); // the program waits between moves: still no step
        }
        clock.Advance(200);
        Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
        Idle();
    }
    void PlaceRectangle(int x, int y)
    {
        window->findChild<QToolButton *>("DrawRectanglebutton")->click();
        Mouse(QEvent::MouseButtonPress, {x, y}, Qt::LeftButton);
        clock.Advance(50);
        Mouse(QEvent::MouseMove, {x + 60, y + 30}, Qt::LeftButton);
        clock.Advance(200);
        Mouse(QEvent::MouseButtonRelease, {x + 60, y + 30}, Qt::NoButton);
        Idle();
    }
    void SaveAs(const QString &path)
    {
        window->Model().SetFileName(path);
        window->Setbuttons();
        Item("mnuSave")->trigger();
        ASSERT_TRUE(QFile::exists(path));
    }
    void Key(int key, Qt::KeyboardModifiers mods = {})
    {
        QTest::keyClick(Panel(), Qt::Key(key), mods);
        Idle();
    }

    // The design as the design file would hold it, and as the card shows it.
    QByteArray Bytes() const { return WriteObjectList(Panel()->StoredObjects()); }
    QImage Painted() const
    {
        QImage image(Panel()->size(), QImage::Format_RGB32);
        QPainter painter(&image);
        Panel()->PaintCard(painter, false);
        return image;
    }
    struct TSnapshot
    {
        QByteArray bytes;
        QImage image;
        int objects;
    };
    TSnapshot Snap() const { return {Bytes(), Painted(), Panel()->ObjectCount()}; }
    void ExpectState(const TSnapshot &s, const char *where) const
    {
        EXPECT_EQ(Panel()->ObjectCount(), s.objects) << where;
        EXPECT_EQ(Bytes(), s.bytes) << where;
        EXPECT_TRUE(Painted() == s.image) << where << ": the card looks different";
    }

    TFakeClock clock;
    std::unique_ptr<TMainScreen> window;
};

TEST_F(DesignHistoryTest, UndoAndRedoWalkThroughEveryStateWithTheStepsNames)
{
    EXPECT_FALSE(Item("mnuUndo")->isEnabled());
    EXPECT_FALSE(Item("mnuRedo")->isEnabled());
    std::vector<TSnapshot> states{Snap()};
    PlaceRectangle(20, 20);
    states.push_back(Snap());
    PlaceRectangle(150, 60);
    states.push_back(Snap());
    ASSERT_EQ(Panel()->ObjectCount(), 2);
    TGGraphicControl *first = Panel()->ObjectAt(0);
    Panel()->Handles()->ClearSelection();
    Drag({40, 35}, {90, 75}); // selects the first and drags it
    EXPECT_NE(first->Left(), 20);
    states.push_back(Snap());
    // Its right edge by the handles' corner: a resize.
    Panel()->Handles()->ClearSelection();
    Panel()->Handles()->AddToSelection(Panel()->ObjectAt(1));
    const QRect frame = Panel()->ObjectAt(1)->BoundsRect().ToQRect();
    const QPoint corner(frame.right() + 3, frame.bottom() + 3);
    Drag(corner, corner + QPoint(20, 10));
    EXPECT_EQ(Panel()->ObjectAt(1)->Width(), frame.width() + 19); // one short of the pointer
    states.push_back(Snap());
    Key(Qt::Key_Delete);
    ASSERT_EQ(Panel()->ObjectCount(), 1);
    states.push_back(Snap());
    ASSERT_EQ(Stack()->count(), 5);

    const QStringList names{"Delete", "Resize", "Move", "Place", "Place"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Item("mnuUndo")->text(), "&Undo " + names.at(i));
        Key(Qt::Key_Z, Qt::ControlModifier);
        ExpectState(states.at(states.size() - 2 - i), qPrintable("undo " + names.at(i)));
    }
    EXPECT_FALSE(Item("mnuUndo")->isEnabled());
    EXPECT_EQ(Item("mnuRedo")->text(), "&Redo Place");
    // The deleted object comes back selected, as it was before the Delete.
    Key(Qt::Key_Y, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_Y, Qt::ControlModifier);
    Key(Qt::Key_Y, Qt::ControlModifier);
    ExpectState(states.at(4), "redo to the resize");
    EXPECT_EQ(Panel()->Handles()->Selection().size(), 1);
    EXPECT_EQ(Panel()->Handles()->Selection().value(0), Panel()->ObjectAt(1));
    Key(Qt::Key_Y, Qt::ControlModifier);
    ExpectState(states.at(5), "redo the delete");
    EXPECT_FALSE(Item("mnuRedo")->isEnabled());

    // A new change after an undo drops the steps that could be redone.
    Key(Qt::Key_Z, Qt::ControlModifier);
    PlaceRectangle(200, 100);
    EXPECT_FALSE(Stack()->canRedo());
    EXPECT_EQ(Stack()->count(), 5);
    EXPECT_EQ(Panel()->ObjectCount(), 3);
}

TEST_F(DesignHistoryTest, EveryKindIsUndoneAndRedoneAloneAndMixed)
{
    // One object of each kind the design file holds, each placed and then
    // edited as a step of its own.
    const QStringList kinds{"TGBusinessCardLabel", "TGPLabel",         "TBCShapes",
                            "TGLabelShapes",       "TGLineShape",      "TGImage",
                            "TGMultiLineLabel",    "TGSymbolLabel",    "TGPRichBaseLabel",
                            "TSuperShape",         "TGSuperText"};
    std::vector<TSnapshot> states{Snap()};
    QList<TGGraphicControl *> placed;
    for (qsizetype i = 0; i < kinds.size(); ++i) {
        TStoredObject *made = TObjectKindRegistry::Instance().Create(kinds.at(i), window.get());
        auto *object = qobject_cast<TGGraphicControl *>(made);
        ASSERT_NE(object, nullptr) << kinds.at(i).toStdString();
        object->MakeReady();
        const int left = 8 + int(i % 4) * 80, top = 8 + int(i / 4) * 60;
        Panel()->PlaceObject(object, TRect::FromBounds(left, top, 70, 40));
        Idle();
        placed.append(object);
        states.push_back(Snap());
    }
    const QPointer<TGGraphicControl> first = placed.first();
    for (TGGraphicControl *object : std::as_const(placed)) {
        if (auto *label = qobject_cast<TGBaseLabel *>(object)) {
            label->SetCaption(label->Caption() + "X");
            label->BoundsChanged(); // fits it at once, as its dialogs do
        }
        else if (auto *shape = qobject_cast<TGLabelShapes *>(object))
            shape->SetShape(TGLabelShapes::stEllipse);
        else if (auto *line = qobject_cast<TGLineShape *>(object))
            line->SetLineStyle(TGLineShape::stAngleSlopingUp);
        else if (auto *image = qobject_cast<TGImage *>(object))
            image->SetBorderStyle(bsSingle);
        else if (auto *lines = qobject_cast<TGMultiLineLabel *>(object))
            lines->SetItems({"One", "Two"});
        else if (auto *rich = qobject_cast<TGPRichBaseLabel *>(object))
            rich->SetRTFText("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Hi\\par}");
        else if (auto *super = qobject_cast<TSuperShape *>(object))
            super->SetShape(TSuperShape::gstDiamond);
        else if (auto *text = qobject_cast<TGSuperText *>(object))
            text->SetCaption("Edited");
        else
            ADD_FAILURE() << "no edit for " << object->metaObject()->className();
        Idle();
        const TSnapshot now = Snap();
        EXPECT_NE(now.bytes, states.back().bytes) << object->metaObject()->className();
        states.push_back(now);
    }
    ASSERT_EQ(Stack()->count(), 2 * kinds.size());

    QString failure;
    window->History()->OnRestoreFailed = [&failure](const QString &m) { failure = m; };
    for (size_t i = states.size() - 1; i > 0; --i) {
        Key(Qt::Key_Z, Qt::ControlModifier);
        ExpectState(states.at(i - 1), qPrintable(QString("undo to state %1").arg(i - 1)));
    }
    EXPECT_EQ(Panel()->ObjectCount(), 0);
    for (size_t i = 1; i < states.size(); ++i) {
        Key(Qt::Key_Y, Qt::ControlModifier);
        ExpectState(states.at(i), qPrintable(QString("redo to state %1").arg(i)));
    }
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    EXPECT_EQ(first, nullptr) << "restoring made the objects afresh";
    // The restored rich text label draws through the window's engine.
    for (TGGraphicControl *object : Panel()->Objects())
        if (auto *label = qobject_cast<TGPRichBaseLabel *>(object))
            EXPECT_NE(label->Master(), nullptr);
}

TEST_F(DesignHistoryTest, ADragIsOneStepAndNudgesWithinASecondAreOne)
{
    PlaceRectangle(20, 20);
    TGGraphicControl *object = Panel()->ObjectAt(0);
    const TRect placed = object->BoundsRect();
    const int steps = Stack()->count();
    Drag({30, 30}, {60, 50});
    EXPECT_EQ(Stack()->count(), steps + 1);
    const TRect dragged = object->BoundsRect();
    EXPECT_NE(dragged, placed);

    // Three nudges 300 ms apart: one step; one more 1.5 s later: another.
    Panel()->Handles()->ClearSelection();
    Panel()->Handles()->AddToSelection(object);
    Panel()->SetHandlesFocus(true);
    for (int i = 0; i < 3; ++i) {
        clock.Advance(300);
        Key(Qt::Key_Right);
    }
    EXPECT_EQ(object->Left(), dragged.Left + 3);
    EXPECT_EQ(Stack()->count(), steps + 2);
    EXPECT_EQ(Stack()->undoText(), "Move");
    clock.Advance(1500);
    Key(Qt::Key_Down);
    EXPECT_EQ(Stack()->count(), steps + 3);
    // Saved in the middle of a run: the nudges after the save are a step of their own.
    SaveAs(TMainScreen::SavedFolder() + "Nudged.TSC");
    const QByteArray saved = Bytes();
    Panel()->Handles()->AddToSelection(Panel()->ObjectAt(0)); // saving cleared it
    clock.Advance(200);
    Key(Qt::Key_Down);
    EXPECT_EQ(Stack()->count(), steps + 4);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Bytes(), saved);
    EXPECT_FALSE(window->ChangesMade());
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(window->ChangesMade());
    Key(Qt::Key_Z, Qt::ControlModifier);

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(object = Panel()->ObjectAt(0), Panel()->ObjectAt(0));
    EXPECT_EQ(Panel()->ObjectAt(0)->Top(), dragged.Top);
    EXPECT_EQ(Panel()->ObjectAt(0)->Left(), dragged.Left + 3);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Panel()->ObjectAt(0)->BoundsRect(), dragged);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Panel()->ObjectAt(0)->BoundsRect(), placed);
}

TEST_F(DesignHistoryTest, UndoingToTheSavedDesignClearsTheChangedMark)
{
    PlaceRectangle(20, 20);
    const QString path = TMainScreen::SavedFolder() + "Undo.TSC";
    SaveAs(path);
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_FALSE(window->ChangesMade());
    Drag({30, 30}, {70, 60});
    EXPECT_TRUE(window->ChangesMade());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(window->ChangesMade()) << "back at the saved design";
    EXPECT_EQ(Bytes(), ReadBytes(path));
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(window->ChangesMade()) << "redone past the save";
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier); // before the save: the empty card
    EXPECT_EQ(Panel()->ObjectCount(), 0);
    EXPECT_TRUE(window->ChangesMade());
}

TEST_F(DesignHistoryTest, NewOpenAndCancelStartWithNothingToUndo)
{
    PlaceRectangle(20, 20);
    const QString path = TMainScreen::SavedFolder() + "Start.TSC";
    SaveAs(path);
    PlaceRectangle(120, 40);
    ASSERT_TRUE(Stack()->canUndo());

    AnswerNextMessageBox(QMessageBox::Yes); // "Cancel all changes?"
    window->CancelbuttonClick();
    EXPECT_EQ(Panel()->ObjectCount(), 1);
    EXPECT_FALSE(Stack()->canUndo());
    EXPECT_FALSE(Item("mnuUndo")->isEnabled());

    PlaceRectangle(120, 40);
    ASSERT_TRUE(Stack()->canUndo());
    AnswerNextMessageBox(QMessageBox::No); // "Save changes?"
    Item("mnuNew")->trigger();
    EXPECT_EQ(Panel()->ObjectCount(), 0);
    EXPECT_EQ(Stack()->count(), 0);

    PlaceRectangle(120, 40);
    window->OpenBCFile(path);
    EXPECT_EQ(Panel()->ObjectCount(), 1);
    EXPECT_EQ(Stack()->count(), 0);
    EXPECT_FALSE(window->ChangesMade());
}

TEST_F(DesignHistoryTest, KeepsTheLatestHundredSteps)
{
    PlaceRectangle(20, 20);
    Panel()->Handles()->ClearSelection();
    for (int i = 0; i < 120; ++i) {
        Panel()->ObjectAt(0)->SetLeft(20 + (i % 2 ? 0 : 5) + i % 7);
        Idle();
    }
    EXPECT_EQ(Stack()->count(), TDesignHistory::StepLimit);
    int undone = 0;
    while (Stack()->canUndo()) {
        Key(Qt::Key_Z, Qt::ControlModifier);
        ++undone;
    }
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(Panel()->ObjectCount(), 1) << "the placing step was the oldest and went";
}

TEST_F(DesignHistoryTest, AStateTheReaderRefusesLeavesTheDesignAsItWas)
{
    PlaceRectangle(20, 20);
    PlaceRectangle(100, 50);
    const TSnapshot before = Snap();
    TDesignState broken = window->History()->Capture();
    ASSERT_EQ(broken.Records.size(), 2);
    broken.Records[1].chop(5); // the second record ends early
    broken.BackgroundArt = "/nowhere/art.bmp";
    QString reported;
    window->History()->OnRestoreFailed = [&reported](const QString &m) { reported = m; };
    EXPECT_FALSE(window->History()->Restore(broken));
    ExpectState(before, "after the refused state");
    EXPECT_TRUE(window->BackgroundArtFile().isEmpty());
    EXPECT_TRUE(reported.contains("could not be restored")) << reported.toStdString();
    // Undo still works afterwards.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Panel()->ObjectCount(), 1);
}

TEST_F(DesignHistoryTest, MenuCommandsAreStepsNamedAfterTheirItems)
{
    PlaceRectangle(20, 20);
    PlaceRectangle(100, 60);
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Panel()->Handles()->SelectedCount(), 2);
    Key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Panel()->ObjectCount(), 4);
    EXPECT_EQ(Stack()->undoText(), "Clone");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Panel()->ObjectCount(), 2);
    EXPECT_EQ(Panel()->Handles()->SelectedCount(), 2) << "the selection as it was";
    // Locking every object changes a property of each: one step.
    const int steps = Stack()->index();
    for (TGGraphicControl *o : Panel()->Objects())
        o->SetLocked(true);
    Idle();
    EXPECT_EQ(Stack()->index(), steps + 1);
    EXPECT_FALSE(Stack()->canRedo());
    EXPECT_EQ(Stack()->undoText(), "Change");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Panel()->ObjectAt(0)->Locked());
    EXPECT_FALSE(Panel()->ObjectAt(1)->Locked());
}

// ---- the desktop ------------------------------------------------------------

TEST_F(DesignHistoryTest, DesignsFromTheDesktopOpenAndBadPathsKeepTheDesign)
{
    PlaceRectangle(20, 20);
    const QString good = TMainScreen::SavedFolder() + "Handed.TSC";
    SaveAs(good);
    PlaceRectangle(100, 40); // unsaved
    const QByteArray unsaved = Bytes();

    QTemporaryDir dir;
    const QString garbage = dir.filePath("Garbage.TSC");
    WriteBytes(garbage, "not a design at all");
    const QString missing = dir.filePath("Missing.TSC");
    for (const QString &bad : {garbage, missing, dir.path()}) {
        TDialogAnswer answer;
        AnswerNextMessageBox(QMessageBox::Ok, &answer);
        window->OpenFromDesktop(bad);
        EXPECT_TRUE(answer.seen) << bad.toStdString();
        EXPECT_EQ(answer.text,
                  "Unable to open " + bad + ". Possibly corrupted, posibly not a TSC file");
        EXPECT_EQ(Bytes(), unsaved);
        EXPECT_EQ(window->FileName(), good);
        EXPECT_TRUE(window->ChangesMade());
    }

    // A readable one asks about the unsaved changes first; No opens it.
    TDialogAnswer question;
    AnswerNextMessageBox(QMessageBox::No, &question);
    window->OpenFromDesktop(good);
    EXPECT_EQ(question.text, "Save changes?");
    EXPECT_EQ(Panel()->ObjectCount(), 1);
    EXPECT_FALSE(window->ChangesMade());
    EXPECT_EQ(Stack()->count(), 0);
}

TEST_F(DesignHistoryTest, DroppedPicturesArePlacedAndDroppedDesignsOpen)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("logo.png");
    QImage logo(30, 20, QImage::Format_RGB32);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(png));
    const QString text = dir.filePath("notes.png");
    WriteBytes(text, "plain text, no picture");

    auto drop = [this](const QStringList &files, QPoint onPanel) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &f : files)
            urls << QUrl::fromLocalFile(f);
        data.setUrls(urls);
        const QPointF at = Panel()->mapTo(window.get(), onPanel);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &dropped);
        Idle();
    };

    drop({png}, {40, 30});
    ASSERT_EQ(Panel()->ObjectCount(), 1);
    auto *image = qobject_cast<TGImage *>(Panel()->ObjectAt(0));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->BoundsRect(), TRect(40, 30, 70, 50));
    EXPECT_EQ(image->PictureSize(), QSize(30, 20));
    EXPECT_EQ(image->Picture()->Image().pixelColor(3, 3), QColor(Qt::red));
    EXPECT_EQ(Stack()->undoText(), "Place Picture");
    EXPECT_TRUE(window->ChangesMade());

    TDialogAnswer refused;
    AnswerNextMessageBox(QMessageBox::Ok, &refused);
    drop({text}, {100, 30});
    EXPECT_TRUE(refused.seen);
    EXPECT_TRUE(refused.text.contains("notes.png"));
    EXPECT_EQ(Panel()->ObjectCount(), 1);
    EXPECT_EQ(Stack()->count(), 1) << Stack()->undoText().toStdString();
    // The window system gives the window back its activation after the message.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Panel()->ObjectCount(), 0);
    Key(Qt::Key_Y, Qt::ControlModifier);
    ASSERT_EQ(Panel()->ObjectCount(), 1);
    const QString path = TMainScreen::SavedFolder() + "Dropped.TSC";
    SaveAs(path);
    window->New1Click();
    ASSERT_EQ(Panel()->ObjectCount(), 0);

    // A design dropped while there are changes: the save question first.
    PlaceRectangle(100, 40);
    TDialogAnswer question;
    AnswerNextMessageBox(QMessageBox::No, &question);
    drop({png, path}, {10, 10});
    EXPECT_EQ(question.text, "Save changes?");
    EXPECT_EQ(window->FileName(), path);
    ASSERT_EQ(Panel()->ObjectCount(), 1);
    EXPECT_NE(qobject_cast<TGImage *>(Panel()->ObjectAt(0)), nullptr);
}

TEST_F(DesignHistoryTest, StandardShortcutsLeaveTheCardsKeysAlone)
{
    EXPECT_EQ(Item("mnuNew")->shortcut(), QKeySequence(QKeySequence::New));
    EXPECT_EQ(Item("mnuOpen")->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(Item("mnuSaveAs")->shortcut(), QKeySequence("Ctrl+Shift+S"));
    EXPECT_EQ(Item("mnuSave")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(Item("mnuPrint")->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(Item("mnuExit")->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_EQ(Item("mnuRedo")->shortcuts().size(), 2);
    // Ctrl+X, Ctrl+C, Ctrl+V and Delete stay with the card's own keys: no
    // menu item takes them away from it.
    for (const char *name : {"mnuCut", "mnuCopy", "mnuPaste", "mnuDeleteSelection"})
        EXPECT_TRUE(Item(name)->shortcut().isEmpty()) << name;

    // Paste is offered once there is something to paste.
    QMenu *edit = Item("mnuPaste")->parent() ? qobject_cast<QMenu *>(Item("mnuPaste")->parent())
                                              : nullptr;
    ASSERT_NE(edit, nullptr);
    QFile::remove(Panel()->ClipboardFile());
    Q_EMIT edit->aboutToShow();
    EXPECT_FALSE(Item("mnuPaste")->isEnabled());

    PlaceRectangle(20, 20);
    PlaceRectangle(100, 60);
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Panel()->Handles()->SelectedCount(), 2);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(Panel()->ClipboardFile()));
    Q_EMIT edit->aboutToShow();
    EXPECT_TRUE(Item("mnuPaste")->isEnabled());
    clock.Advance(5000);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Panel()->ObjectCount(), 4);
    EXPECT_EQ(Stack()->undoText(), "Paste");
    Key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Panel()->ObjectCount(), 6);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Panel()->ObjectCount(), 2);
}

} // namespace

namespace {

// Commands beside the card (the background art) mark the design changed
// through the window; that makes them steps too.
TEST_F(DesignHistoryTest, BackgroundArtChangesAreSteps)
{
    QTemporaryDir dir;
    const QString art = dir.filePath("art.bmp");
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(art, "BMP"));
    const QImage plain = Painted();

    window->Model().SetBackgroundArtFile(art);
    window->SetChangesMade(true);
    Idle();
    const QImage withArt = Painted();
    ASSERT_FALSE(withArt == plain);
    EXPECT_EQ(Stack()->undoText(), "Background Art");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(window->BackgroundArtFile().isEmpty());
    EXPECT_TRUE(Painted() == plain);
    EXPECT_FALSE(window->ChangesMade());
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(window->BackgroundArtFile(), art);
    EXPECT_TRUE(Painted() == withArt);
}

} // namespace

namespace {

TEST_F(DesignHistoryTest, PastTheMemoryBudgetTheOldestStepsGoAndTheSavedPointStays)
{
    PlaceRectangle(20, 20);
    PlaceRectangle(120, 60);
    SaveAs(TMainScreen::SavedFolder() + "Budget.TSC");
    const QByteArray saved = Bytes();
    ASSERT_EQ(Stack()->count(), 2);
    const qsizetype twoSteps = window->History()->RetainedBytes();
    EXPECT_GT(twoSteps, saved.size() / 2);
    EXPECT_LT(twoSteps, saved.size() * 2) << "unchanged records are shared, not copied";

    // Room for little more than the design itself: only the latest step stays.
    window->History()->SetMemoryBudget(saved.size() + 8);
    Panel()->Handles()->ClearSelection();
    Drag({30, 30}, {70, 60});
    const QByteArray moved = Bytes();
    EXPECT_EQ(Stack()->count(), 1);
    EXPECT_EQ(Stack()->undoText(), "Move");
    // The design and the one record the move changed.
    EXPECT_LT(window->History()->RetainedBytes(), saved.size() * 3 / 2);
    EXPECT_TRUE(window->ChangesMade());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Bytes(), saved);
    EXPECT_FALSE(window->ChangesMade()) << "the saved point survived the trimming";
    EXPECT_FALSE(Item("mnuUndo")->isEnabled());
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Bytes(), moved);
    EXPECT_TRUE(window->ChangesMade());
}

} // namespace

namespace {

// Changes reported while the mouse is still down (a kind that follows the
// pointer as it goes) wait for the release: the whole gesture is one step.
TEST_F(DesignHistoryTest, ChangesDuringAGestureWaitForTheRelease)
{
    PlaceRectangle(20, 20);
    TGGraphicControl *object = Panel()->ObjectAt(0);
    const int steps = Stack()->count();
    Mouse(QEvent::MouseMove, {200, 150}, Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, {200, 150}, Qt::LeftButton); // a rubber band starts
    for (int i = 1; i <= 3; ++i) {
        clock.Advance(50);
        Mouse(QEvent::MouseMove, {200 + 10 * i, 150 + 5 * i}, Qt::LeftButton);
        object->SetLeft(20 + 10 * i);
        Idle();
        EXPECT_EQ(Stack()->count(), steps) << "move " << i;
    }
    clock.Advance(50);
    Mouse(QEvent::MouseButtonRelease, {230, 165}, Qt::NoButton);
    Idle();
    EXPECT_EQ(Stack()->count(), steps + 1);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Panel()->ObjectAt(0)->Left(), 20);
}

} // namespace
