#pragma once

#include "common/TestSupport.h"
#include "objects/Placeholder.h"
#include "surface/GHandle.h"
#include "surface/Gbcpanel32.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <QtTest/qtestmouse.h>
#include <gtest/gtest.h>
#include <memory>

// A 336 x 192 card surface in a window of its own, driven with real mouse and
// key events and a clock the test moves by hand. The mouse goes through the
// window system, so an open popup menu takes the events as it does for a user
// (the release of the click that opened it included).
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
        surface->show();
    }
    void TearDown() override
    {
        CloseMenus();
        surface.reset();
        owner.reset();
        // Objects and menus left to be freed after the input go now.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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

    // One mouse event as the window system reports it for the surface's window.
    void SendTo(QWidget *window, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                Qt::MouseButtons buttons, Qt::KeyboardModifiers mods)
    {
        // Presses far apart in time, so that only DoubleClick makes double-clicks.
        timestamp += type == QEvent::MouseButtonPress && !pressIsSecondOfDouble ? 1000 : 1;
        pressIsSecondOfDouble = false;
        qt_handleMouseEvent(window->windowHandle(), QPointF(pos),
                            QPointF(window->mapToGlobal(pos)), buttons, button, type, mods,
                            int(timestamp));
    }
    // A rectangle drawn with the rectangle tool (a kind the clipboard and clone can carry).
    TGGraphicControl *DrawRectangle(QPoint from, QPoint to)
    {
        surface->SetPanelState(psRectangle);
        Drag(from, to);
        surface->SetPanelState(psPointing);
        return surface->ObjectAt(surface->ObjectCount() - 1);
    }

    void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers mods)
    {
        SendTo(surface.get(), type, pos, button, buttons, mods);
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
    // Two clicks in quick succession; the window system makes the second press
    // a double-click.
    void DoubleClick(QPoint p, Qt::KeyboardModifiers m = {})
    {
        Press(p, Qt::LeftButton, m);
        Release(p, Qt::LeftButton, m);
        pressIsSecondOfDouble = true;
        Press(p, Qt::LeftButton, m);
        Release(p, Qt::LeftButton, m);
    }
    // A right-button click: press and release, the release going wherever the
    // window system sends it (to the popup menu the press opened).
    void RightClick(QPoint p)
    {
        Move(p);
        Press(p, Qt::RightButton);
        Release(p, Qt::RightButton);
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

    // The popup menu that is open, if any.
    static QMenu *OpenMenu() { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }
    static QAction *MenuItem(QMenu *menu, const QString &caption)
    {
        for (QAction *item : menu->actions())
            if (item->text() == caption)
                return item;
        return nullptr;
    }
    // Clicks an item of an open popup menu with the mouse, as a user picks it.
    void ChooseMenuItem(QMenu *menu, const QString &caption)
    {
        QAction *item = MenuItem(menu, caption);
        ASSERT_NE(item, nullptr) << caption.toStdString();
        ASSERT_TRUE(menu->isVisible());
        const QPoint at = menu->actionGeometry(item).center();
        SendTo(menu, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, {});
        SendTo(menu, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, {});
        SendTo(menu, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, {});
    }
    // Escape closes the open popup menu.
    static void DismissMenu()
    {
        if (QMenu *menu = OpenMenu()) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(menu, &escape);
        }
    }
    static void CloseMenus()
    {
        for (int i = 0; i < 5 && OpenMenu(); ++i)
            OpenMenu()->close();
    }

    // A key pressed while a command is still running: it waits in the queue
    // until the command lets pending events run.
    void QueueKey(int key, Qt::KeyboardModifiers m = {})
    {
        QCoreApplication::postEvent(surface.get(), new QKeyEvent(QEvent::KeyPress, key, m));
        QCoreApplication::postEvent(surface.get(), new QKeyEvent(QEvent::KeyRelease, key, m));
    }
    // Lets the events run that wait, freeing what was left to be freed.
    static void RunEvents()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
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
    bool pressIsSecondOfDouble = false;
    // The window system's clock only goes forward, across tests too.
    static inline quint64 timestamp = 0;
};

inline bool SameBounds(const TGGraphicControl *o, int l, int t, int w, int h)
{
    return o->Left() == l && o->Top() == t && o->Width() == w && o->Height() == h;
}

#define EXPECT_BOUNDS(o, l, t, w, h)                                                          \
    EXPECT_TRUE(SameBounds(o, l, t, w, h))                                                    \
        << "bounds are " << (o)->Left() << "," << (o)->Top() << " " << (o)->Width() << "x"   \
        << (o)->Height()
