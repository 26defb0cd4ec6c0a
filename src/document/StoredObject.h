#pragma once

#include "document/Persistent.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// An object that a design stores: a named component with a property table.
// Its QObject parent is its owner, which frees it and keeps names unique.
class TCardModel;

// The value of a merge field by its name, from one record of merge data;
// nothing for a name no column has.
using TMergeValues = std::function<std::optional<QString>(const QString &name)>;

class TStoredObject : public QObject, public TPersistent
{
    Q_OBJECT

public:
    explicit TStoredObject(QObject *owner = nullptr)
        : QObject(owner)
    {
    }
    ~TStoredObject() override;

    // The card the object is on (none while it is only a copy or a sample);
    // set by the model as it takes the object in and lets it go.
    TCardModel *Model() const { return m_model; }
    void SetModel(TCardModel *model) { m_model = model; }

    QString Name() const { return objectName(); }
    void SetName(const QString &name) { setObjectName(name); }
    QObject *Owner() const { return QObject::parent(); }

    // While reading from a stream, setters only store and nothing is derived.
    bool IsLoading() const { return m_loading; }
    void SetLoading(bool loading) { m_loading = loading; }
    // Runs once every object of a stream has been read; clears the loading mark.
    // Kinds extend it (base first) to rebuild what is derived from their properties.
    virtual void Loaded() { m_loading = false; }
    // Runs after Loaded, when the object is about to be used.
    virtual void MakeReady() {}
    // The card owner's details on the object's card have changed.
    virtual void PersonalInfoChanged() {}
    // Merge fields ("${Column}") are written in the text an object draws. The
    // texts that may hold them, as written (none for kinds without text).
    virtual QStringList MergeTexts() const { return {}; }
    // Makes the object one record's: its fields replaced by the record's
    // values in the text as written, and the object fitted to the new text as
    // it fits text the user types. Only done to copies made for printing and
    // showing records; the design keeps its fields.
    virtual void FillMergeFields(const TMergeValues &values) { Q_UNUSED(values); }
    // Moves the object by whole pixels (pasted objects land lower right of the originals).
    virtual void MoveBy(int dx, int dy)
    {
        Q_UNUSED(dx);
        Q_UNUSED(dy);
    }

private:
    bool m_loading = false;
    TCardModel *m_model = nullptr;
};

// While one is alive, the records objects write hold their bounds at 100 %,
// as if the card had been zoomed back to full size, without re-zooming it
// (which would lay out and repaint every object twice).
class TFullSizeRecords
{
public:
    TFullSizeRecords() { ++s_alive; }
    ~TFullSizeRecords() { --s_alive; }
    TFullSizeRecords(const TFullSizeRecords &) = delete;
    TFullSizeRecords &operator=(const TFullSizeRecords &) = delete;
    static bool Active() { return s_alive > 0; }

private:
    static inline int s_alive = 0;
};

// The same objects as a list of stored objects.
template <class T> QList<TStoredObject *> StoredList(const QList<T *> &objects)
{
    return QList<TStoredObject *>(objects.cbegin(), objects.cend());
}

// What holds the objects of a design, in painting order (back to front): the
// design surface, or a plain list where nothing is shown.
class TObjectHost
{
public:
    virtual ~TObjectHost() = default;

    virtual QList<TStoredObject *> StoredObjects() const = 0;
    // Takes an object just made by the reader, before its properties are
    // read, on top of the painting order.
    virtual void AdoptObject(TStoredObject *object) = 0;
};

// A host that only keeps the objects in order, for work without a surface.
// It does not own them (their owner does) and forgets those that are freed.
class TObjectList : public TObjectHost
{
public:
    QList<TStoredObject *> StoredObjects() const override
    {
        QList<TStoredObject *> objects;
        for (const QPointer<TStoredObject> &object : m_objects)
            if (object)
                objects.append(object.data());
        return objects;
    }
    void AdoptObject(TStoredObject *object) override { m_objects.append(object); }
    void Clear() { m_objects.clear(); }

private:
    QList<QPointer<TStoredObject>> m_objects;
};
