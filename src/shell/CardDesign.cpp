#include "shell/CardDesign.h"

#include "document/Filer.h"
#include "document/ObjectStream.h"
#include "richtext/RichTextEngine.h"
#include "surface/GGraphc.h"
#include "surface/Gbasepnl.h"

#include <QFile>

TCardDesign::TCardDesign(TGBasePanel *surface)
    : m_surface(surface)
{
    // Rich text objects draw through the one engine their owner carries.
    TRichTextEngine::EnsureMaster(&m_owner);
    if (m_surface)
        TRichTextEngine::EnsureMaster(m_surface->Owner());
}

// Objects of a design without a surface go with m_owner.
TCardDesign::~TCardDesign() = default;

QList<TGGraphicControl *> TCardDesign::Objects() const
{
    return m_surface ? m_surface->Objects() : CardObjects(m_objects.StoredObjects());
}

bool TCardDesign::SetBackgroundArtFile(const QString &path)
{
    m_backgroundArtFile = path;
    if (!m_surface)
        return false;
    // Never the art of the file named before under the new name.
    if (QFile::exists(path) && m_surface->LoadColorPicture(path))
        return true;
    m_surface->ClearColorPicture();
    return false;
}

void TCardDesign::ClearBackgroundArt()
{
    m_backgroundArtFile.clear();
    if (m_surface)
        m_surface->ClearColorPicture();
}

void TCardDesign::Clear()
{
    if (m_surface) {
        m_surface->DeleteAllObjects();
    } else {
        qDeleteAll(m_objects.StoredObjects());
        m_objects.Clear();
    }
    ClearBackgroundArt();
}

void TCardDesign::Open(const QString &path)
{
    if (m_surface) {
        TRichTextEngine::EnsureMaster(m_surface->Owner());
        m_surface->LoadFromFile(path);
    } else {
        TGLabelObjectFiler filer;
        filer.LoadObjects(&m_owner, &m_objects, path);
    }
    const QString art = ReadSidecar(path);
    if (!art.isEmpty())
        SetBackgroundArtFile(art);
}

void TCardDesign::Save(const QString &path)
{
    QByteArray design;
    {
        // Written with the bounds at 100 %, without zooming the card there
        // and back on screen.
        const TFullSizeRecords fullSize;
        design = WriteObjectList(m_surface ? m_surface->StoredObjects()
                                           : m_objects.StoredObjects());
    }
    // The design and its sidecar are both written out before either replaces
    // the old one, so that a failure or a stop in between cannot leave the new
    // design with the old background. (A design named like its own sidecar
    // keeps none rather than being overwritten or deleted by it.)
    const QString sidecar = SidecarPath(path);
    const bool hasSidecar = sidecar != path;
    QList<TFileWrite> files{{path, design}};
    if (hasSidecar && !m_backgroundArtFile.isEmpty())
        files.append({sidecar, SidecarBytes(m_backgroundArtFile)});
    WriteFilesTogether(files);
    if (hasSidecar && m_backgroundArtFile.isEmpty())
        RemoveSidecar(path);
}

QStringList TCardDesign::TextLostBySaving() const
{
    QStringList lines;
    const auto losing =
        ObjectsLosingText(m_surface ? m_surface->StoredObjects() : m_objects.StoredObjects());
    for (const auto &[object, text] : losing)
        lines.append(QStringLiteral("%1: %2").arg(object->Name(), text));
    return lines;
}
