#pragma once

#include "document/StoredObject.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class TGBasePanel;
class TGGraphicControl;

// The open design: which file it came from, whether it has changed since, its
// background art, and its objects. Opening and saving go through it, so the
// design file, the background sidecar and the 100 % rule are applied the same
// way by the main window and by tessaro-batch.
class TCardDesign
{
public:
    // With a surface the objects live on it, owned by the surface's owner;
    // without one they are kept in order here, owned by the design.
    explicit TCardDesign(TGBasePanel *surface = nullptr);
    ~TCardDesign();
    TCardDesign(const TCardDesign &) = delete;
    TCardDesign &operator=(const TCardDesign &) = delete;

    TGBasePanel *Surface() const { return m_surface; }
    // The card objects in painting order.
    QList<TGGraphicControl *> Objects() const;

    QString FileName() const { return m_fileName; }
    void SetFileName(const QString &path) { m_fileName = path; }
    bool ChangesMade() const { return m_changesMade; }
    void SetChangesMade(bool changed) { m_changesMade = changed; }

    // The background art's picture file; empty for none.
    QString BackgroundArtFile() const { return m_backgroundArtFile; }
    // Names the art and shows it on the surface when the file can be read
    // (true); otherwise the surface shows no art, but the name is kept.
    bool SetBackgroundArtFile(const QString &path);
    // No art: the name is cleared and the surface shows none.
    void ClearBackgroundArt();

    // Frees every object and drops the background art.
    void Clear();
    // Reads a design file at 100 %: its objects are added (a missing file adds
    // none), then the background art its sidecar names. A damaged file throws
    // EStreamError; the objects read before the damage stay.
    void Open(const QString &path);
    // Writes every object at 100 % and the background sidecar. Both are
    // written completely before either is moved into place; when writing
    // fails (EStreamError) the old design and sidecar stay as they were.
    void Save(const QString &path);
    // What a save would change: one line for each object holding text that
    // the design file's 8-bit characters cannot hold, naming the object and
    // the text. Empty when the file keeps everything.
    QStringList TextLostBySaving() const;

private:
    TGBasePanel *m_surface = nullptr;
    QObject m_owner; // owns the objects of a design without a surface
    TObjectList m_objects;
    QString m_fileName;
    QString m_backgroundArtFile;
    bool m_changesMade = false;
};
