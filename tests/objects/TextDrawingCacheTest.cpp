// Text objects keep what they derive from their text between paints (fonts,
// measurements, shaping, outlines). After every change of text, font, size,
// alignment, 3-D depth or zoom, an object painted many times must paint
// exactly what a new object given the same properties paints the first time.
#include "ObjectsFixture.h"
#include "effects/gsstext.h"
#include "objects/Gpmlabel.h"
#include "objects/Gpslabel.h"
#include "objects/gbclabel32.h"
#include "surface/Gbcpanel32.h"

#include <QImage>
#include <QPainter>
#include <functional>

namespace {

// Paints the object as the surface does (layout first) onto a white canvas of its size.
QImage Render(TGGraphicControl &object)
{
    object.UpdateLayout();
    QImage image(std::max(1, object.Width()), std::max(1, object.Height()), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    object.Paint(painter);
    return image;
}

} // namespace

class TextDrawingCacheTest : public ObjectTest
{
protected:
    // Applies the steps one by one to an object painted after each (three
    // times, so the kept drawing is used), and compares it after each step
    // with a new object that got the same steps without being painted.
    template <class T> void ExpectKeptDrawingFollows(const QList<std::function<void(T &)>> &steps)
    {
        T *worn = Place<T>(10, 10);
        for (int i = 0; i < 3; ++i)
            Render(*worn);
        for (qsizetype step = 0; step < steps.size(); ++step) {
            steps[step](*worn);
            for (int i = 0; i < 2; ++i)
                Render(*worn);
            T *fresh = Place<T>(10, 10);
            for (qsizetype s = 0; s <= step; ++s)
                steps[s](*fresh);
            // Both at the same bounds, which the layout then corrects alike.
            fresh->SetBounds(worn->Left(), worn->Top(), worn->Width(), worn->Height());
            const QImage expected = Render(*fresh);
            const QImage kept = Render(*worn);
            EXPECT_EQ(kept, expected) << "after step " << step;
            surface->FreeObject(fresh);
        }
    }
};

TEST_F(TextDrawingCacheTest, SingleLineLabelFollowsTextFontDepthsAndZoom)
{
    using L = TGBusinessCardLabel;
    ExpectKeptDrawingFollows<L>({
        [](L &l) { l.SetCaption(QStringLiteral("Acme Design Ltd")); },
        [](L &l) { l.Font()->SetSize(16); },
        [](L &l) { l.Font()->SetStyle(fsBold | fsItalic); },
        [](L &l) { l.SetAlignment(taCenter); },
        [](L &l) {
            l.SetDepthShadow(3);
            l.SetDirectionShadow(sdDownLeft);
            l.SetDepthHighlight(1);
        },
        [](L &l) { l.SetZoomScale(1.5f); },
        [](L &l) { l.Font()->SetName(QStringLiteral("Times New Roman")); },
        [](L &l) { l.Font()->SetStyle(fsUnderline); },
        [](L &l) { l.Font()->SetStyle(0); },
        [](L &l) { l.SetAngle(90); },
        [](L &l) { l.SetZoomScale(0.75f); },
        [](L &l) { l.SetCaption(QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd and more")); },
    });
}

TEST_F(TextDrawingCacheTest, SymbolLabelFollowsItsCharacter)
{
    using S = TGSymbolLabel;
    ExpectKeptDrawingFollows<S>({
        [](S &s) { s.SetCaption(QStringLiteral("J")); },
        [](S &s) { s.Font()->SetSize(30); },
        [](S &s) { s.SetZoomScale(2.0f); },
        [](S &s) { s.SetCaption(QStringLiteral("+")); },
    });
}

TEST_F(TextDrawingCacheTest, MultiLineLabelFollowsLinesFontAlignmentAndZoom)
{
    using M = TGMultiLineLabel;
    ExpectKeptDrawingFollows<M>({
        [](M &m) { m.SetBounds(m.Left(), m.Top(), 160, 90); },
        [](M &m) {
            m.SetItems({QStringLiteral("Acme Design"), QStringLiteral("12 High St")});
        },
        [](M &m) { m.SetAlignment(TGMultiLineBaseLabel::taRightJustify); },
        [](M &m) { m.Font()->SetSize(14); },
        [](M &m) { m.SetWordWrap(true); },
        [](M &m) { m.SetZoomScale(1.5f); },
        [](M &m) {
            m.SetItems({QStringLiteral("One"), QString(), QStringLiteral("Three")});
        },
        [](M &m) { m.SetItems({}); }, // the "<blank>" placeholder
        [](M &m) { m.Font()->SetStyle(fsItalic); },
    });
}

TEST_F(TextDrawingCacheTest, SuperTextFollowsCaptionFontShadowWidthAndZoom)
{
    using S = TGSuperText;
    ExpectKeptDrawingFollows<S>({
        [](S &s) { s.SetSurfaceType(TGSuperText::stNormal); },
        [](S &s) { s.SetCaption(QStringLiteral("Acme")); },
        [](S &s) {
            s.SetShadowDepth(4);
            s.SetShadowOrientation(TGSuperText::sdLeft);
        },
        [](S &s) { s.Font()->SetSize(30); },
        // A narrower object cuts the caption shorter.
        [](S &s) { s.SetBounds(s.Left(), s.Top(), 90, s.Height()); },
        [](S &s) { s.SetCaption(QStringLiteral("Acme Brothers")); },
        [](S &s) { s.SetZoomScale(1.5f); },
        [](S &s) { s.SetOutlineWidth(2); },
        [](S &s) { s.SetBounds(s.Left(), s.Top(), 400, s.Height()); },
    });
}

TEST_F(TextDrawingCacheTest, SuperTextOutlinesAreKeptForEachPlace)
{
    auto *text = Place<TGSuperText>();
    text->SetCaption(QStringLiteral("Acme"));
    const TRect shadow{12, 9, 200, 60};
    const TRect main{5, 3, 200, 60};
    // Asked for in the order a paint asks: shadow, text, the text's outline.
    for (int round = 0; round < 3; ++round) {
        const QRectF atShadow = text->CaptionPath(text->Caption(), shadow).boundingRect();
        const QRectF atMain = text->CaptionPath(text->Caption(), main).boundingRect();
        ASSERT_FALSE(atMain.isEmpty());
        EXPECT_NEAR(atShadow.left() - atMain.left(), 7.0, 0.01) << "round " << round;
        EXPECT_NEAR(atShadow.top() - atMain.top(), 6.0, 0.01) << "round " << round;
        // Another caption at the same place is outlined anew.
        EXPECT_LT(text->CaptionPath(QStringLiteral("Ac"), main).boundingRect().width(),
                  atMain.width());
    }
}

namespace {

// A card of every text kind: labels turned and with 3-D copies, multi-line
// labels wrapped and aligned, a symbol label and a super text with a shadow.
void FillMixedCard(TGBusinessCardPanel32 &card, QObject *owner)
{
    for (int i = 0; i < 8; ++i) {
        auto *label = new TGBusinessCardLabel(owner);
        label->MakeReady();
        card.PlaceObject(label, TRect::FromBounds(6 + (i % 4) * 80, 6 + (i / 4) * 45, 76, 24));
        label->SetCaption(QStringLiteral("Label %1 gjÄ").arg(i));
        label->SetDepthShadow(i % 3);
        label->SetDepthHighlight((i + 1) % 3);
        label->SetAlignment(TAlignment(i % 3));
        if (i >= 5)
            label->SetAngle((i - 4) * 90);
    }
    for (int i = 0; i < 2; ++i) {
        auto *lines = new TGMultiLineLabel(owner);
        lines->MakeReady();
        card.PlaceObject(lines, TRect::FromBounds(6 + i * 110, 100, 105, 50));
        lines->SetItems({QStringLiteral("First line"), QStringLiteral("A second, longer line")});
        lines->SetAlignment(TGMultiLineBaseLabel::TAlignment(i + 1));
        lines->SetWordWrap(i == 0);
    }
    auto *symbol = new TGSymbolLabel(owner);
    symbol->MakeReady();
    card.PlaceObject(symbol, TRect::FromBounds(230, 100, 30, 30));
    auto *super = new TGSuperText(owner);
    super->MakeReady();
    card.PlaceObject(super, TRect::FromBounds(6, 150, 300, 40));
    super->SetCaption(QStringLiteral("Acme"));
    super->SetShadowDepth(3);
    super->SetFont([] {
        TGFont font;
        font.SetSize(20);
        return font;
    }());
}

QImage PaintWhole(TGBusinessCardPanel32 &card)
{
    QImage image(card.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    card.PaintCard(painter, false);
    return image;
}

} // namespace

TEST_F(TextDrawingCacheTest, AMixedCardPaintsAlikeFromWhatItKept)
{
    FillMixedCard(*surface, owner.get());
    const QList<float> zooms = {1.0f, 1.5f, 0.7f, 1.0f};
    for (qsizetype step = 0; step < zooms.size(); ++step) {
        surface->SetZoom(zooms[step]);
        PaintWhole(*surface);
        const QImage kept = PaintWhole(*surface);
        // The same card built anew and taken through the same zooms (each
        // laid out, as a paint would) paints its first picture without
        // anything kept from an earlier one.
        QObject otherOwner;
        TGBusinessCardPanel32 fresh;
        fresh.SetOwner(&otherOwner);
        fresh.setFixedSize(336, 192);
        FillMixedCard(fresh, &otherOwner);
        for (qsizetype s = 0; s <= step; ++s) {
            fresh.SetZoom(zooms[s]);
            for (TGGraphicControl *object : fresh.Objects())
                object->UpdateLayout();
        }
        for (qsizetype i = 0; i < fresh.Objects().size(); ++i)
            ASSERT_EQ(fresh.Objects().at(i)->BoundsRect(), surface->Objects().at(i)->BoundsRect())
                << "object " << i << " at step " << step;
        EXPECT_EQ(kept, PaintWhole(fresh)) << "at zoom " << zooms[step];
    }
}

TEST_F(TextDrawingCacheTest, AddedFontsMakeTheKeptTextStale)
{
    // Text kept before fonts were added (and the symbol families looked up
    // again) is not what the text would draw now.
    TGFont font;
    const TTextKey before = TTextKey::Of(font, 1.0f, QStringLiteral("J"));
    EXPECT_EQ(TTextKey::Of(font, 1.0f, QStringLiteral("J")), before);
    ResetSymbolFontCache();
    EXPECT_FALSE(TTextKey::Of(font, 1.0f, QStringLiteral("J")) == before);
}
