#pragma once

#include "document/Persistent.h"
#include "richtext/RichTextEngine.h"
#include "surface/GGraphc.h"
#include "surface/Gbcpanel32.h"

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

// The entries every card object's table begins with.
inline QStringList BaseNames()
{
    return {"Name",   "Tag",    "Left", "Top",    "Width",
            "Height", "Cursor", "Hint", "Locked", "Unselectable"};
}

inline QStringList TableNames(const TPersistent &object)
{
    QStringList names;
    for (const TPropertyDescriptor &d : object.PropertyTable())
        names.append(d.name);
    return names;
}

// The descriptor of that name; fails the test when there is none.
inline const TPropertyDescriptor &Entry(const TPersistent &object, const QString &name)
{
    for (const TPropertyDescriptor &d : object.PropertyTable())
        if (d.name == name)
            return d;
    ADD_FAILURE() << "no property " << name.toStdString();
    static const TPropertyDescriptor none;
    return none;
}

// The captions of a menu's own items ("-" for a separator).
inline QStringList TopLevelCaptions(QMenu *menu)
{
    QStringList captions;
    for (QAction *a : menu->actions())
        captions.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return captions;
}

// The item of that caption in the menu or its submenus, or null.
inline QAction *FindItem(QMenu *menu, const QString &caption)
{
    for (QAction *a : menu->actions()) {
        if (a->text() == caption)
            return a;
        if (a->menu())
            if (QAction *inner = FindItem(a->menu(), caption))
                return inner;
    }
    return nullptr;
}

// A card surface that counts the changes its objects report.
class ObjectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        owner = std::make_unique<QObject>();
        // The shared rich text engine, as the main window carries it.
        TRichTextEngine::EnsureMaster(owner.get());
        surface = std::make_unique<TGBusinessCardPanel32>();
        surface->SetOwner(owner.get());
        surface->setFixedSize(336, 192);
        surface->LabelChangedEvent = [this](QObject *) { ++changes; };
    }
    void TearDown() override
    {
        surface.reset();
        owner.reset();
    }

    // Creates an object of the kind, places it as a tool would and forgets the
    // changes the placing reported.
    template <class T> T *Place(int left = 20, int top = 20, int width = -1, int height = -1)
    {
        auto *object = new T(owner.get());
        object->MakeReady();
        surface->PlaceObject(object,
                             TRect::FromBounds(left, top, width < 0 ? object->Width() : width,
                                               height < 0 ? object->Height() : height));
        changes = 0;
        return object;
    }

    std::unique_ptr<QObject> owner;
    std::unique_ptr<TGBusinessCardPanel32> surface;
    int changes = 0;
};

// Runs a change and returns how many changes it reported.
#define REPORTS(statement)                                                                         \
    [&] {                                                                                          \
        const int before = changes;                                                                \
        statement;                                                                                 \
        return changes - before;                                                                   \
    }()
