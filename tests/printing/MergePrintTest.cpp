// Merge printing: one card per record of a spreadsheet or an address book,
// the fields of every text kind filled, the records filling sheet after sheet.
#include "PrintTestSupport.h"
#include "common/MainWindowFixture.h"
#include "common/TestSupport.h"
#include "document/CardModel.h"
#include "document/KindRegistry.h"
#include "document/ProgramFolder.h"
#include "effects/gsstext.h"
#include "objects/Gbarcode.h"
#include "objects/Gpmlabel.h"
#include "objects/Gprichl.h"
#include "objects/gbclabel32.h"
#include "printing/MergeDlg.h"
#include "printing/MergePrint.h"
#include "printing/Printlbl.h"
#include "report/RPFiler.h"
#include "richtext/RichText.h"
#include "richtext/RichTextEngine.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTest>
#include <QTextDocument>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace TestCard;

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// 27 people as a spreadsheet saves them: a title with a comma (quoted), one
// with a line break inside its quotes, accented, Polish and Greek names in
// UTF-8 with a byte order mark, and an empty title.
QStringList TeamNames()
{
    QStringList names;
    for (int i = 1; i <= 27; ++i)
        names << QStringLiteral("Person%1 Example").arg(i);
    names[2] = QStringLiteral("José Álvarez");
    names[7] = QStringLiteral("Łukasz Żółć");
    names[11] = QStringLiteral("Νίκος Παπαδόπουλος");
    names[20] = QStringLiteral("Zoë Brontë");
    return names;
}

QByteArray TeamCsv()
{
    QByteArray csv = "\xEF\xBB\xBFName,Title,Phone\r\n";
    const QStringList names = TeamNames();
    for (int i = 0; i < names.size(); ++i) {
        QByteArray title = "Staff" + QByteArray::number(i + 1);
        if (i == 4)
            title = "\"Sales, North\"";
        else if (i == 9)
            title = "\"Head of\r\nDesign\"";
        else if (i == 13)
            title = "";
        csv += names.at(i).toUtf8() + ',' + title + ",555-01" + QByteArray::number(10 + i) +
               "\r\n";
    }
    return csv;
}

// The corner of the card a word lies on: the card whose area holds it.
QPoint CardOf(const TPdfWord &word)
{
    const int column = int(std::floor((word.inches.left() - 0.75) / 3.5));
    const int row = int(std::floor((word.inches.top() - 0.5) / 2.0));
    return QPoint(column, row);
}

class MergePrintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(ProgramFolder()).removeRecursively();
        QDir().mkpath(ProgramFolder());
        design = dir.filePath("team.TSC");
        pdf = dir.filePath("team.pdf");
    }

    // A card with the name on top and the title under it.
    void WriteTeamDesign(const QString &name = QStringLiteral("${Name}"),
                         const QString &title = QStringLiteral("${Title}"))
    {
        TCardModel model;
        TRichTextEngine::EnsureMaster(&model);
        auto place = [&](const QString &caption, int top) {
            auto *label = new TGBusinessCardLabel(model.Owner());
            label->MakeReady();
            label->SetCaption(caption);
            label->SetAlignment(taLeftJustify);
            label->Font()->SetName(QStringLiteral("Arial"));
            label->Font()->SetSize(12);
            label->SetBounds(LabelLeft, top, 150, 24);
            model.Insert(label);
        };
        place(name, LabelTop);
        place(title, LabelTop + 48);
        model.Save(design);
    }

    QTemporaryDir dir;
    QString design;
    QString pdf;
};

} // namespace

// The whole team on the 2 x 5 sheet: three pages, each record's name on its
// own card in record order, the names extracted exactly as written, the title
// with a line break on one line, and nothing where a title is empty.
TEST_F(MergePrintTest, ASpreadsheetOfTwentySevenPrintsThreeSheetsInRecordOrder)
{
    WriteTeamDesign();
    const QString csv = dir.filePath("team.csv");
    WriteFile(csv, TeamCsv());
    const TBatchRun run = RunBatch({"print", design, "--merge", csv, "-o", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("27 records: 3 sheets")) << run.out.toStdString();
    ASSERT_EQ(PdfPageCount(pdf), 3);

    const QList<TPdfWord> words = PdfWords(pdf);
    const QStringList names = TeamNames();
    for (int record = 0; record < names.size(); ++record) {
        const int page = record / 10 + 1;
        const QPoint card((record % 10) % 2, (record % 10) / 2);
        const QStringList parts = names.at(record).split(' ');
        for (const QString &part : parts) {
            const auto found = std::find_if(words.cbegin(), words.cend(), [&](const TPdfWord &w) {
                return w.text == part && w.page == page && CardOf(w) == card;
            });
            EXPECT_NE(found, words.cend()) << "record " << record + 1 << ": " << part.toStdString();
        }
    }
    // "Head of / Design" is one line of its label; "Sales, North" keeps its comma.
    QList<TPdfWord> design10, sales5, card14;
    for (const TPdfWord &w : words) {
        if (w.page == 1 && CardOf(w) == QPoint(1, 4))
            design10 << w;
        if (w.page == 1 && CardOf(w) == QPoint(0, 2))
            sales5 << w;
        if (w.page == 2 && CardOf(w) == QPoint(1, 1))
            card14 << w;
    }
    QStringList texts10, texts5, texts14;
    for (const TPdfWord &w : design10)
        texts10 << w.text;
    for (const TPdfWord &w : sales5)
        texts5 << w.text;
    for (const TPdfWord &w : card14)
        texts14 << w.text;
    EXPECT_EQ(texts10, QStringList({"Person10", "Example", "Head", "of", "Design"}));
    EXPECT_EQ(texts5, QStringList({"Person5", "Example", "Sales,", "North"}));
    EXPECT_EQ(texts14, QStringList({"Person14", "Example"})) << "the empty title printed";
    ASSERT_EQ(design10.size(), 5);
    EXPECT_NEAR(design10.at(2).inches.top(), design10.at(4).inches.top(), 0.01);
    // The last sheet holds records 21 to 27 and nothing after them.
    int lastPageNames = 0;
    for (const TPdfWord &w : words)
        lastPageNames += w.page == 3 && w.text.startsWith("Staff") ? 1 : 0;
    EXPECT_EQ(lastPageNames, 7);
}

// A phone's address book: five contacts, folded lines and quoted-printable
// names, one card each.
TEST_F(MergePrintTest, AnAddressBookPrintsOneCardPerContact)
{
    WriteTeamDesign(QStringLiteral("${FullName}"), QStringLiteral("${Mobile}"));
    const QString vcf = dir.filePath("contacts.vcf");
    WriteFile(vcf,
              "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:"
              "M=C3=BCller;J=C3=BCrgen;;;\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:"
              "J=C3=BCrgen M=C3=BC=\r\nller\r\nTEL;CELL:+49 170 1234567\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ada\r\n  Lovelace\r\nTEL;TYPE=CELL:+44 "
              "7700 900001\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Hopper;Grace;;;\r\nTEL;TYPE=CELL:+1 555 "
              "0100\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Alan Turing\r\nTEL;VALUE=uri;TYPE=cell:"
              "tel:+44-20-7946-0000\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Émilie du Châtelet\r\nPHOTO;ENCODING=b;"
              "TYPE=JPEG:/9j/4AAQSkZJRgABAQ\r\n AAAQABAAD/2wBDAAMCAgICAgMCAgIDAwMDBAYEBAQE\r\n"
              "TEL;TYPE=CELL:+33 6 12 34 56 78\r\nEND:VCARD\r\n");
    const TBatchRun run = RunBatch({"print", design, "--merge", vcf, "-o", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("5 records: 1 sheet")) << run.out.toStdString();
    const QList<TPdfWord> words = PdfWords(pdf);
    const QList<QStringList> expected{{"Jürgen", "Müller"}, {"Ada", "Lovelace"},
                                      {"Grace", "Hopper"},  {"Alan", "Turing"},
                                      {"Émilie", "du", "Châtelet"}};
    for (int record = 0; record < expected.size(); ++record) {
        QStringList found;
        for (const TPdfWord &w : words)
            if (CardOf(w) == QPoint(record % 2, record / 2) && w.inches.top() < 0.5 + 2.0 *
                                                                                   (record / 2) + 0.6)
                found << w.text;
        EXPECT_EQ(found, expected.at(record)) << "contact " << record + 1;
    }
    EXPECT_EQ(PdfPageCount(pdf), 1);

    // For a print shop: a page per contact.
    const QString shop = dir.filePath("shop.pdf");
    const TBatchRun exported = RunBatch({"export", design, "--merge", vcf, "-o", shop});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    ASSERT_EQ(PdfPageCount(shop), 5);
    QStringList third;
    for (const TPdfWord &w : PdfWords(shop))
        if (w.page == 3)
            third << w.text;
    EXPECT_EQ(third, QStringList({"Grace", "Hopper", "+1", "555", "0100"}));
}

// Data that cannot be read prints nothing, and says where it went wrong; a
// field without a column prints empty and is named with its object.
TEST_F(MergePrintTest, DamagedDataPrintsNothingAndUnknownFieldsAreNamed)
{
    WriteTeamDesign(QStringLiteral("${Name}"), QStringLiteral("${Titel}"));
    const QString csv = dir.filePath("bad.csv");
    WriteFile(csv, "Name,Title\nAnna,Boss\nBen,\"Clerk\nCarl,Cook\n");
    TBatchRun run = RunBatch({"print", design, "--merge", csv, "-o", pdf});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Line 3")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Nothing was printed")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));

    WriteFile(csv, QByteArray("Name,Title\nAnna,Boss\nB\0en,Clerk\n", 29));
    run = RunBatch({"print", design, "--merge", csv, "-o", pdf});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Line 3")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));

    // The back's fields are filled from the same record.
    WriteFile(csv, "Name,Title\nAnna,Boss\n");
    WriteDesign(BackSidePath(design), "${Title}");
    run = RunBatch({"print", design, "--merge", csv, "-o", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("${Titel} in Component1")) << run.err.toStdString();
    QStringList front, back;
    for (const TPdfWord &w : PdfWords(pdf))
        (w.page == 1 ? front : back) << w.text;
    EXPECT_EQ(front, QStringList({"Anna"}));
    EXPECT_EQ(back, QStringList({"Boss"}));
}

// The fields of every text kind, filled on a copy: each record starts from
// the design as written, grown text keeps the side it is aligned to, and the
// design itself never changes.
TEST(MergeCardsTest, EveryTextKindTakesTheRecordAndTheDesignStaysAsWritten)
{
    TCardModel design;
    TRichTextEngine::EnsureMaster(&design);
    auto *right = new TGBusinessCardLabel(design.Owner());
    right->MakeReady();
    right->SetName("Right");
    right->SetCaption("${Name}");
    right->SetAlignment(taRightJustify);
    right->SetBounds(200, 10, 80, 20);
    design.Insert(right);
    auto *lines = new TGMultiLineLabel(design.Owner());
    lines->MakeReady();
    lines->SetName("Lines");
    lines->SetItems({"${Address}", "Tel. ${Phone}"});
    lines->SetBounds(10, 60, 200, 60);
    design.Insert(lines);
    auto *code = new TGBarcode(design.Owner());
    code->MakeReady();
    code->SetName("Code");
    code->SetData("mailto:${Email}");
    design.Insert(code);
    auto *super = new TGSuperText(design.Owner());
    super->MakeReady();
    super->SetName("Super");
    super->SetCaption("$${Name} is ${Name}");
    design.Insert(super);
    auto *rich = new TGPRichBaseLabel(design.Owner());
    rich->MakeReady();
    rich->SetName("Rich");
    {
        TRichText text;
        QTextCursor cursor(text.Document());
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText("Dear ");
        cursor.insertText("${Name}", bold);
        cursor.insertText(", ${Nope}");
        rich->SetRTFText(text.SaveRtf());
    }
    design.Insert(rich);
    const QByteArray written = design.DesignBytes();

    TMergeTable table;
    table.Columns = {"Name", "Address", "Phone", "Email"};
    table.Records = {{"Maximilian Alexander Schwarzenberger", "1 Main St\nSpringfield", "555",
                      "max@example.com"},
                     {"Bo", "", "", "bo@example.com"}};
    TMergeCards cards(design, nullptr, table, {0, 1});
    EXPECT_TRUE(cards.HasFields());
    EXPECT_EQ(cards.UnknownFields(), QStringList({"${Nope} in Rich"}));
    const QList<TStoredObject *> shown = cards.Front().Objects();
    auto *shownRight = static_cast<TGBusinessCardLabel *>(shown.at(0));
    auto *shownLines = static_cast<TGMultiLineLabel *>(shown.at(1));
    auto *shownCode = static_cast<TGBarcode *>(shown.at(2));
    auto *shownSuper = static_cast<TGSuperText *>(shown.at(3));
    auto *shownRich = static_cast<TGPRichBaseLabel *>(shown.at(4));

    cards.Show(0);
    EXPECT_EQ(shownRight->Caption(), "Maximilian Alexander Schwarzenberger");
    EXPECT_GT(shownRight->Width(), 80);
    EXPECT_EQ(shownRight->Left() + shownRight->Width(), 280) << "grew away from its right edge";
    EXPECT_EQ(shownLines->Lines(), QStringList({"1 Main St", "Springfield", "Tel. 555"}));
    EXPECT_EQ(shownCode->Data(), "mailto:max@example.com");
    EXPECT_EQ(shownSuper->Caption(), "${Name} is Maximilian Alexander Schwarzenberger");
    QTextDocument *doc = shownRich->Content().Document();
    EXPECT_EQ(doc->toPlainText(), "Dear Maximilian Alexander Schwarzenberger, ");
    QTextCursor at(doc);
    at.setPosition(7);
    EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold) << "the field's format was lost";

    cards.Show(1);
    EXPECT_EQ(shownRight->Caption(), "Bo");
    EXPECT_EQ(shownRight->Left(), 200) << "the last record's growth carried over";
    EXPECT_EQ(shownRight->Width(), 80);
    EXPECT_EQ(shownLines->Lines(), QStringList({"", "Tel. "}));
    EXPECT_EQ(shownRich->Content().Document()->toPlainText(), "Dear Bo, ");
    EXPECT_EQ(design.DesignBytes(), written) << "the design changed";
}

namespace {

class MergeWindowTest : public TMainWindowFixture
{
protected:
    QString OpenTeamDesign()
    {
        const QString design = TMainScreen::SavedFolder() + "team.tsc";
        TCardModel model;
        auto *label = new TGBusinessCardLabel(model.Owner());
        label->MakeReady();
        label->SetName("Component1");
        label->SetCaption("${Name}");
        label->Font()->SetName("Arial");
        label->Font()->SetSize(14);
        label->SetBounds(LabelLeft, LabelTop, 200, 30);
        model.Insert(label);
        model.Save(design);
        window->OpenBCFile(design);
        return design;
    }
    QStringList ShownCaptions() const
    {
        QStringList captions;
        for (TGGraphicControl *object : window->BusinessCardPanel()->Objects())
            if (auto *label = qobject_cast<TGBaseLabel *>(object))
                captions << label->Caption();
        return captions;
    }
};

QStringList WordsOf(const QString &pdf)
{
    QStringList texts;
    for (const TPdfWord &w : PdfWords(pdf))
        texts << w.text;
    return texts;
}

} // namespace

// File > Merge Data chooses the file and the records, kept beside the design
// (the design file itself unchanged); View > Show Merged Record steps through
// the ticked records without letting the design be edited; Print to PDF
// prints the ticked records only.
TEST_F(MergeWindowTest, TheChosenDataIsKeptShownRecordByRecordAndPrinted)
{
    Start();
    const QString design = OpenTeamDesign();
    ASSERT_TRUE(window->SaveBCFile(design));
    QFile designFile(design);
    ASSERT_TRUE(designFile.open(QIODevice::ReadOnly));
    const QByteArray designBytes = designFile.readAll();
    designFile.close();
    const QString csv = TMainScreen::SavedFolder() + "team.csv";
    WriteFile(csv, "Name,Title\nAnna,Boss\nBen,Clerk\nCarla,Cook\n");

    WhenModal([](QWidget *w) { return qobject_cast<TMergeDataDialog *>(w) != nullptr; },
              [&](QWidget *w) {
                  auto *dialog = static_cast<TMergeDataDialog *>(w);
                  EXPECT_TRUE(dialog->LoadFile(csv));
                  EXPECT_EQ(dialog->RecordList->rowCount(), 3);
                  EXPECT_EQ(dialog->RecordList->item(1, 1)->text(), "Ben");
                  dialog->RecordList->item(1, 0)->setCheckState(Qt::Unchecked);
                  EXPECT_TRUE(dialog->Summary->text().contains("2 ticked"))
                      << dialog->Summary->text().toStdString();
                  dialog->OKButton->click();
              });
    window->mnuMergeDataClick();
    EXPECT_EQ(window->FrontModel().MergeSource().DataFile, QFileInfo(csv).absoluteFilePath());
    EXPECT_EQ(window->FrontModel().MergeSource().Skipped, QList<int>({1}));
    EXPECT_TRUE(window->ChangesMade());
    ASSERT_TRUE(window->SaveBCFile(design));
    ASSERT_TRUE(designFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(designFile.readAll(), designBytes) << "the design file changed";
    designFile.close();
    QFile sidecar(SidecarPath(design));
    ASSERT_TRUE(sidecar.open(QIODevice::ReadOnly));
    const QByteArray lines = sidecar.readAll();
    EXPECT_TRUE(lines.startsWith("\r\n")) << "no art comes first";
    EXPECT_TRUE(lines.endsWith("\r\n;merge team.csv\r\n;merge-skip 1\r\n")) << lines.data();
    sidecar.close();
    window->OpenBCFile(design);
    EXPECT_EQ(window->FrontModel().MergeSource().Skipped, QList<int>({1}));

    auto *caption = window->findChild<QLabel *>("RecordCaption");
    ASSERT_NE(caption, nullptr);
    window->ShowMergedRecord(true);
    EXPECT_EQ(ShownCaptions(), QStringList({"Anna"}));
    EXPECT_EQ(caption->text(), "Record 1 of 2");
    EXPECT_FALSE(window->BusinessCardPanel()->isEnabled());
    window->findChild<QToolButton *>("NextRecordButton")->click();
    EXPECT_EQ(ShownCaptions(), QStringList({"Carla"})) << "the unticked record showed";
    window->findChild<QToolButton *>("NextRecordButton")->click();
    EXPECT_EQ(caption->text(), "Record 2 of 2");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->windowHandle(), Qt::Key_Home, Qt::AltModifier);
    EXPECT_EQ(ShownCaptions(), QStringList({"Anna"})) << "Alt+Home";
    window->ShowMergedRecord(false);
    EXPECT_EQ(ShownCaptions(), QStringList({"${Name}"}));
    EXPECT_TRUE(window->BusinessCardPanel()->isEnabled());
    EXPECT_FALSE(window->ChangesMade()) << "showing records changed the design";

    const QString pdf = dir.filePath("team.pdf");
    WhenModal(
        [](QWidget *w) {
            auto *status = qobject_cast<TLabelPrinter *>(w);
            return status && status->JobRan();
        },
        [](QWidget *w) { static_cast<TLabelPrinter *>(w)->CancelButton->click(); });
    ASSERT_TRUE(window->PrintToPdf(pdf));
    EXPECT_EQ(WordsOf(pdf), QStringList({"Anna", "Carla"}));
}

// The preview of a merged job shows every sheet whole, each card its record.
TEST(MergePreviewTest, ThePreviewShowsEverySheetOfTheRecords)
{
    TCardModel design;
    TRichTextEngine::EnsureMaster(&design);
    auto *label = new TGBusinessCardLabel(design.Owner());
    label->MakeReady();
    label->SetCaption("${Name}");
    label->SetBounds(LabelLeft, LabelTop, 200, 30);
    design.Insert(label);
    TMergeTable table;
    table.Columns = {"Name"};
    for (int i = 1; i <= 12; ++i)
        table.Records.append({QStringLiteral("Person%1").arg(i)});
    TMergeCards cards(design, nullptr, table, AllRecords(table));

    TLabelPrinter job;
    job.ObjectsFromPanel = false;
    TSheetRenderer &renderer = job.Renderer();
    renderer.SetLayout(TCardLayout(), TPrinterNudges());
    renderer.ToPrinter = false;
    renderer.Objects = cards.FrontObjects();
    renderer.MergeCards = cards.Count();
    QStringList shown;
    renderer.OnMergeCard = [&](int card) {
        cards.Show(card);
        shown << static_cast<TGBusinessCardLabel *>(cards.Front().Objects().first())->Caption();
    };
    job.RunJob();
    EXPECT_FALSE(job.Failed()) << job.ErrorMessage().toStdString();
    EXPECT_EQ(renderer.CardsDrawn(), 12);
    EXPECT_EQ(shown.first(), "Person1");
    EXPECT_EQ(shown.last(), "Person12");
    TRecordedReport recording;
    ASSERT_TRUE(ReadRecordedReport(job.Recording(), recording));
    EXPECT_EQ(recording.Pages.size(), 2);
    EXPECT_TRUE(job.RStatusLabel->text().contains("12 records: 2 sheets"))
        << job.RStatusLabel->text().toStdString();
}
