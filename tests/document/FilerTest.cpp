// The design file, clipboard and clone commands through the card surface,
// the sidecar, and saves that fail.
#include "document/Filer.h"
#include "document/CardModel.h"

#include "DocumentTestSupport.h"
#include "common/HostileFiles.h"
#include "common/TestSupport.h"
#include "document/ObjectStream.h"
#include "document/StreamIO.h"
#include "objects/Gpslabel.h"
#include "surface/GHandle.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QKeyEvent>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

class FilerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        owner = std::make_unique<QObject>();
        surface = std::make_unique<TGBusinessCardPanel32>();
        surface->SetOwner(owner.get());
        surface->SetClock(&clock);
        surface->setFixedSize(336, 192);
        surface->LabelChangedEvent = [this](QObject *) { ++changes; };
        RegisterTestKinds();
        QFile::remove(surface->ClipboardFile());
    }
    void TearDown() override
    {
        surface.reset();
        owner.reset();
    }

    TGBusinessCardLabel *PlaceLabel(int left, int top, const QString &caption)
    {
        auto *label = new TGBusinessCardLabel(owner.get());
        label->MakeReady();
        label->SetCaption(caption);
        surface->PlaceObject(label, TRect::FromBounds(left, top, 142, 33));
        return label;
    }

    QStringList Names() const
    {
        QStringList names;
        for (const TGGraphicControl *o : surface->Objects())
            names.append(o->Name());
        return names;
    }

    void CtrlV()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(surface.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(surface.get(), &release);
    }

    QTemporaryDir dir;
    TFakeClock clock;
    std::unique_ptr<QObject> owner;
    std::unique_ptr<TGBusinessCardPanel32> surface;
    int changes = 0;
};

} // namespace

TEST_F(FilerTest, EmptySurfaceAndMissingFiles)
{
    const QString path = dir.filePath(QStringLiteral("EMPTY.TSC"));
    surface->SaveToFile(path);
    EXPECT_EQ(ReadAll(path), Hex("01 00"));
    surface->LoadFromFile(path);
    EXPECT_EQ(surface->ObjectCount(), 0);

    // A file that does not exist loads as nothing, without an error.
    const QString missing = dir.filePath(QStringLiteral("NONE.TSC"));
    EXPECT_NO_THROW(surface->LoadFromFile(missing));
    EXPECT_TRUE(TGLabelObjectFiler().LoadObjects(owner.get(), surface.get(), missing).isEmpty());
    EXPECT_TRUE(TGLabelObjectFiler().PasteObjects(owner.get(), surface.get(), missing).isEmpty());
    EXPECT_EQ(surface->ObjectCount(), 0);

    // A folder in the file's place cannot be opened.
    try {
        TGLabelObjectFiler().LoadObjects(owner.get(), surface.get(), dir.path());
        ADD_FAILURE() << "a folder was read as a design";
    } catch (const EStreamError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot open file %1").arg(dir.path()));
    }
}

TEST_F(FilerTest, DesignsAreSavedAtFullSizeAndReopenAtTheCurrentZoom)
{
    TGBusinessCardLabel *label = PlaceLabel(20, 10, QStringLiteral("Zoomed"));
    surface->SetZoom(1.5f);
    EXPECT_EQ(label->Left(), 30);
    const QString path = dir.filePath(QStringLiteral("BC0001.TSC"));
    surface->SaveToFile(path);
    EXPECT_EQ(surface->ZoomScale(), 1.5f);
    EXPECT_EQ(label->Left(), 30);
    EXPECT_EQ(label->Width(), 213);

    const QList<TGGraphicControl *> stored =
        CardObjects(TGLabelObjectFiler().ReadObjects(ReadAll(path), owner.get(), nullptr));
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored.at(0)->Left(), 20);
    EXPECT_EQ(stored.at(0)->Top(), 10);
    EXPECT_EQ(stored.at(0)->Width(), 142);
    EXPECT_EQ(stored.at(0)->Height(), 33);
    delete stored.at(0);

    surface->DeleteAllObjects();
    changes = 0;
    surface->LoadFromFile(path);
    ASSERT_EQ(surface->ObjectCount(), 1);
    TGGraphicControl *loaded = surface->ObjectAt(0);
    EXPECT_EQ(surface->ZoomScale(), 1.5f);
    EXPECT_EQ(loaded->ZoomScale(), 1.5f);
    EXPECT_EQ(loaded->Left(), 30);
    EXPECT_EQ(loaded->Top(), 15);
    EXPECT_EQ(loaded->Width(), 213);
    EXPECT_EQ(loaded->Height(), 50);             // 49.5 to the even neighbour
    EXPECT_TRUE(loaded->OnMouseDown != nullptr); // hooked to the surface
    EXPECT_FALSE(loaded->IsLoading());
}

TEST_F(FilerTest, EveryLoadRenamesUpward)
{
    PlaceLabel(10, 10, QStringLiteral("One"));
    PlaceLabel(10, 60, QStringLiteral("Two"));
    EXPECT_EQ(Names(), (QStringList{"Special1", "Special2"}));
    const QString path = dir.filePath(QStringLiteral("TWO.TSC"));
    surface->SaveToFile(path);
    surface->LoadFromFile(path);
    surface->LoadFromFile(path);
    EXPECT_EQ(Names(), (QStringList{"Special1", "Special2", "Component0", "Component1",
                                    "Component2", "Component3"}));
    EXPECT_EQ(static_cast<TGBusinessCardLabel *>(surface->ObjectAt(5))->Caption(),
              QStringLiteral("Two"));
}

TEST_F(FilerTest, CutCopyAndPasteGoThroughTheClipboardFile)
{
    const QString clip = surface->ClipboardFile();
    // With nothing selected, Copy and Cut leave an earlier clipboard file alone.
    WriteAll(clip, QByteArray("earlier"));
    surface->ClipboardCommand(1);
    surface->ClipboardCommand(0);
    EXPECT_EQ(ReadAll(clip), QByteArray("earlier"));

    TGBusinessCardLabel *a = PlaceLabel(10, 20, QStringLiteral("A"));
    TGBusinessCardLabel *b = PlaceLabel(100, 120, QStringLiteral("B"));
    surface->Handles()->AddToSelection(b);
    surface->Handles()->AddToSelection(a);
    changes = 0;
    surface->ClipboardCommand(0); // cut both
    EXPECT_EQ(surface->ObjectCount(), 0);
    EXPECT_EQ(changes, 2);
    ASSERT_TRUE(QFile::exists(clip));

    // The file holds them in selection order; paste puts them 15 right and 15 down.
    changes = 0;
    surface->ClipboardCommand(2);
    ASSERT_EQ(surface->ObjectCount(), 2);
    auto *first = static_cast<TGBusinessCardLabel *>(surface->ObjectAt(0));
    auto *second = static_cast<TGBusinessCardLabel *>(surface->ObjectAt(1));
    EXPECT_EQ(first->Caption(), QStringLiteral("B"));
    EXPECT_EQ(first->Left(), 115);
    EXPECT_EQ(first->Top(), 135);
    EXPECT_EQ(second->Caption(), QStringLiteral("A"));
    EXPECT_EQ(second->Left(), 25);
    EXPECT_EQ(second->Top(), 35);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(surface->Handles()->SelectedCount(), 0); // pasted objects are not selected
    EXPECT_NE(second->ObjectMenu(), nullptr);

    // Pasting again stacks at the same place, once a second has passed.
    clock.Advance(1000);
    surface->ClipboardCommand(2);
    ASSERT_EQ(surface->ObjectCount(), 4);
    EXPECT_EQ(surface->ObjectAt(3)->Left(), 25);

    // The object menu's Copy of an object outside the selection copies it alone.
    surface->Handles()->AddToSelection(first);
    surface->ObjectClipboardCommand(second, 1);
    const QList<TGGraphicControl *> copied =
        CardObjects(TGLabelObjectFiler().ReadObjects(ReadAll(clip), owner.get(), nullptr));
    ASSERT_EQ(copied.size(), 1);
    EXPECT_EQ(static_cast<TGBusinessCardLabel *>(copied.at(0))->Caption(), QStringLiteral("A"));
    delete copied.at(0);
    // ... and its Cut frees it; the selection stays.
    surface->ObjectClipboardCommand(second, 0);
    EXPECT_EQ(surface->ObjectCount(), 3);
    EXPECT_EQ(surface->Handles()->SelectedCount(), 1);
}

TEST_F(FilerTest, PastesCloserThanASecondApartAreDropped)
{
    TGBusinessCardLabel *label = PlaceLabel(10, 20, QStringLiteral("Paste me"));
    surface->Handles()->AddToSelection(label);
    surface->ClipboardCommand(1);
    surface->Handles()->ClearSelection();

    CtrlV();
    EXPECT_EQ(surface->ObjectCount(), 2);
    const uint32_t firstTick = surface->LastPasteTick();
    EXPECT_EQ(firstTick, clock.Now());
    clock.Advance(600);
    CtrlV();
    EXPECT_EQ(surface->ObjectCount(), 2); // dropped, tick unchanged
    EXPECT_EQ(surface->LastPasteTick(), firstTick);
    clock.Advance(500); // 1100 after the first
    CtrlV();
    EXPECT_EQ(surface->ObjectCount(), 3);
    EXPECT_EQ(surface->LastPasteTick(), clock.Now());

    // Paste with no clipboard file adds nothing but still reports a change.
    QFile::remove(surface->ClipboardFile());
    clock.Advance(2000);
    changes = 0;
    surface->ClipboardCommand(2);
    EXPECT_EQ(surface->ObjectCount(), 3);
    EXPECT_EQ(changes, 1);
}

TEST_F(FilerTest, CloneCopiesTheObject25PixelsLowerAndSelectsTheCopy)
{
    TGBusinessCardLabel *source = PlaceLabel(40, 30, QStringLiteral("Clone me"));
    source->SetDepthShadow(3);
    TGSymbolLabel *symbol = new TGSymbolLabel(owner.get());
    symbol->MakeReady();
    surface->PlaceObject(symbol, TRect::FromBounds(200, 20, 30, 30));
    surface->BringObjectToFront(source);
    surface->Handles()->AddToSelection(source);
    changes = 0;

    source->CloneObject(); // the object menu's Clone
    ASSERT_EQ(surface->ObjectCount(), 3);
    auto *copy = qobject_cast<TGBusinessCardLabel *>(surface->Objects().last());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, source);
    EXPECT_EQ(copy->Name(), QStringLiteral("Component0"));
    EXPECT_EQ(copy->Left(), 40);
    EXPECT_EQ(copy->Top(), 55);
    EXPECT_EQ(copy->Caption(), QStringLiteral("Clone me"));
    EXPECT_EQ(copy->DepthShadow(), 3);
    EXPECT_EQ(copy->ShadowOffset(), QPoint(3, 3));
    EXPECT_EQ(surface->Handles()->SelectedCount(), 1);
    EXPECT_EQ(surface->Handles()->SelectedObject(0), copy);
    EXPECT_GE(changes, 1);
    EXPECT_TRUE(copy->OnMouseDown != nullptr);

    // An object outside the selection is cloned without touching the selection,
    // even close to the card's bottom edge.
    symbol->SetTop(180);
    surface->CloneObject(symbol);
    auto *symbolCopy = qobject_cast<TGSymbolLabel *>(surface->Objects().last());
    ASSERT_NE(symbolCopy, nullptr);
    EXPECT_EQ(symbolCopy->Top(), 205);
    EXPECT_EQ(surface->Handles()->SelectedObject(0), copy);
}

TEST_F(FilerTest, FailedSavesLeaveTheOldFileAsItWas)
{
    PlaceLabel(10, 10, QStringLiteral("Kept"));
    const QString path = dir.filePath(QStringLiteral("KEEP.TSC"));
    surface->SaveToFile(path);
    const QByteArray before = ReadAll(path);
    ASSERT_FALSE(before.isEmpty());

    // A folder that does not exist.
    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/X.TSC"));
    try {
        surface->SaveToFile(nowhere);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const EStreamError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot create file %1").arg(nowhere));
    }

    // The disk refusing to take the bytes (a file size limit stands in for a full disk).
    {
        PlaceLabel(10, 60, QString(2000, QLatin1Char('z')));
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString message;
        try {
            surface->SaveToFile(path);
        } catch (const EStreamError &e) {
            message = e.Message();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        // With the reason the system gave (a file size limit here; a full
        // disk says so).
        EXPECT_EQ(message,
                  QStringLiteral("Stream write error: the file is larger than this system allows"));
        EXPECT_EQ(ReadAll(path), before);
    }

    // A kind that fails while it is written: nothing reaches the file, the zoom comes back.
    auto *broken = new TTestFailingObject(owner.get());
    surface->PlaceObject(broken, TRect::FromBounds(5, 5, 20, 20));
    surface->SetZoom(1.25f);
    EXPECT_THROW(surface->SaveToFile(path), std::runtime_error);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(surface->ZoomScale(), 1.25f);
}

TEST_F(FilerTest, AFailedLoadKeepsWhatWasReadAndTheZoom)
{
    surface->SetZoom(1.5f);
    const QString path = dir.filePath(QStringLiteral("BROKEN.TSC"));
    WriteAll(path, Hex("01") + WorkedExampleBytes().mid(1, 255) + QByteArray("TPF0") +
                       ShortName("TGPLabel") + ShortName("") + ShortName("Nope") + Hex("02 01"));
    try {
        surface->LoadFromFile(path);
        ADD_FAILURE() << "a damaged design was read";
    } catch (const EStreamError &e) {
        EXPECT_EQ(e.Message(),
                  QStringLiteral("Error reading Component1.Nope: Property does not exist"));
    }
    EXPECT_EQ(surface->ZoomScale(), 1.5f);
    ASSERT_EQ(surface->ObjectCount(), 1);
    TGGraphicControl *kept = surface->ObjectAt(0);
    EXPECT_EQ(kept->Left(), 36); // 24 at 150 %
    EXPECT_FALSE(kept->IsLoading());
    EXPECT_TRUE(kept->OnMouseDown != nullptr);
}

TEST_F(FilerTest, SidecarHoldsTheBackgroundPathBesideTheDesign)
{
    EXPECT_EQ(SidecarPath(QStringLiteral("/home/u/.local/share/Tessaro/Saved/BC0001.TSC")),
              QStringLiteral("/home/u/.local/share/Tessaro/Saved/BC0001.TSE"));
    EXPECT_EQ(SidecarPath(QStringLiteral("/tmp/my.designs/card.TSC")),
              QStringLiteral("/tmp/my.designs/card.TSE"));
    EXPECT_EQ(SidecarPath(QStringLiteral("/tmp/card.v2.TSC")), QStringLiteral("/tmp/card.TSE"));
    EXPECT_EQ(SidecarPath(QStringLiteral("/tmp/card")), QStringLiteral("/tmp/card.TSE"));
    EXPECT_EQ(SidecarPath(QStringLiteral("C:\\My.Cards\\a.b.TSC")),
              QStringLiteral("C:\\My.Cards\\a.TSE"));
    // A card's back lies beside its front, with art of its own.
    EXPECT_EQ(BackSidePath(QStringLiteral("/tmp/my.designs/BC0001.TSC")),
              QStringLiteral("/tmp/my.designs/BC0001.back.TSC"));
    EXPECT_EQ(BackSidePath(QStringLiteral("card.tsc")), QStringLiteral("card.back.tsc"));
    EXPECT_TRUE(IsBackSidePath(QStringLiteral("/tmp/BC0001.BACK.tsc")));
    EXPECT_FALSE(IsBackSidePath(QStringLiteral("/tmp/back.TSC")));
    EXPECT_EQ(SidecarPath(QStringLiteral("/tmp/my.designs/BC0001.back.TSC")),
              QStringLiteral("/tmp/my.designs/BC0001.back.TSE"));

    QDir().mkpath(dir.filePath(QStringLiteral("my.designs")));
    const QString design = dir.filePath(QStringLiteral("my.designs/card.TSC"));
    const QString sidecar = dir.filePath(QStringLiteral("my.designs/card.TSE"));
    const QString art = QString::fromUtf8("/home/u/bg/Fleur été.bmp");
    WriteSidecar(design, art);
    EXPECT_EQ(ReadAll(sidecar), art.toUtf8() + "\r\n");
    EXPECT_EQ(ReadSidecar(design), art);
    // Older sidecars hold 8-bit text.
    WriteAll(sidecar, QByteArray("C:\\Art\\caf\xE9.bmp\r\nsecond line\r\n"));
    EXPECT_EQ(ReadSidecar(design), QString::fromUtf8("C:\\Art\\café.bmp"));
    // No background: the sidecar goes.
    WriteSidecar(design, QString());
    EXPECT_FALSE(QFile::exists(sidecar));
    EXPECT_EQ(ReadSidecar(design), QString());
    EXPECT_NO_THROW(WriteSidecar(design, QString()));
}

TEST_F(FilerTest, BackgroundArtLoadsAndClears)
{
    const QString bmp = dir.filePath(QStringLiteral("art.bmp"));
    WriteAll(bmp, SmallBmp());
    EXPECT_TRUE(surface->LoadColorPicture(bmp));
    EXPECT_FALSE(surface->ColorPicture().IsEmpty());
    EXPECT_FALSE(surface->LoadColorPicture(dir.filePath(QStringLiteral("missing.bmp"))));
    EXPECT_EQ(surface->ColorPicture().GraphicData(), SmallBmp());
    surface->ClearColorPicture();
    EXPECT_TRUE(surface->ColorPicture().IsEmpty());
}

namespace {

// Records how each object looks when the reader hands it over.
class TRecordingHost : public TObjectHost
{
public:
    QList<TStoredObject *> StoredObjects() const override { return adopted; }
    void AdoptObject(TStoredObject *object) override
    {
        adopted.append(object);
        loadingWhenAdopted.append(object->IsLoading());
        nameWhenAdopted.append(object->Name());
    }
    QList<TStoredObject *> adopted;
    QList<bool> loadingWhenAdopted;
    QStringList nameWhenAdopted;
};

} // namespace

TEST_F(FilerTest, ReaderHandsEachObjectToItsHostBeforeReadingItAndReturnsItUnplacedOtherwise)
{
    PlaceLabel(10, 10, "First");
    PlaceLabel(10, 60, "Second");
    const QByteArray bytes = WriteObjectList(StoredList(surface->Objects()));

    TRecordingHost host;
    QObject other;
    const QList<TStoredObject *> read = TGLabelObjectFiler().ReadObjects(bytes, &other, &host);
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(host.adopted, read);
    // Handed over as soon as it is made: still loading, not yet named.
    EXPECT_EQ(host.loadingWhenAdopted, (QList<bool>{true, true}));
    EXPECT_EQ(host.nameWhenAdopted, (QStringList{QString(), QString()}));
    EXPECT_FALSE(read[0]->IsLoading());
    EXPECT_EQ(host.StoredObjects(), read);

    // Without a host the objects come back on no surface, in file order.
    const QList<TGGraphicControl *> loose =
        CardObjects(TGLabelObjectFiler().ReadObjects(bytes, &other, nullptr));
    ASSERT_EQ(loose.size(), 2);
    EXPECT_EQ(loose[0]->Parent(), nullptr);
    EXPECT_EQ(static_cast<TGBusinessCardLabel *>(loose[1])->Caption(), "Second");
}

// ---- files that are not designs ---------------------------------------------------

namespace {

// Runs in a child process with little memory to spare: exits 0 when a design
// that is a link to a device that never ends is refused without reading it.
[[noreturn]] void ReadDesignFromDevice(const QString &link)
{
    long pages = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(f);
    }
    rlimit limit{};
    limit.rlim_cur = size_t(pages) * size_t(sysconf(_SC_PAGESIZE)) + (size_t(256) << 20);
    limit.rlim_max = RLIM_INFINITY;
    setrlimit(RLIMIT_AS, &limit);
    QObject owner;
    try {
        TGLabelObjectFiler().LoadObjects(&owner, nullptr, link);
    } catch (const EStreamError &e) {
        _exit(e.Message() == QStringLiteral("Cannot open file %1").arg(link) ? 0 : 1);
    }
    _exit(2);
}

} // namespace

TEST_F(FilerTest, OnlyRegularFilesOfADesignsSizeAreRead)
{
    PlaceLabel(10, 10, QStringLiteral("Real"));
    const QString real = dir.filePath(QStringLiteral("REAL.TSC"));
    surface->SaveToFile(real);
    auto cannotOpen = [this](const QString &path) {
        try {
            TGLabelObjectFiler().LoadObjects(owner.get(), nullptr, path);
        } catch (const EStreamError &e) {
            return e.Message() == QStringLiteral("Cannot open file %1").arg(path);
        }
        return false;
    };

    // A link to a design is followed.
    const QString link = dir.filePath(QStringLiteral("LINK.TSC"));
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_EQ(TGLabelObjectFiler().LoadObjects(owner.get(), nullptr, link).size(), 1);

    // A FIFO would block the window in open() for good.
    const QString fifo = dir.filePath(QStringLiteral("FIFO.TSC"));
    ASSERT_TRUE(MakeFifo(fifo));
    bool refused = false;
    EXPECT_TRUE(FinishesWithoutBlocking([&] { refused = cannotOpen(fifo); }, fifo));
    EXPECT_TRUE(refused);

    // A file larger than any design (sparse: it takes no room on the disk).
    const QString huge = dir.filePath(QStringLiteral("HUGE.TSC"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ReadAll(real));
        ASSERT_TRUE(file.resize(64 * 1024 * 1024 + 1));
    }
    EXPECT_TRUE(cannotOpen(huge));

    // A link to /dev/zero, read with little memory to spare.
    const QString zero = dir.filePath(QStringLiteral("ZERO.TSC"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ReadDesignFromDevice(zero), ::testing::ExitedWithCode(0), "");
}

TEST_F(FilerTest, AClipboardFileReplacedByAFifoIsNeitherReadNorReplaced)
{
    TGBusinessCardLabel *label = PlaceLabel(10, 10, QStringLiteral("Copied"));
    const QString clipboard = surface->ClipboardFile();
    const QString fifo = dir.filePath(QStringLiteral("clip.fifo"));
    ASSERT_TRUE(MakeFifo(fifo));
    QFile::remove(clipboard);
    ASSERT_TRUE(QFile::link(fifo, clipboard));

    // Paste: refused at once with the message for a file that cannot be read.
    QString message;
    EXPECT_TRUE(FinishesWithoutBlocking(
        [&] {
            try {
                surface->ClipboardCommand(2);
            } catch (const EStreamError &e) {
                message = e.Message();
            }
        },
        fifo));
    EXPECT_EQ(message, QStringLiteral("Cannot open file %1").arg(clipboard));
    EXPECT_EQ(surface->ObjectCount(), 1);

    // Copy: the FIFO the link ends at is not replaced by a file.
    surface->Handles()->AddToSelection(label);
    message.clear();
    try {
        surface->ClipboardCommand(1);
    } catch (const EStreamError &e) {
        message = e.Message();
    }
    EXPECT_EQ(message, QStringLiteral("Cannot create file %1").arg(clipboard));
    EXPECT_TRUE(IsFifo(fifo));
    EXPECT_TRUE(QFileInfo(clipboard).isSymLink());
    QFile::remove(clipboard);
}
