// The card model: opening and saving with the background sidecar and the
// 100 % rule, on a surface and without one; undo without a window.
#include "document/CardModel.h"

#include "document/DesignHistory.h"
#include "document/Filer.h"
#include "document/KindRegistry.h"
#include "document/ObjectStream.h"
#include "document/StreamIO.h"
#include "graphics/Picture.h"
#include "objects/gbclabel32.h"
#include "richtext/RichTextEngine.h"
#include "shell/CardKinds.h"
#include "surface/Gbcpanel32.h"

#include "common/HostileFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QUndoStack>
#include <gtest/gtest.h>
#include <memory>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Counts the events of one type a widget receives while it lives.
class TEventCounter : public QObject
{
public:
    TEventCounter(QObject *watched, QEvent::Type type)
        : m_watched(watched)
        , m_type(type)
    {
        watched->installEventFilter(this);
    }
    ~TEventCounter() override { m_watched->removeEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_watched && event->type() == m_type)
            ++count;
        return false;
    }
    int count = 0;

private:
    QObject *m_watched;
    QEvent::Type m_type;
};

class CardModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        RegisterCardObjectKinds();
        panel = std::make_unique<TGBusinessCardPanel32>();
        panel->SetOwner(panel.get());
        panel->setFixedSize(336, 192);
        art = dir.filePath("art.bmp");
        QImage image(8, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        QFile file(art);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(EncodeBmp24(image));
    }

    // A label placed on the surface at 100 %.
    TGBusinessCardLabel *AddLabel(const QString &caption, int left, int top)
    {
        auto *label = new TGBusinessCardLabel(panel.get());
        panel->PlaceObject(label, TRect::FromBounds(left, top, 120, 30));
        label->SetCaption(caption);
        return label;
    }

    QTemporaryDir dir;
    std::unique_ptr<TGBusinessCardPanel32> panel;
    QString art;
};

TEST_F(CardModelTest, SavesAtFullSizeWithItsArtAndOpensTheSameWithoutASurface)
{
    TCardModel shown;
    panel->SetModel(&shown);
    AddLabel(QStringLiteral("One"), 10, 20);
    AddLabel(QStringLiteral("Two"), 40, 100);
    shown.SetBackgroundArtFile(art);
    EXPECT_FALSE(panel->ColorPicture().IsEmpty());
    panel->show(); // the labels lay themselves out on screen, at 100 %
    QCoreApplication::processEvents();
    panel->SetZoom(1.5f);
    const QString path = dir.filePath("Card.v2.TSC");
    // The card on screen stays at its zoom all through the save: it is not
    // zoomed to 100 % and back (a flash of the whole card, and its cost).
    TEventCounter resizes(panel.get(), QEvent::Resize);
    shown.Save(path);
    EXPECT_EQ(resizes.count, 0);
    EXPECT_FLOAT_EQ(panel->ZoomScale(), 1.5f);
    panel->SetZoom(1.0f);
    const QString atFullSize = dir.filePath("AtFullSize.TSC");
    shown.Save(atFullSize);
    EXPECT_EQ(ReadAll(atFullSize), ReadAll(path));
    EXPECT_EQ(ReadSidecar(path), art);
    EXPECT_TRUE(QFile::exists(dir.filePath("Card.TSE")));

    TCardModel plain;
    plain.Open(path);
    const QList<TGGraphicControl *> objects = CardObjects(plain.Objects());
    ASSERT_EQ(objects.size(), 2);
    // The file holds the bounds at 100 %, not at the zoom it was saved at.
    EXPECT_EQ(objects[0]->Left(), 10);
    EXPECT_EQ(objects[1]->Top(), 100);
    EXPECT_EQ(objects[0]->Parent(), nullptr);
    EXPECT_EQ(plain.BackgroundArtFile(), art);

    // Opening renames the objects (Component0, ...); from then on nothing
    // drifts: the same bytes and the same sidecar each time.
    const QString again = dir.filePath("Again.TSC");
    plain.Save(again);
    EXPECT_EQ(ReadSidecar(again), art);
    TCardModel third;
    third.Open(again);
    third.Save(dir.filePath("Third.TSC"));
    EXPECT_EQ(ReadAll(dir.filePath("Third.TSC")), ReadAll(again));

    plain.Clear();
    EXPECT_TRUE(plain.Objects().isEmpty());
    EXPECT_TRUE(plain.BackgroundArtFile().isEmpty());
    // A design without art removes a stale sidecar when saved.
    plain.Save(again);
    EXPECT_FALSE(QFile::exists(dir.filePath("Again.TSE")));
}

TEST_F(CardModelTest, OpeningPutsObjectsOnTheSurfaceAtItsZoomAndShowsTheArt)
{
    {
        TCardModel source;
        panel->SetModel(&source);
        AddLabel(QStringLiteral("Zoomed"), 20, 40);
        source.SetBackgroundArtFile(art);
        source.Save(dir.filePath("a.TSC"));
        source.Clear();
        EXPECT_TRUE(panel->ColorPicture().IsEmpty());
        EXPECT_EQ(panel->ObjectCount(), 0);
    }
    panel->SetZoom(1.5f);
    TCardModel design;
    panel->SetModel(&design);
    design.Open(dir.filePath("a.TSC"));
    ASSERT_EQ(panel->ObjectCount(), 1);
    EXPECT_EQ(design.Objects(), StoredList(panel->Objects()));
    EXPECT_EQ(panel->ObjectAt(0)->Left(), 30); // 20 at 150 %
    EXPECT_FLOAT_EQ(panel->ZoomScale(), 1.5f);
    EXPECT_FALSE(panel->ColorPicture().IsEmpty());

    // Art that has gone missing keeps its name but shows nothing.
    QFile::remove(art);
    TCardModel other;
    panel->SetModel(&other);
    other.Clear();
    other.Open(dir.filePath("a.TSC"));
    EXPECT_EQ(other.BackgroundArtFile(), art);
    EXPECT_TRUE(panel->ColorPicture().IsEmpty());
}

TEST_F(CardModelTest, MissingAndDamagedFiles)
{
    TCardModel plain;
    plain.Open(dir.filePath("missing.TSC"));
    EXPECT_TRUE(plain.Objects().isEmpty());

    // Two records, the second cut short: the first stays, the error goes on.
    TCardModel shown;
    panel->SetModel(&shown);
    AddLabel(QStringLiteral("Kept"), 5, 5);
    AddLabel(QStringLiteral("Lost"), 5, 50);
    const QString path = dir.filePath("b.TSC");
    shown.Save(path);
    QByteArray bytes = ReadAll(path);
    bytes.chop(30);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    EXPECT_THROW(plain.Open(path), EStreamError);
    ASSERT_EQ(plain.Objects().size(), 1);
    EXPECT_FALSE(plain.Objects()[0]->IsLoading());
}

TEST_F(CardModelTest, TheDesignAndItsSidecarAreReplacedTogetherOrNotAtAll)
{
    TCardModel design;
    panel->SetModel(&design);
    AddLabel(QStringLiteral("Old"), 10, 20);
    design.SetBackgroundArtFile(art);
    const QString path = dir.filePath("Card.TSC");
    const QString sidecar = dir.filePath("Card.TSE");
    design.Save(path);
    const QByteArray oldDesign = ReadAll(path);
    const QByteArray oldSidecar = ReadAll(sidecar);
    ASSERT_FALSE(oldSidecar.isEmpty());

    // New objects and new art whose name alone is larger than the disk takes:
    // the sidecar cannot be written, so the new design must not be either
    // (a new design with the old background is a design nobody made).
    AddLabel(QStringLiteral("New"), 40, 100);
    const QString longArt = dir.filePath(QString(3000, QLatin1Char('b')) + ".bmp");
    design.SetBackgroundArtFile(longArt);
    ASSERT_GT(WriteObjectList(panel->StoredObjects()).size(), oldDesign.size());
    {
        TFileSizeLimit full(2048);
        ASSERT_TRUE(full.Ok());
        ASSERT_LT(WriteObjectList(panel->StoredObjects()).size(), 2048);
        EXPECT_THROW(design.Save(path), EStreamError);
    }
    EXPECT_EQ(ReadAll(path), oldDesign);
    EXPECT_EQ(ReadAll(sidecar), oldSidecar);

    // The design that cannot be written keeps the old sidecar too, even when
    // the new design has no art (the sidecar would be deleted).
    design.ClearBackgroundArt();
    for (int i = 0; i < 40; ++i)
        AddLabel(QString(200, QLatin1Char('x')), 5, 5);
    {
        TFileSizeLimit full(2048);
        ASSERT_TRUE(full.Ok());
        EXPECT_THROW(design.Save(path), EStreamError);
    }
    EXPECT_EQ(ReadAll(path), oldDesign);
    EXPECT_EQ(ReadAll(sidecar), oldSidecar);
    // Nothing half-written is left beside them.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 3);

    // With room to spare both are replaced, and no art removes the sidecar.
    design.Save(path);
    EXPECT_NE(ReadAll(path), oldDesign);
    EXPECT_FALSE(QFile::exists(sidecar));
}

// A save stopped (killed, the power cut) after the first or the second file
// it moves into place: whichever design is there shows its own art, never
// the other's. Also when the new design has other art or none.
TEST_F(CardModelTest, AStopBetweenTheMovesOfASaveLeavesEachDesignWithItsOwnArt)
{
    struct TStopped
    {
    };
    const QString path = dir.filePath("Card.TSC");
    const QString otherArt = dir.filePath("other.bmp");
    QFile::copy(art, otherArt);
    for (const QString &newArt : {otherArt, QString()}) {
        for (const int stopAfter : {1, 2}) {
            TCardModel design;
            panel->SetModel(&design);
            AddLabel(QStringLiteral("Old"), 10, 20);
            design.SetBackgroundArtFile(art);
            design.Save(path);
            const QByteArray oldDesign = ReadAll(path);

            AddLabel(QStringLiteral("New"), 40, 100);
            if (newArt.isEmpty())
                design.ClearBackgroundArt();
            else
                design.SetBackgroundArtFile(newArt);
            int moves = 0;
            SetFileMovedObserver([&](const QString &) {
                if (++moves == stopAfter)
                    throw TStopped{};
            });
            EXPECT_THROW(design.Save(path), TStopped);
            SetFileMovedObserver({});
            const bool oldThere = ReadAll(path) == oldDesign;
            // The sidecar moves first: after one move the old design is there.
            EXPECT_EQ(oldThere, stopAfter == 1);
            EXPECT_EQ(ReadSidecar(path), oldThere ? art : newArt)
                << stopAfter << " " << newArt.toStdString();
            TCardModel reopened;
            reopened.Open(path);
            EXPECT_EQ(reopened.BackgroundArtFile(), oldThere ? art : newArt);
            panel->SetModel(nullptr);
        }
    }
}

} // namespace

// Undo without any window: every kind placed and edited as commands of their
// own, undone and redone; a step that changed one object brings back that
// object alone.
TEST(CardModelUndoTest, EveryKindIsUndoneWithoutAWindowAndUnchangedObjectsStay)
{
    TCardModel model;
    TRichTextEngine::EnsureMaster(&model);
    TDesignHistory *history = model.EnableHistory();
    const QStringList kinds{"TGBusinessCardLabel", "TGPLabel",         "TBCShapes",
                            "TGLabelShapes",       "TGLineShape",      "TGImage",
                            "TGMultiLineLabel",    "TGSymbolLabel",    "TGPRichBaseLabel",
                            "TSuperShape",         "TGSuperText"};
    QList<QByteArray> states{WriteObjectList(model.Objects())};
    for (qsizetype i = 0; i < kinds.size(); ++i) {
        const TUndoStep step(history, QStringLiteral("Place"));
        auto *object = qobject_cast<TGGraphicControl *>(
            TObjectKindRegistry::Instance().Create(kinds.at(i), model.Owner()));
        ASSERT_NE(object, nullptr) << kinds.at(i).toStdString();
        object->MakeReady();
        object->SetName(QStringLiteral("Object%1").arg(i));
        object->SetBounds(8 + int(i) * 20, 8, 70, 40);
        model.Insert(object);
        states.append(WriteObjectList(model.Objects()));
    }
    for (TStoredObject *object : model.Objects()) {
        const TUndoStep step(history, QStringLiteral("Move"));
        auto *card = static_cast<TGGraphicControl *>(object);
        card->SetTop(card->Top() + 30);
        states.append(WriteObjectList(model.Objects()));
    }
    QUndoStack *stack = history->Stack();
    ASSERT_EQ(stack->count(), 2 * kinds.size());
    EXPECT_EQ(stack->undoText(), "Move");

    // Undoing the last move makes the last object afresh and leaves the rest.
    QList<QPointer<TStoredObject>> before;
    for (TStoredObject *object : model.Objects())
        before.append(object);
    stack->undo();
    for (qsizetype i = 0; i + 1 < before.size(); ++i)
        EXPECT_EQ(model.Objects().at(i), before.at(i).data()) << "object " << i << " was remade";
    EXPECT_TRUE(before.last().isNull());
    stack->redo();

    for (qsizetype i = states.size() - 1; i > 0; --i) {
        stack->undo();
        EXPECT_EQ(WriteObjectList(model.Objects()), states.at(i - 1)) << "undo to state " << i - 1;
    }
    EXPECT_EQ(model.Count(), 0);
    for (qsizetype i = 1; i < states.size(); ++i) {
        stack->redo();
        EXPECT_EQ(WriteObjectList(model.Objects()), states.at(i)) << "redo to state " << i;
    }
}
