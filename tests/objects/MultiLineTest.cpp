#include "ObjectsFixture.h"
#include "objects/Gpmlabel.h"

#include <QFont>
#include <QFontMetrics>

using MultiLineTest = ObjectTest;

TEST_F(MultiLineTest, TableDefaultsAndCreationValues)
{
    TGMultiLineLabel label;
    const QStringList names =
        BaseNames() + QStringList({"Items", "AutoSize", "Alignment", "Font", "WordWrap"});
    EXPECT_EQ(TableNames(label), names);
    TGMultiLineBaseLabel base;
    EXPECT_EQ(TableNames(base), names);
    EXPECT_EQ(TGMultiLineLabel::staticMetaObject.superClass(),
              &TGMultiLineBaseLabel::staticMetaObject);

    EXPECT_EQ(Entry(label, "Items").kind, TPropertyKind::Object);
    EXPECT_FALSE(Entry(label, "AutoSize").defaultValue.has_value());
    const TPropertyDescriptor &alignment = Entry(label, "Alignment");
    EXPECT_EQ(alignment.identifiers, QStringList({"taLeftJustify", "taRightJustify", "taCenter"}));
    EXPECT_EQ(alignment.defaultValue, 0);
    EXPECT_EQ(Entry(label, "WordWrap").defaultValue, 0);

    EXPECT_EQ(label.Width(), 190);
    EXPECT_EQ(label.Height(), 33);
    EXPECT_TRUE(label.Lines().isEmpty());
    EXPECT_FALSE(label.AutoSize());
    EXPECT_FALSE(label.WordWrap());
    EXPECT_EQ(label.Alignment(), TGMultiLineBaseLabel::taLeftJustify);
    EXPECT_EQ(label.Font()->Name(), "Arial");
    EXPECT_EQ(label.Font()->Size(), 10);
    // The font set at creation makes the font a stored property.
    EXPECT_FALSE(label.ParentFont());
    EXPECT_TRUE(Entry(label, "Font").IsStored(label));
}

TEST_F(MultiLineTest, SettersReportOnceAndIgnoreSameOrInvalidValues)
{
    auto *label = Place<TGMultiLineLabel>(10, 10, 190, 60);
    EXPECT_EQ(REPORTS(label->SetItems({"Acme Ltd", "1 Long Road"})), 1);
    EXPECT_EQ(label->Lines(), QStringList({"Acme Ltd", "1 Long Road"}));
    EXPECT_EQ(REPORTS(label->SetItems({"Acme Ltd", "1 Long Road"})), 0);
    EXPECT_EQ(REPORTS(label->Items()->SetLines({"Other"})), 1);

    EXPECT_EQ(REPORTS(label->SetAlignment(TGMultiLineBaseLabel::taCenter)), 1);
    EXPECT_EQ(REPORTS(label->SetAlignment(TGMultiLineBaseLabel::taCenter)), 0);
    EXPECT_EQ(REPORTS(label->SetAlignment(static_cast<TGMultiLineBaseLabel::TAlignment>(3))), 0);
    EXPECT_EQ(label->Alignment(), TGMultiLineBaseLabel::taCenter);

    EXPECT_EQ(REPORTS(label->SetAutoSize(true)), 1);
    EXPECT_EQ(REPORTS(label->SetWordWrap(true)), 1);
    EXPECT_EQ(REPORTS(label->SetWordWrap(true)), 0);
    EXPECT_EQ(REPORTS(label->Font()->SetStyle(fsItalic)), 1);

    label->SetLoading(true);
    EXPECT_EQ(REPORTS(label->SetItems({"read"})), 0);
    EXPECT_EQ(REPORTS(label->SetWordWrap(false)), 0);
    EXPECT_EQ(REPORTS(label->Font()->SetName("Courier New")), 0);
    EXPECT_EQ(label->Lines(), QStringList({"read"}));
    EXPECT_FALSE(label->WordWrap());
}

TEST_F(MultiLineTest, FontChangeTurnsParentFontOffSoTheFontIsStored)
{
    auto *label = Place<TGMultiLineLabel>();
    label->SetParentFont(true);
    EXPECT_FALSE(Entry(*label, "Font").IsStored(*label));
    EXPECT_EQ(REPORTS(label->Font()->SetColor(0x000080)), 1);
    EXPECT_FALSE(label->ParentFont());
    EXPECT_TRUE(Entry(*label, "Font").IsStored(*label));

    label->SetParentFont(true);
    QFont chosen(QStringLiteral("Times New Roman"), 14);
    EXPECT_EQ(REPORTS(label->AssignFont(chosen)), 1);
    EXPECT_FALSE(label->ParentFont());
    EXPECT_EQ(label->Font()->Name(), "Times New Roman");
    EXPECT_EQ(label->Font()->Size(), 14);
    EXPECT_EQ(REPORTS(label->AssignFont(chosen)), 0);

    label->SetParentFont(true);
    TGFont font;
    font.Assign(*label->Font());
    font.SetStyle(fsBold);
    EXPECT_EQ(REPORTS(label->SetFont(font)), 1);
    EXPECT_FALSE(label->ParentFont());
    EXPECT_EQ(label->Font()->Style(), uint32_t(fsBold));
}

TEST_F(MultiLineTest, WordWrapBreaksLinesAtTheWidthAndFollowsResizing)
{
    auto *label = Place<TGMultiLineLabel>(0, 0, 190, 60);
    const QString longLine = QStringLiteral("Design print and delivery of cards for every trade");
    label->SetItems({longLine, QString(), "Short"});
    EXPECT_EQ(label->DisplayLines(), label->Lines()); // unwrapped while WordWrap is off

    label->SetWordWrap(true);
    const QFontMetrics metrics(label->ZoomedFont());
    const QStringList wide = label->DisplayLines();
    ASSERT_GT(wide.size(), 3);
    EXPECT_EQ(wide.mid(wide.size() - 2), QStringList({QString(), "Short"}));
    for (const QString &line : wide)
        EXPECT_LE(metrics.horizontalAdvance(line), label->Width()) << line.toStdString();
    EXPECT_EQ(wide.mid(0, wide.size() - 2).join(' '), longLine);

    // Narrowing re-wraps at once; widening joins the lines again.
    label->SetWidth(90);
    const QStringList narrow = label->DisplayLines();
    EXPECT_GT(narrow.size(), wide.size());
    for (const QString &line : narrow)
        EXPECT_LE(metrics.horizontalAdvance(line), 90) << line.toStdString();
    label->SetWidth(2000);
    EXPECT_EQ(label->DisplayLines(), label->Lines());

    // New text is wrapped as soon as it is set.
    label->SetWidth(90);
    label->SetItems({longLine});
    EXPECT_EQ(label->DisplayLines().join(' '), longLine);
    EXPECT_GT(label->DisplayLines().size(), 1);

    label->SetWordWrap(false);
    EXPECT_EQ(label->DisplayLines(), QStringList({longLine}));
}

TEST_F(MultiLineTest, ZoomedFontScalesTheTruncatedPointSize)
{
    auto *label = Place<TGMultiLineLabel>();
    EXPECT_EQ(label->ZoomedFont().pixelSize(), 13); // 10 points at 96 pixels per inch
    label->SetZoomScale(2.0f);
    EXPECT_EQ(label->ZoomedFont().pixelSize(), 27); // 20 points
    label->SetZoomScale(0.75f);
    // Trunc(10 × 0.75) = 7 points.
    EXPECT_EQ(label->ZoomedFont().pixelSize(), 9);
    EXPECT_EQ(label->Font()->Size(), 10);
}
