// Labels read from hostile files: every stored value lays out to a size that
// stays put, on the card and on paper, and nothing is lost from what was stored.
#include "common/TestSupport.h"
#include "document/Filer.h"
#include "document/ObjectStream.h"
#include "objects/gbclabel32.h"
#include "report/RPFiler.h"
#include "shell/CardKinds.h"
#include "surface/Gbcpanel32.h"

#include <QPainter>
#include <climits>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct THostileCase
{
    const char *what;
    std::function<void(TGBusinessCardLabel &)> set;
};

TEST(HostileLabel, EveryStoredValueLaysOutToASizeThatStaysPut)
{
    const QString longCaption(1 << 20, QLatin1Char('W'));
    const std::vector<THostileCase> cases = {
        {"font 20000 pixels", [](TGBusinessCardLabel &l) { l.Font()->SetHeight(-20000); }},
        {"font height at the integer limit",
         [](TGBusinessCardLabel &l) { l.Font()->SetHeight(INT_MIN); }},
        {"turned, deepest copies, huge bounds",
         [](TGBusinessCardLabel &l) {
             l.SetAngle(90);
             l.SetDepthShadow(INT_MIN);
             l.SetDepthHighlight(INT_MAX);
             l.SetDirectionShadow(sdDown);
             l.SetDirectionHighlight(hdUp);
             l.SetBounds(INT_MAX, INT_MIN, INT_MAX, INT_MAX);
         }},
        {"negative depths that shrink the line to nothing",
         [](TGBusinessCardLabel &l) {
             l.SetDepthShadow(-5000);
             l.SetDepthHighlight(-5000);
             l.SetBounds(0, 0, 3, 3);
         }},
        {"a megabyte of caption", [&](TGBusinessCardLabel &l) { l.SetCaption(longCaption); }},
    };
    for (const THostileCase &c : cases) {
        QObject owner;
        TGBusinessCardPanel32 panel;
        panel.SetOwner(&owner);
        panel.setFixedSize(336, 192);
        TGBusinessCardLabel *label = ReadBackAsStored<TGBusinessCardLabel>(&owner, c.set);
        ASSERT_NE(label, nullptr) << c.what;
        label->SetParent(&panel);
        QImage card(panel.size(), QImage::Format_RGB32);
        auto paint = [&] {
            QPainter painter(&card);
            panel.PaintCard(painter, false);
        };
        paint();
        const TRect settled = label->BoundsRect();
        // Later paints change nothing: a relayout that moved the bounds would
        // ask for another paint, for ever.
        int changes = 0;
        panel.LabelChangedEvent = [&](QObject *) { ++changes; };
        paint();
        paint();
        EXPECT_EQ(changes, 0) << c.what;
        EXPECT_EQ(label->BoundsRect(), settled) << c.what;
        EXPECT_GT(label->Width(), 0) << c.what;
        EXPECT_GT(label->Height(), 0) << c.what;
        EXPECT_LE(std::abs(int64_t(settled.Right)), int64_t(TGGraphicControl::MaxCoordinate) * 2)
            << c.what;

        // Printing takes the same size and finishes.
        TReportFiler recording;
        recording.OnPrint = [&](TBaseReport &r) { label->PrintTo(&r, 0.5, 0.5); };
        EXPECT_TRUE(recording.Execute()) << c.what;
        EXPECT_EQ(label->BoundsRect(), settled) << c.what;
    }
}

TEST(HostileLabel, WhatWasStoredIsWrittenBackAsItWas)
{
    QObject owner;
    const QString longCaption(100000, QLatin1Char('x'));
    TGBusinessCardLabel *label = ReadBackAsStored<TGBusinessCardLabel>(&owner, [&](TGBusinessCardLabel &l) {
        l.SetCaption(longCaption);
        l.Font()->SetHeight(INT_MIN);
        l.SetDepthShadow(INT_MIN);
    });
    ASSERT_NE(label, nullptr);
    QImage image(300, 300, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        label->Paint(painter);
    }
    EXPECT_EQ(label->Caption(), longCaption);
    EXPECT_EQ(label->Font()->Height(), INT_MIN);
    EXPECT_EQ(label->DepthShadow(), INT_MIN);
}

} // namespace
