#pragma once

#include "document/Filer.h"
#include "document/StoredObject.h"
#include "graphics/Picture.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

// One side of a card as the user designs it: its objects in painting order
// (back to front), the file it came from, whether it changed since, its
// background art and the personal information its text may draw on. It lives
// without a window: tessaro-batch, the sheet renderer and undo work on it, and
// a design surface shows it and hears of its changes through its signals.
class TDesignHistory;
class TDesignView;

// A design's back side is a design file of its own beside the front, named
// after it: "BC0001.TSC" has its back in "BC0001.back.TSC" (the ending's
// case follows the front's).
QString BackSidePath(const QString &frontPath);
// True for the name of a back side file ("*.back.TSC", any case).
bool IsBackSidePath(const QString &path);

class TCardModel : public QObject, public TObjectHost
{
    Q_OBJECT

public:
    explicit TCardModel(QObject *parent = nullptr);
    ~TCardModel() override;

    // ---- the objects
    const QList<TStoredObject *> &Objects() const { return m_objects; }
    qsizetype Count() const { return m_objects.size(); }
    // True when the side has anything to print: objects or background art.
    bool HasContent() const { return !m_objects.isEmpty() || !m_backgroundArtFile.isEmpty(); }
    bool Contains(const TStoredObject *object) const;
    // Puts an object on top of the painting order (nothing when it is here).
    void Insert(TStoredObject *object);
    // Puts an object at a place of the painting order (clamped).
    void InsertAt(qsizetype index, TStoredObject *object);
    // Takes an object off the card; its owner still frees it.
    void Remove(TStoredObject *object);
    void BringToFront(TStoredObject *object);
    void SendToBack(TStoredObject *object);
    // Puts the objects in the given order: the same objects, rearranged.
    void Arrange(const QList<TStoredObject *> &order);
    // Frees every object.
    void DeleteAll();

    // The QObject that frees the objects and keeps their names unique: the
    // main window in the program, the model itself where there is none.
    QObject *Owner() const;
    void SetOwner(QObject *owner) { m_owner = owner; }

    // An object reports a change of what it stores (a move, a font, a caption).
    void ReportChange(TStoredObject *object);

    // TObjectHost: the reader puts what it makes on top of the order.
    QList<TStoredObject *> StoredObjects() const override { return m_objects; }
    void AdoptObject(TStoredObject *object) override { Insert(object); }

    // ---- undo, and the view that shows the card
    // The card's undo history, once EnableHistory has made it; null before.
    TDesignHistory *History() const { return m_history; }
    TDesignHistory *EnableHistory();
    // The view showing the card (the design surface), or none.
    TDesignView *View() const { return m_view; }
    void SetView(TDesignView *view) { m_view = view; }

    // ---- the file
    QString FileName() const { return m_fileName; }
    void SetFileName(const QString &path) { m_fileName = path; }
    bool ChangesMade() const { return m_changesMade; }
    void SetChangesMade(bool changed) { m_changesMade = changed; }

    // ---- background art: the picture file's name and the picture
    QString BackgroundArtFile() const { return m_backgroundArtFile; }
    const TPicture &BackgroundArt() const { return m_backgroundArt; }
    TPicture &BackgroundArt() { return m_backgroundArt; }
    // Names the art and reads it (true); when the file cannot be read the
    // card shows no art, but the name is kept.
    bool SetBackgroundArtFile(const QString &path);
    // No art: the name is cleared and the picture dropped.
    void ClearBackgroundArt();

    // The ten details of the card's owner (name, company, title, three
    // address lines, two phones, e-mail, fax) that text may take.
    static constexpr int PersonalInfoCount = 10;
    QStringList PersonalInfo() const { return m_personalInfo; }
    // Objects drawn from the details are told when they change.
    void SetPersonalInfo(const QStringList &info);
    void SetPersonalInfoItem(int index, const QString &value);

    // ---- merge printing: the data file the cards are filled from, kept in
    // the sidecar (the front's), and the records left out
    const TMergeSource &MergeSource() const { return m_mergeSource; }
    void SetMergeSource(const TMergeSource &source) { m_mergeSource = source; }

    // ---- reading and writing
    // Frees every object and drops the background art.
    void Clear();
    // Reads a design file at 100 %: its objects are added (a missing file adds
    // none), then the background art its sidecar names. A damaged file throws
    // EStreamError; the objects read before the damage stay.
    void Open(const QString &path);
    // Only the objects of a design file, added as Open adds them.
    void ReadObjects(const QString &path);
    // Reads the objects of a design stream without putting them on the card:
    // they belong to the staging object (put under Owner()) until the caller
    // inserts them, and keep their stored names (undo finds them by name). A
    // stream the reader refuses throws EStreamError; what was made goes with
    // the staging object.
    QList<TStoredObject *> ReadAside(const QByteArray &stream, QObject &staging) const;
    // This model made a copy of another: its objects (as a save would write
    // them, at 100 %), its background art and personal information. The
    // copy can be changed for one job without touching the design.
    void CopyDesignOf(const TCardModel &other);
    // Writes every object at 100 % and the background sidecar, both written
    // completely before either is moved into place; when writing fails
    // (EStreamError) the old design and sidecar stay as they were.
    void Save(const QString &path);
    // The design file's bytes for the objects as they are, at 100 %.
    QByteArray DesignBytes() const;
    // One line for each object holding text the design file's 8-bit
    // characters cannot hold, naming the object and the text.
    QStringList TextLostBySaving() const;

Q_SIGNALS:
    void objectInserted(TStoredObject *object);
    void objectRemoved(TStoredObject *object);
    void orderChanged();
    void objectChanged(TStoredObject *object);
    void backgroundArtChanged();
    // Objects are read from a stream at 100 % between these two (a view
    // shows them at its zoom once they are all there).
    void loadingStarted();
    void loadingFinished();

private:
    // Brackets a read with loadingStarted / loadingFinished.
    class TLoading;
    QList<TStoredObject *> m_objects;
    QSet<const TStoredObject *> m_objectSet;
    QPointer<QObject> m_owner;
    QString m_fileName;
    QString m_backgroundArtFile;
    TPicture m_backgroundArt;
    TMergeSource m_mergeSource;
    QStringList m_personalInfo = QStringList(PersonalInfoCount, QString());
    TDesignHistory *m_history = nullptr;
    TDesignView *m_view = nullptr;
    bool m_changesMade = false;
};
