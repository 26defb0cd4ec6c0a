// The symbol label: its defaults, its size that follows the glyph at every
// zoom, its reduced menu and the Symbol Selector it opens.
#include "ObjectsFixture.h"
#include "common/TestSupport.h"
#include "document/Filer.h"
#include "document/ObjectStream.h"
#include "graphics/SymbolFonts.h"
#include "objects/Ggetsym.h"
#include "objects/Gpmlabel.h"
#include "objects/Gpslabel.h"
#include "objects/gbclabel32.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QStringListModel>
#include <QTest>
#include <cmath>

namespace {

// 1.1 times the extent of a character of the picture font at a pixel size,
// as a symbol label of a missing symbol font must be.
QSize ExpectedGlyphSize(char32_t picture, int pixels)
{
    QFont font(SymbolPictureFamilies().first());
    font.setPixelSize(pixels);
    const QFontMetrics fm(font);
    const int w = int(std::trunc(1.1 * fm.horizontalAdvance(QString::fromUcs4(&picture, 1))));
    const int h = int(std::trunc(1.1 * fm.height()));
    return {w, h};
}

// The font dialog's point size field (the one that takes numbers only).
QLineEdit *SizeField(QFontDialog *dialog)
{
    for (QLineEdit *edit : dialog->findChildren<QLineEdit *>())
        if (edit->validator())
            return edit;
    return nullptr;
}

QImage Painted(TGGraphicControl *object)
{
    QImage image(object->Width(), object->Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    object->Paint(painter);
    return image;
}

class SymbolLabelTest : public ObjectTest
{
protected:
    void SetUp() override
    {
        ObjectTest::SetUp();
        ResetSymbolFontCache();
        if (QFontDatabase::families().contains("Wingdings", Qt::CaseInsensitive))
            GTEST_SKIP() << "a real Wingdings is installed; these probe the mapped pictures";
        if (!QFontDatabase::families().contains(SymbolPictureFamilies().first()))
            GTEST_SKIP() << "the picture font (fonts-symbola) is not installed";
    }
};

} // namespace

TEST_F(SymbolLabelTest, ANewLabelShowsTheYinYangSizedToItsGlyph)
{
    auto *symbol = Place<TGSymbolLabel>(30, 40, 200, 120);
    EXPECT_EQ(symbol->LabelFont().Name(), "WingDings");
    EXPECT_EQ(symbol->LabelFont().Size(), 24);
    EXPECT_EQ(symbol->LabelFont().Color(), 0U);
    EXPECT_EQ(symbol->Caption(), "[");
    EXPECT_TRUE(symbol->Transparent());
    EXPECT_EQ(symbol->CanvasFont().pixelSize(), 32);
    // The dragged rectangle gives way to the glyph; the place stays.
    const QSize glyph = ExpectedGlyphSize(U'\u262F', 32);
    EXPECT_EQ(QSize(symbol->Width(), symbol->Height()), glyph);
    EXPECT_EQ(symbol->Left(), 30);
    EXPECT_EQ(symbol->Top(), 40);

    // A handle drag has no lasting effect.
    symbol->SetBounds(30, 40, 300, 90);
    EXPECT_EQ(QSize(symbol->Width(), symbol->Height()), glyph);
    symbol->SetBounds(35, 45, 3, 3);
    EXPECT_EQ(QSize(symbol->Width(), symbol->Height()), glyph);
    EXPECT_EQ(symbol->Left(), 35);
}

TEST_F(SymbolLabelTest, TheSizeFollowsTheZoomAndComesBack)
{
    auto *symbol = Place<TGSymbolLabel>(30, 40);
    symbol->SetCaption("(");
    symbol->BoundsChanged();
    const QSize atOne = ExpectedGlyphSize(U'\U0001F57F', 32);
    EXPECT_EQ(QSize(symbol->Width(), symbol->Height()), atOne);

    // 24 points at 150 % are drawn at 36 points, 48 pixels.
    surface->SetZoom(1.5f);
    EXPECT_EQ(symbol->CanvasFont().pixelSize(), 48);
    EXPECT_EQ(QSize(symbol->Width(), symbol->Height()), ExpectedGlyphSize(U'\U0001F57F', 48));
    surface->SetZoom(2.0f);
    EXPECT_NEAR(symbol->Width(), 2 * atOne.width(), 2);
    EXPECT_NEAR(symbol->Height(), 2 * atOne.height(), 2);
    surface->SetZoom(1.0f);
    EXPECT_EQ(QSize(symbol->Width(), symbol->Height()), atOne);
    EXPECT_EQ(symbol->Left(), 30);

    // Zoomed up and down step by step, again and again, with a symbol chosen
    // and moved at 150 %: what would be saved at every zoom is the size at
    // 100 %, not the zoomed glyph scaled back (which rounds to a pixel more).
    auto *made = Place<TGSymbolLabel>(120, 40); // the new label's own symbol
    const QSize madeAtOne(made->Width(), made->Height());
    surface->SetZoom(1.5f);
    symbol->SetCaption("[");
    symbol->BoundsChanged();
    symbol->SetCaption("(");
    symbol->BoundsChanged();
    for (TGSymbolLabel *label : {symbol, made}) {
        label->MoveBy(3, 0);
        label->BoundsChanged();
    }
    for (int round = 0; round < 4; ++round) {
        for (int step : {1, 2, 3, 4, 5, 4, 3, 2, 1, 0}) {
            surface->SetZoom(1.0f + 0.1f * float(step));
            const TFullSizeRecords fullSize;
            for (TGSymbolLabel *label : {symbol, made}) {
                const QSize expected = label == symbol ? atOne : madeAtOne;
                EXPECT_EQ(QSize(label->StoredWidth(), label->StoredHeight()), expected)
                    << "round " << round << ", zoom step " << step;
            }
        }
    }
}

TEST_F(SymbolLabelTest, TheGlyphDrawnIsThePictureOfTheCode)
{
    auto *symbol = Place<TGSymbolLabel>(0, 0);
    symbol->SetCaption("*");
    symbol->BoundsChanged();
    symbol->UpdateLayout();
    const QImage shown = Painted(symbol);

    // The envelope of the picture font, drawn where the label starts its text.
    auto expected = [&](const QString &text, const QFont &font) {
        QImage image(symbol->Width(), symbol->Height(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(symbol->TextOrigin().x(),
                         symbol->TextOrigin().y() + QFontMetrics(font).ascent(), text);
        return image;
    };
    QFont pictures(SymbolPictureFamilies().first());
    pictures.setPixelSize(32);
    EXPECT_EQ(shown, expected(QString::fromUcs4(U"\U0001F582", 1), pictures));
    QFont letters("DejaVu Sans");
    letters.setPixelSize(32);
    EXPECT_NE(shown, expected("*", letters));

    // With a shadow the label draws the grey copy as a text label does.
    symbol->SetDepthShadow(3);
    symbol->UpdateLayout();
    const QImage shadowed = Painted(symbol);
    bool grey = false;
    for (int y = 0; y < shadowed.height() && !grey; ++y)
        for (int x = 0; x < shadowed.width() && !grey; ++x)
            grey = shadowed.pixel(x, y) == QColor(128, 128, 128).rgb();
    EXPECT_TRUE(grey);
}

TEST_F(SymbolLabelTest, SurfaceFontsPassItByAndItsMenuHasNoFontChoice)
{
    auto *symbol = Place<TGSymbolLabel>();
    auto *text = Place<TGBaseLabel>(20, 120);
    QFont big("DejaVu Serif");
    big.setPointSize(30);
    symbol->AssignFont(big);
    text->AssignFont(big);
    EXPECT_EQ(symbol->LabelFont().Name(), "WingDings");
    EXPECT_EQ(symbol->LabelFont().Size(), 24);
    EXPECT_EQ(text->LabelFont().Name(), "DejaVu Serif");

    QMenu *menu = symbol->ObjectMenu();
    ASSERT_NE(menu, nullptr);
    const QStringList captions = TopLevelCaptions(menu);
    for (const char *gone : {"Font", "Alignment", "Angle", "Text"})
        EXPECT_FALSE(captions.contains(gone)) << gone;
    for (const char *kept : {"3D Effects", "Transparent", "Background Color", "Border"})
        EXPECT_TRUE(captions.contains(kept)) << kept;
    ASSERT_GE(captions.size(), 2);
    EXPECT_EQ(captions.mid(captions.size() - 2), (QStringList{"-", "Symbol Selector"}));
    // The text label keeps its own.
    EXPECT_TRUE(TopLevelCaptions(text->ObjectMenu()).contains("Font"));
}

TEST_F(SymbolLabelTest, TheSelectorShowsTheFontsCharactersAndOkTakesTheChosenOne)
{
    auto *symbol = Place<TGSymbolLabel>(40, 30);
    bool seen = false;
    OnNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<TGetSymbol *>(modal);
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), "Symbol Selector");
        EXPECT_EQ(dialog->size(), QSize(474, 327));
        auto *grid = dialog->findChild<QListWidget *>("SymbolGrid");
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->count(), 224);
        // The label's character is selected: "[" is entry 59.
        EXPECT_EQ(grid->currentRow(), '[' - 32);
        EXPECT_EQ(dialog->Columns(), 10);
        EXPECT_EQ(grid->gridSize().height(), 30);
        EXPECT_EQ(dialog->findChild<QPushButton *>("FontButton")->text(), "WingDings, 20pt ");
        // Entries show the pictures: entry 8 is the telephone.
        EXPECT_EQ(grid->item(8)->text(), QString::fromUcs4(U"\U0001F57F", 1));
        EXPECT_EQ(grid->item(8)->font().family(), SymbolPictureFamilies().first());
        EXPECT_EQ(grid->item(8)->font().pixelSize(), 27);

        QListWidgetItem *phone = grid->item(8);
        grid->scrollToItem(phone);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(phone).center());
        EXPECT_EQ(dialog->SelectedIndex(), 8);
        QTest::mouseClick(dialog->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
    });
    EXPECT_GE(REPORTS(FindItem(symbol->ObjectMenu(), "Symbol Selector")->trigger()), 1);
    EXPECT_TRUE(seen);
    EXPECT_EQ(symbol->Caption(), "(");
    EXPECT_EQ(QSize(symbol->Width(), symbol->Height()), ExpectedGlyphSize(U'\U0001F57F', 32));
    EXPECT_EQ(symbol->LabelFont().Name(), "WingDings");

    // Cancel changes nothing, even after another entry was clicked.
    OnNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<TGetSymbol *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->SelectedIndex(), 8);
        dialog->SetSelectedIndex(0);
        QTest::mouseClick(dialog->findChild<QPushButton *>("CancelButton"), Qt::LeftButton);
    });
    EXPECT_EQ(REPORTS(EXPECT_FALSE(symbol->SymbolSelector())), 0);
    EXPECT_EQ(symbol->Caption(), "(");

    // Entry 0 is the space: nothing visible, yet a glyph-sized object.
    OnNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<TGetSymbol *>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->SetSelectedIndex(0);
        QTest::mouseClick(dialog->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
    });
    EXPECT_TRUE(symbol->SymbolSelector());
    EXPECT_EQ(symbol->Caption(), " ");
    const QSize space = ExpectedGlyphSize(U' ', 32);
    EXPECT_EQ(QSize(symbol->Width(), symbol->Height()), space);
    EXPECT_GT(symbol->Width(), 1);

    // An empty caption from a file selects nothing; OK keeps it empty and
    // the object keeps the size of a space rather than shrinking to a sliver.
    symbol->SetCaption(QString());
    symbol->BoundsChanged();
    EXPECT_EQ(QSize(symbol->Width(), symbol->Height()), space);
    OnNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<TGetSymbol *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->SelectedIndex(), -1);
        QTest::mouseClick(dialog->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
    });
    EXPECT_TRUE(symbol->SymbolSelector());
    EXPECT_EQ(symbol->Caption(), QString());
    EXPECT_EQ(QSize(symbol->Width(), symbol->Height()), space);
}

TEST_F(SymbolLabelTest, TheFontButtonSetsTheHeldFontAndTheGridKeepsItsSize)
{
    auto *symbol = Place<TGSymbolLabel>(40, 30);
    const QSize before(symbol->Width(), symbol->Height());
    OnNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<TGetSymbol *>(modal);
        ASSERT_NE(dialog, nullptr);
        OnNextModal([](QWidget *fontModal) {
            auto *fonts = qobject_cast<QFontDialog *>(fontModal);
            ASSERT_NE(fonts, nullptr);
            QLineEdit *size = SizeField(fonts);
            ASSERT_NE(size, nullptr);
            size->selectAll();
            QTest::keyClicks(size, "48");
            fonts->accept();
        });
        QTest::mouseClick(dialog->findChild<QPushButton *>("FontButton"), Qt::LeftButton);
        EXPECT_EQ(dialog->HeldFont().Size(), 48);
        EXPECT_EQ(dialog->GridFont().Size(), TGetSymbol::GridPointSize);
        EXPECT_EQ(dialog->Columns(), 10);
        EXPECT_EQ(dialog->findChild<QPushButton *>("FontButton")->text(), "WingDings, 20pt ");
        EXPECT_EQ(dialog->findChild<QListWidget *>("SymbolGrid")->item(59)->font().pixelSize(), 27);
        QTest::mouseClick(dialog->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
    });
    EXPECT_TRUE(symbol->SymbolSelector());
    EXPECT_EQ(symbol->LabelFont().Size(), 48);
    EXPECT_EQ(symbol->LabelFont().Name(), "WingDings");
    EXPECT_EQ(symbol->Caption(), "[");
    // About twice as large.
    EXPECT_NEAR(double(symbol->Width()) / before.width(), 2.0, 0.15);
    EXPECT_NEAR(double(symbol->Height()) / before.height(), 2.0, 0.15);
}

TEST_F(SymbolLabelTest, TheFontButtonOffersEverySymbolFamilyAndAColour)
{
    // The program draws the three families itself, installed or not.
    auto *symbol = Place<TGSymbolLabel>(40, 30);
    OnNextModal([&](QWidget *modal) {
        // A failed check leaves the dialogs, so that the test goes on.
        const auto close = qScopeGuard([modal] { modal->close(); });
        auto *dialog = qobject_cast<TGetSymbol *>(modal);
        ASSERT_NE(dialog, nullptr);
        OnNextModal([](QWidget *fontModal) {
            const auto closeFonts = qScopeGuard([fontModal] { fontModal->close(); });
            auto *fonts = qobject_cast<QFontDialog *>(fontModal);
            ASSERT_NE(fonts, nullptr);
            auto *families = fonts->findChildren<QListView *>().value(0);
            ASSERT_NE(families, nullptr);
            const QStringList listed =
                qobject_cast<QStringListModel *>(families->model())->stringList();
            for (const QString &family : {"Webdings", "Symbol"})
                EXPECT_TRUE(listed.contains(family, Qt::CaseInsensitive)) << family.toStdString();
            // It opens on the label's family.
            EXPECT_EQ(families->currentIndex().data().toString().toLower(), "wingdings");
            const QModelIndexList webdings = families->model()->match(
                families->model()->index(0, 0), Qt::DisplayRole, "Webdings", 1, Qt::MatchExactly);
            ASSERT_FALSE(webdings.isEmpty());
            families->scrollTo(webdings.first());
            QTest::mouseClick(families->viewport(), Qt::LeftButton, {},
                              families->visualRect(webdings.first()).center());
            // The sample shows Webdings' pictures: code 'a' is a check mark.
            auto *sample = fonts->findChild<QLineEdit *>("qt_fontDialog_sampleEdit");
            ASSERT_NE(sample, nullptr);
            EXPECT_TRUE(sample->text().contains(QString::fromUcs4(U"✔", 1)));
            auto *colors = fonts->findChild<QComboBox *>("ColorBox");
            ASSERT_NE(colors, nullptr);
            ASSERT_TRUE(colors->isVisible());
            EXPECT_EQ(colors->currentText(), "Black");
            colors->setCurrentIndex(colors->findText("Blue"));
            fonts->accept();
        });
        QTest::mouseClick(dialog->findChild<QPushButton *>("FontButton"), Qt::LeftButton);
        EXPECT_EQ(dialog->HeldFont().Name(), "Webdings");
        EXPECT_EQ(dialog->HeldFont().Size(), 24);
        EXPECT_EQ(dialog->HeldFont().Color(), TColor(0xFF0000));
        EXPECT_EQ(dialog->findChild<QPushButton *>("FontButton")->text(), "Webdings, 20pt ");
        EXPECT_EQ(dialog->findChild<QListWidget *>("SymbolGrid")->item(0)->foreground().color(),
                  QColor(Qt::blue));
        QTest::mouseClick(dialog->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
    });
    EXPECT_TRUE(symbol->SymbolSelector());
    EXPECT_EQ(symbol->LabelFont().Name(), "Webdings");
    EXPECT_EQ(symbol->LabelFont().Color(), TColor(0xFF0000));
}

TEST_F(SymbolLabelTest, TextKindsInASymbolFontShowThePicturesToo)
{
    // A text label in WingDings draws "*(" as an envelope and a telephone.
    auto *text = Place<TGBusinessCardLabel>(10, 10, 200, 40);
    text->Font()->SetName("WingDings");
    text->Font()->SetSize(20);
    text->SetCaption("*(");
    text->UpdateLayout();
    const TDrawnText drawn = text->DrawnCaption();
    EXPECT_EQ(drawn.text, QString::fromUcs4(U"\U0001F582\U0001F57F", 2));
    EXPECT_EQ(drawn.font.family(), SymbolPictureFamilies().first());
    // The label is laid out on the pictures: it grows to hold them.
    EXPECT_GE(text->Width(), QFontMetrics(drawn.font).horizontalAdvance(drawn.text));

    // A multi-line label wraps ten telephones by their drawn width, cutting
    // between stored characters, and paints the pictures.
    auto *lines = Place<TGMultiLineLabel>(10, 60, 90, 120);
    lines->Font()->SetName("WingDings");
    lines->Font()->SetSize(20);
    lines->SetItems({QString(10, QChar('('))});
    lines->SetWordWrap(true);
    lines->UpdateLayout();
    const QStringList wrapped = lines->DisplayLines();
    ASSERT_GE(wrapped.size(), 3);
    EXPECT_EQ(wrapped.join(QString()), QString(10, QChar('(')));
    for (const QString &line : wrapped) {
        const TDrawnText piece = SymbolDrawnText(lines->ZoomedFont(), line);
        EXPECT_LE(QFontMetrics(piece.font).horizontalAdvance(piece.text), lines->Width());
    }
    QImage painted(lines->Width(), lines->Height(), QImage::Format_RGB32);
    painted.fill(Qt::white);
    {
        QPainter painter(&painted);
        lines->Paint(painter);
    }
    QImage expected(painted.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        const TDrawnText first = SymbolDrawnText(lines->ZoomedFont(), wrapped.first());
        painter.setFont(first.font);
        painter.setPen(Qt::black);
        painter.drawText(0, QFontMetrics(lines->ZoomedFont()).ascent(), first.text);
    }
    const int lineHeight = lines->LineHeight();
    EXPECT_EQ(painted.copy(0, 0, painted.width(), lineHeight),
              expected.copy(0, 0, painted.width(), lineHeight));
}

// Codes 128 to 159 are one byte in the file like every other code, whatever
// character the file's code page reads for them.
TEST_F(SymbolLabelTest, CodesFrom128To159AreTheirPicturesBothWays)
{
    auto *symbol = Place<TGSymbolLabel>(40, 30);
    OnNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<TGetSymbol *>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->SetSelectedIndex(0x80 - 32); // the circled zero
        QTest::mouseClick(dialog->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
    });
    EXPECT_TRUE(symbol->SymbolSelector());
    const QByteArray bytes = WriteObjectList({symbol});
    EXPECT_TRUE(bytes.contains(QByteArray("\x07" "Caption\x06\x01\x80", 11)))
        << bytes.toHex(' ').toStdString();
    EXPECT_TRUE(ObjectsLosingText({symbol}).empty());

    // Every code reads back as the picture the set has for it.
    TGLabelObjectFiler filer;
    for (uint code = 0x80; code < 0xA0; ++code) {
        QByteArray file = bytes;
        file[file.indexOf(QByteArray("Caption\x06\x01", 9)) + 9] = char(code);
        const QList<TStoredObject *> read = filer.ReadObjects(file, owner.get(), nullptr);
        ASSERT_EQ(read.size(), 1);
        auto *copy = static_cast<TGSymbolLabel *>(read.first());
        EXPECT_EQ(SymbolCodeOf(copy->Caption().at(0)), code);
        const char32_t picture = SymbolCodeToUnicode(TSymbolSet::Wingdings, code);
        const QString expected = picture ? QString::fromUcs4(&picture, 1) : QStringLiteral(" ");
        EXPECT_EQ(SymbolDrawnText(copy->LabelFont().ToQFont(), copy->Caption()).text, expected)
            << std::hex << code;
        // The selector opens on the code it was read with.
        OnNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<TGetSymbol *>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->SelectedIndex(), int(code) - 32);
            QTest::mouseClick(dialog->findChild<QPushButton *>("CancelButton"), Qt::LeftButton);
        });
        copy->SymbolSelector();
        EXPECT_TRUE(WriteObjectList({copy}).contains(QByteArray("Caption\x06\x01", 9) + char(code)))
            << std::hex << code;
        delete copy;
    }
    EXPECT_EQ(SymbolCodeToUnicode(TSymbolSet::Wingdings, 0x80), U'\u24EA');
}

TEST(SymbolSelector, ColumnsFollowTheGridFontSize)
{
    const std::pair<int, int> table[] = {{5, 1},  {6, 14}, {10, 14}, {11, 10}, {20, 10}, {21, 8},
                                         {30, 8}, {31, 6}, {40, 6},  {41, 4},  {50, 4},  {51, 3},
                                         {60, 3}, {61, 2}, {72, 2},  {73, 1},  {0, 1},   {-8, 1}};
    for (const auto &[points, columns] : table)
        EXPECT_EQ(TGetSymbol::ColumnsForPointSize(points), columns) << points;

    EXPECT_EQ(TGetSymbol::FontDescription("Wingdings", 20, false, false), "Wingdings, 20pt ");
    EXPECT_EQ(TGetSymbol::FontDescription("Symbol", 12, true, false), "Symbol, 12pt Bold ");
    EXPECT_EQ(TGetSymbol::FontDescription("Symbol", 12, true, true), "Symbol, 12pt Italic ");
    EXPECT_EQ(TGetSymbol::FontDescription("Symbol", 9, false, true), "Symbol, 9pt Italic ");

    // A new dialog: the grid in Wingdings at 20 points, nothing chosen.
    TGetSymbol dialog;
    EXPECT_EQ(dialog.findChild<QPushButton *>("FontButton")->text(), "Wingdings, 20pt ");
    EXPECT_EQ(dialog.findChild<QLabel *>("FontLabel")->text(), "&Font");
    EXPECT_FALSE(dialog.findChild<QLabel *>("FontHolder")->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.SelectedIndex(), -1);
    dialog.SetSelectedIndex(300); // a caption beyond the font's codes
    EXPECT_EQ(dialog.SelectedIndex(), -1);
}
