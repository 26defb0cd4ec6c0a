// Zooming is a way of looking: after any zoom and back, every object of the
// card of every kind stands where it stood, at the size it had, and nothing
// tells the window the design changed.
#include "MixedCard.h"
#include "document/ObjectStream.h"
#include "document/StreamIO.h"
#include "objects/Gpbasel.h"
#include "objects/Gpslabel.h"
#include "surface/Gbcpanel32.h"
#include "surface/GGraphc.h"

#include <QImage>
#include <tuple>
#include <gtest/gtest.h>

namespace {

QList<TRect> BoundsOf(const TGBusinessCardPanel32 &panel)
{
    QList<TRect> bounds;
    for (TGGraphicControl *object : panel.Objects())
        bounds << object->BoundsRect();
    return bounds;
}

std::string Describe(const TRect &r)
{
    return "(" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ")-(" +
           std::to_string(r.Right) + ", " + std::to_string(r.Bottom) + ")";
}

// Every object's record, as a design file holds it.
QList<QByteArray> RecordsOf(const TGBusinessCardPanel32 &panel)
{
    QList<QByteArray> records;
    for (const TGGraphicControl *object : panel.Objects()) {
        TStreamWriter writer;
        WriteRootObject(writer, *object);
        records << writer.TakeData();
    }
    return records;
}

// The card of every kind, laid out at full size.
class ZoomRoundTrip : public ::testing::Test
{
protected:
    void SetUp() override
    {
        panel.SetOwner(&panel);
        BuildMixedCard(panel);
        panel.grab();
    }
    TGBusinessCardPanel32 panel;
};

} // namespace

TEST_F(ZoomRoundTrip, EveryObjectComesBackToItsPlaceAndSize)
{
    const QList<TRect> before = BoundsOf(panel);
    ASSERT_GE(before.size(), 15);
    int changes = 0;
    panel.LabelChangedEvent = [&](QObject *) { ++changes; };
    for (float zoom : {1.5f, 0.5f, 2.0f, 0.7f, 3.0f, 1.25f}) {
        panel.SetZoom(zoom);
        panel.grab(); // each object lays itself out at the zoom
        panel.SetZoom(1.0f);
        panel.grab();
        const QList<TRect> after = BoundsOf(panel);
        ASSERT_EQ(after.size(), before.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            EXPECT_EQ(after[i], before[i])
                << panel.Objects()[i]->metaObject()->className() << " " << i << " after "
                << zoom << " and back: " << Describe(before[i]) << " became "
                << Describe(after[i]);
        }
        EXPECT_EQ(changes, 0) << "after " << zoom << " and back";
    }
}

TEST_F(ZoomRoundTrip, RecordsWrittenAtAZoomAreThoseOfFullSize)
{
    // Saving and undo write the design at whatever zoom the card shows; every
    // kind must write what it would at 100 %.
    const QList<QByteArray> fullSize = RecordsOf(panel);
    for (float zoom : {1.5f, 0.5f, 2.0f, 0.7f, 3.0f}) {
        panel.SetZoom(zoom);
        panel.grab();
        QList<QByteArray> atZoom;
        {
            const TFullSizeRecords records;
            atZoom = RecordsOf(panel);
        }
        ASSERT_EQ(atZoom.size(), fullSize.size());
        for (qsizetype i = 0; i < fullSize.size(); ++i) {
            EXPECT_EQ(atZoom[i], fullSize[i])
                << panel.Objects()[i]->metaObject()->className() << " " << i << " at " << zoom;
        }
        panel.SetZoom(1.0f);
        panel.grab();
        EXPECT_EQ(RecordsOf(panel), fullSize) << "back from " << zoom;
    }
}

TEST_F(ZoomRoundTrip, AnEditAtAZoomKeepsTheSizeItsLayoutGives)
{
    // A font changed at a zoom lays the object out anew: that size is the
    // object's own. Saved or recorded for undo at the zoom, it is the size
    // the object has back at full size (give or take the pixel the layout
    // rounds there), not the size from before the edit.
    const QList<TGGraphicControl *> objects = panel.Objects();
    auto *deep = qobject_cast<TGBaseLabel *>(objects.at(0));
    auto *symbol = qobject_cast<TGSymbolLabel *>(objects.at(7));
    ASSERT_TRUE(deep && symbol);
    const TRect deepBefore = deep->BoundsRect();
    const TRect symbolBefore = symbol->BoundsRect();

    panel.SetZoom(2.0f);
    panel.grab();
    deep->Font()->SetSize(30);
    symbol->Font()->SetSize(60);
    symbol->BoundsChanged(); // as the symbol dialog does
    panel.grab();
    TRect deepWritten, symbolWritten;
    {
        const TFullSizeRecords records;
        deepWritten = deep->RecordBounds();
        symbolWritten = symbol->RecordBounds();
    }
    panel.SetZoom(1.0f);
    panel.grab();
    for (const auto &[written, now, before] :
         {std::tuple(deepWritten, deep->BoundsRect(), deepBefore),
          std::tuple(symbolWritten, symbol->BoundsRect(), symbolBefore)}) {
        EXPECT_GT(now.Height(), before.Height() + 10) << Describe(now);
        EXPECT_LE(std::abs(written.Left - now.Left), 1) << Describe(written) << " " << Describe(now);
        EXPECT_LE(std::abs(written.Top - now.Top), 1) << Describe(written) << " " << Describe(now);
        EXPECT_LE(std::abs(written.Width() - now.Width()), 1)
            << Describe(written) << " " << Describe(now);
        EXPECT_LE(std::abs(written.Height() - now.Height()), 1)
            << Describe(written) << " " << Describe(now);
    }
}
