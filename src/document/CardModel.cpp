#include "document/CardModel.h"

#include "document/DesignHistory.h"
#include "document/Filer.h"
#include "document/ObjectStream.h"
#include "document/StreamIO.h"
#include "graphics/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

class TCardModel::TLoading
{
public:
    explicit TLoading(TCardModel &model)
        : m_model(model)
    {
        Q_EMIT m_model.loadingStarted();
    }
    ~TLoading() { Q_EMIT m_model.loadingFinished(); }
    TLoading(const TLoading &) = delete;
    TLoading &operator=(const TLoading &) = delete;

private:
    TCardModel &m_model;
};

TStoredObject::~TStoredObject()
{
    if (m_model)
        m_model->Remove(this);
}

QString BackSidePath(const QString &frontPath)
{
    const QFileInfo front(frontPath);
    const QString suffix = front.suffix();
    const bool lower = !suffix.isEmpty() && suffix == suffix.toLower();
    const QString name = front.completeBaseName() +
                         (lower ? QStringLiteral(".back.tsc") : QStringLiteral(".back.TSC"));
    return front.path() == QLatin1String(".") && !frontPath.startsWith(QLatin1String("./"))
               ? name
               : front.dir().filePath(name);
}

bool IsBackSidePath(const QString &path)
{
    return QFileInfo(path).fileName().endsWith(QLatin1String(".back.tsc"), Qt::CaseInsensitive);
}

TCardModel::TCardModel(QObject *parent)
    : QObject(parent)
{
    // The picture also changes through its own setters (undo, the commands).
    m_backgroundArt.OnChange = [this] { Q_EMIT backgroundArtChanged(); };
}

TCardModel::~TCardModel()
{
    // Objects the model owns go with it as its children; none may report to
    // a model that is going, nor to its history.
    delete m_history;
    m_history = nullptr;
    const QList<TStoredObject *> objects = m_objects;
    m_objects.clear();
    m_objectSet.clear();
    for (TStoredObject *object : objects)
        object->SetModel(nullptr);
    m_backgroundArt.OnChange = nullptr;
}

bool TCardModel::Contains(const TStoredObject *object) const
{
    return m_objectSet.contains(object);
}

void TCardModel::Insert(TStoredObject *object)
{
    InsertAt(m_objects.size(), object);
}

void TCardModel::InsertAt(qsizetype index, TStoredObject *object)
{
    // A set answers "already here?" at once, so reading n objects costs n steps.
    if (!object || m_objectSet.contains(object))
        return;
    if (TCardModel *other = object->Model(); other && other != this)
        other->Remove(object);
    m_objectSet.insert(object);
    m_objects.insert(std::clamp<qsizetype>(index, 0, m_objects.size()), object);
    object->SetModel(this);
    Q_EMIT objectInserted(object);
}

void TCardModel::Remove(TStoredObject *object)
{
    if (!m_objectSet.remove(object))
        return;
    // Objects are mostly taken from the top of the order (clearing the card
    // goes backwards), so the search starts there.
    m_objects.removeAt(m_objects.lastIndexOf(object));
    object->SetModel(nullptr);
    Q_EMIT objectRemoved(object);
}

void TCardModel::BringToFront(TStoredObject *object)
{
    if (m_objects.removeOne(object)) {
        m_objects.append(object);
        Q_EMIT orderChanged();
    }
}

void TCardModel::SendToBack(TStoredObject *object)
{
    if (m_objects.removeOne(object)) {
        m_objects.prepend(object);
        Q_EMIT orderChanged();
    }
}

void TCardModel::Arrange(const QList<TStoredObject *> &order)
{
    if (order == m_objects || order.size() != m_objects.size())
        return;
    for (TStoredObject *object : order)
        if (!m_objectSet.contains(object))
            return;
    m_objects = order;
    Q_EMIT orderChanged();
}

void TCardModel::DeleteAll()
{
    for (qsizetype i = m_objects.size() - 1; i >= 0; --i)
        if (i < m_objects.size())
            delete m_objects.at(i);
}

QObject *TCardModel::Owner() const
{
    return m_owner ? m_owner.data() : const_cast<TCardModel *>(this);
}

void TCardModel::SetPersonalInfo(const QStringList &info)
{
    if (info == m_personalInfo)
        return;
    m_personalInfo = info;
    for (TStoredObject *object : m_objects)
        object->PersonalInfoChanged();
}

void TCardModel::SetPersonalInfoItem(int index, const QString &value)
{
    if (index < 0 || index >= m_personalInfo.size() || m_personalInfo[index] == value)
        return;
    m_personalInfo[index] = value;
    for (TStoredObject *object : m_objects)
        object->PersonalInfoChanged();
}

TDesignHistory *TCardModel::EnableHistory()
{
    if (!m_history)
        m_history = new TDesignHistory(*this, this);
    return m_history;
}

void TCardModel::ReportChange(TStoredObject *object)
{
    Q_EMIT objectChanged(object);
}

bool TCardModel::SetBackgroundArtFile(const QString &path)
{
    if (path != m_backgroundArtFile) {
        m_backgroundArtFile = path;
        Q_EMIT backgroundArtChanged();
    }
    // Never the art of the file named before under the new name.
    if (QFile::exists(path) && m_backgroundArt.LoadFromFile(path))
        return true;
    m_backgroundArt.Clear();
    return false;
}

void TCardModel::ClearBackgroundArt()
{
    if (!m_backgroundArtFile.isEmpty()) {
        m_backgroundArtFile.clear();
        Q_EMIT backgroundArtChanged();
    }
    m_backgroundArt.Clear();
}

void TCardModel::Clear()
{
    DeleteAll();
    ClearBackgroundArt();
    m_mergeSource = {};
}

void TCardModel::ReadObjects(const QString &path)
{
    // Looked for by the name's bytes, which need not be UTF-8.
    QByteArray none;
    if (ReadRegularFileHead(path, 0, &none) == TFileReadResult::Missing)
        return;
    const TLoading loading(*this);
    TGLabelObjectFiler filer;
    filer.LoadObjects(Owner(), this, path);
}

void TCardModel::Open(const QString &path)
{
    ReadObjects(path);
    const QString art = ReadSidecar(path);
    if (!art.isEmpty())
        SetBackgroundArtFile(art);
    m_mergeSource = ReadSidecarMerge(path);
}

QList<TStoredObject *> TCardModel::ReadAside(const QByteArray &stream, QObject &staging) const
{
    // The staging owner sits under the model's owner, so that what the
    // objects look for there as they are made ready is the design's own.
    staging.setParent(Owner());
    TStreamReader input(stream);
    TObjectReader reader(input);
    reader.LoadOwner = &staging;
    reader.OnMissingHandler = &TGLabelObjectFiler::IgnoreMissingHandler;
    return reader.ReadList();
}

void TCardModel::CopyDesignOf(const TCardModel &other)
{
    DeleteAll();
    QObject staging;
    const QList<TStoredObject *> objects = ReadAside(other.DesignBytes(), staging);
    {
        const TLoading loading(*this);
        for (TStoredObject *object : objects) {
            object->setParent(Owner());
            Insert(object);
        }
    }
    SetPersonalInfo(other.PersonalInfo());
    if (other.BackgroundArtFile().isEmpty())
        ClearBackgroundArt();
    else
        SetBackgroundArtFile(other.BackgroundArtFile());
}

QByteArray TCardModel::DesignBytes() const
{
    // Written with the bounds at 100 %, without zooming a shown card there and back.
    const TFullSizeRecords fullSize;
    return WriteObjectList(m_objects);
}

void TCardModel::Save(const QString &path)
{
    const QByteArray design = DesignBytes();
    // The design and its sidecar are both written out before either replaces
    // the old one, so that a failure cannot leave the new design with the old
    // background. The sidecar is moved first and also names the art of the
    // design it replaces: a stop between the two moves leaves the old design,
    // which still reads its own art. (A design named like its own sidecar
    // keeps none rather than being overwritten or deleted by it.)
    const QString sidecar = SidecarPath(path);
    if (sidecar == path) {
        WriteFilesTogether({{path, design}});
        return;
    }
    QByteArray replaced;
    QString replacedArt;
    if (ReadRegularFile(path, kMaxDesignFileBytes, &replaced) == TFileReadResult::Read)
        replacedArt = ReadSidecar(path);
    else
        replaced = QByteArray();
    const bool hadSidecar = QFileInfo::exists(sidecar);
    const QByteArray mergeLines = SidecarMergeLines(path, m_mergeSource);
    const bool needsSidecar = !m_backgroundArtFile.isEmpty() || !mergeLines.isEmpty();
    QList<TFileWrite> files;
    if (needsSidecar || hadSidecar)
        files.append({sidecar, SidecarBytes(m_backgroundArtFile, design, replaced, replacedArt) +
                                   mergeLines});
    files.append({path, design});
    WriteFilesTogether(files);
    if (!needsSidecar && hadSidecar)
        RemoveSidecar(path);
}

QStringList TCardModel::TextLostBySaving() const
{
    QStringList lines;
    for (const auto &[object, text] : ObjectsLosingText(m_objects))
        lines.append(QStringLiteral("%1: %2").arg(object->Name(), text));
    return lines;
}
