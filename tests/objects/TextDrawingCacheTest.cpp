// Text objects keep what they derive from their text between paints (fonts,
// measurements, shaping, outlines). After every change of text, font, size,
// alignment, 3-D depth or zoom, an object painted many times must paint
// exactly what a new object given the same properties paints the first time.
#include "ObjectsFixture.h"
#include "effects/gsstext.h"
#include "objects/Gpmlabel.h"
#include "objects/Gpslabel.h"
#include "objects/gbclabel32.h"

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
