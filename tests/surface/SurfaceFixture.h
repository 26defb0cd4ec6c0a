#pragma once

#include "common/TestSupport.h"
#include "objects/Placeholder.h"
#include "surface/GHandle.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

// A 336 x 192 card surface driven with real mouse and key events and a clock
// the test moves by hand.
class SurfaceTest : public ::testing::Test
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
    }
    void TearDown() override
    {
        surface.reset();
        owner.reset();
    }

    TGHandle *handles() const { return surface->Handles(); }

    // An object placed directly, as a tool would place it.
    TGPlaceholderObject *Place(int left, int top, int width, int height)
    {
        auto *object = new TGPlaceholderObject(owner.get(), QStringLiteral("Box"));
        object->MakeReady();
        surface->PlaceObject(object, TRect::FromBounds(left, top, width, height));
        return object;
    }

    void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers mods)
    {
        QMouseEvent event(type, QPointF(pos), QPointF(surface->mapToGlobal(pos)), button, buttons,
                          mods);
        QApplication::sendEvent(surface.get(), &event);
    }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        held = b;
        Send(QEvent::MouseButtonPress, p, b, b, m);
    }
    void Move(QPoint p, Qt::KeyboardModifiers m = {})
    {
        Send(QEvent::MouseMove, p, Qt::NoButton, held, m);
    }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        held = Qt::NoButton;
        Send(QEvent::MouseButtonRelease, p, b, Qt::NoButton, m);
    }
    void DoubleClick(QPoint p, Qt::KeyboardModifiers m = {})
    {
        Press(p, Qt::LeftButton, m);
        Release(p, Qt::LeftButton, m);
        held = Qt::LeftButton;
        Send(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, m);
        Release(p, Qt::LeftButton, m);
    }
    // A whole drag, slow enough for the drag and click timing rules.
    // The pointer first hovers at the start, as a hand on a mouse does.
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers m = {})
    {
        Move(from, m);
        Press(from, Qt::LeftButton, m);
        clock.Advance(20);
        Move(from + QPoint(1, 0), m);
        clock.Advance(20);
        Move(to, m);
        clock.Advance(200);
        Release(to, Qt::LeftButton, m);
        QCoreApplication::processEvents();
    }
    void Key(int key, Qt::KeyboardModifiers m = {}, bool release = true)
    {
        QKeyEvent press(QEvent::KeyPress, key, m);
        QApplication::sendEvent(surface.get(), &press);
        if (release) {
            QKeyEvent up(QEvent::KeyRelease, key, m);
            QApplication::sendEvent(surface.get(), &up);
        }
    }

    // The card as the surface paints it, selection included.
    QImage Render() const
    {
        QImage image(surface->size(), QImage::Format_RGB32);
        QPainter painter(&image);
        surface->PaintCard(painter, true);
        return image;
    }

    TFakeClock clock;
    std::unique_ptr<QObject> owner;
    std::unique_ptr<TGBusinessCardPanel32> surface;
    Qt::MouseButtons held = Qt::NoButton;
    int changes = 0;
};

inline bool SameBounds(const TGGraphicControl *o, int l, int t, int w, int h)
{
    return o->Left() == l && o->Top() == t && o->Width() == w && o->Height() == h;
}

#define EXPECT_BOUNDS(o, l, t, w, h)                                                          \
    EXPECT_TRUE(SameBounds(o, l, t, w, h))                                                    \
        << "bounds are " << (o)->Left() << "," << (o)->Top() << " " << (o)->Width() << "x"   \
        << (o)->Height()
