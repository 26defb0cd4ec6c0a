#include "ObjectsFixture.h"
#include "objects/Gprichl.h"

using RichTextTest = ObjectTest;

TEST_F(RichTextTest, TableHasNoDefaultsAndCreationValues)
{
    TGPRichBaseLabel label;
    EXPECT_EQ(TableNames(label),
              BaseNames() + QStringList({"RTFText", "BorderStyle", "Transparent", "BGColor"}));
    for (const char *name : {"RTFText", "BorderStyle", "Transparent", "BGColor"})
        EXPECT_FALSE(Entry(label, name).defaultValue.has_value()) << name;
    EXPECT_EQ(Entry(label, "RTFText").kind, TPropertyKind::Object);
    EXPECT_EQ(Entry(label, "BorderStyle").identifiers, QStringList({"bsNone", "bsSingle"}));
    EXPECT_EQ(Entry(label, "BGColor").identifierTable, TIdentifierTable::Color);

    EXPECT_EQ(label.Width(), 190);
    EXPECT_EQ(label.Height(), 33);
    EXPECT_TRUE(label.RTFText()->IsEmpty());
    EXPECT_EQ(label.BorderStyle(), TGPRichBaseLabel::bsSingle);
    EXPECT_TRUE(label.Transparent());
    EXPECT_EQ(label.BGColor(), 0xFFFFFFu);
}

TEST_F(RichTextTest, SettersReportOnceAndOnlyStoreWhileReading)
{
    auto *label = Place<TGPRichBaseLabel>();
    const QByteArray rtf = QByteArrayLiteral("{\\rtf1\\ansi Hello}");
    EXPECT_EQ(REPORTS(label->SetRTFText(rtf)), 1);
    EXPECT_EQ(label->Rtf(), rtf);
    EXPECT_EQ(REPORTS(label->SetRTFText(rtf)), 0);
    EXPECT_EQ(REPORTS(label->SetBGColor(0x00FFFF)), 1);
    EXPECT_EQ(REPORTS(label->SetBGColor(0x00FFFF)), 0);
    EXPECT_EQ(REPORTS(label->SetTransparent(false)), 1);
    EXPECT_EQ(REPORTS(label->SetBorderStyle(TGPRichBaseLabel::bsNone)), 1);
    EXPECT_EQ(REPORTS(label->SetBorderStyle(static_cast<TGPRichBaseLabel::TBorderStyle>(5))), 0);
    EXPECT_EQ(label->BorderStyle(), TGPRichBaseLabel::bsNone);

    // The colour entry goes through the table as an unsigned colour value.
    TPersistent &asPersistent = *label;
    Entry(*label, "BGColor").setOrdinal(asPersistent, 0x808080);
    EXPECT_EQ(label->BGColor(), 0x808080u);
    EXPECT_EQ(Entry(*label, "BGColor").getOrdinal(*label), 0x808080);

    label->SetLoading(true);
    EXPECT_EQ(REPORTS(label->SetRTFText("{\\rtf1 x}")), 0);
    EXPECT_EQ(REPORTS(label->SetTransparent(true)), 0);
    EXPECT_EQ(REPORTS(label->SetBGColor(0)), 0);
    EXPECT_EQ(label->Rtf(), QByteArray("{\\rtf1 x}"));
    EXPECT_TRUE(label->Transparent());
}
