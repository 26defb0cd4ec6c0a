// Designs handed over by the desktop (command line, file manager, a second
// start) and files dropped on the window: pictures become clip art on the
// card, designs are opened.
#include "document/DesignHistory.h"
#include "document/Desktop.h"
#include "document/StreamIO.h"
#include "graphics/Picture.h"
#include "graphics/RegularFile.h"
#include "objects/Gimage.h"
#include "richtext/RichTextEngine.h"
#include "shell/Main.h"
#include "surface/GHandle.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {

bool IsDesignPath(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("TSC"), Qt::CaseInsensitive) == 0;
}

// The local files of a drag; anything else (text, web addresses) is not ours.
QStringList LocalFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}

} // namespace

void TMainScreen::OpenFromDesktop(const QString &path)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    // Read aside first: a file that is no design must not cost the open one.
    const QFileInfo info(path);
    // By the name's bytes, which need not be UTF-8.
    QByteArray none;
    bool readable = ReadRegularFileHead(path, 0, &none) == TFileReadResult::Read;
    if (readable) {
        try {
            TCardModel probe;
            TRichTextEngine::EnsureMaster(&probe);
            probe.Open(path);
        } catch (const EStreamError &) {
            readable = false;
        }
    }
    if (!readable) {
        ShowInformation(UnableToOpenMessage(path));
        return;
    }
    if (!CheckSaveNeeded(true))
        return;
    OpenBCFile(info.absoluteFilePath());
}

bool TMainScreen::OpenStartupDesign(const QString &path)
{
    // With nothing open there is nothing a failed read could cost, so the
    // design is not read aside first: a start reads it once.
    QByteArray none;
    if (ReadRegularFileHead(path, 0, &none) != TFileReadResult::Read) {
        ShowInformation(UnableToOpenMessage(path));
        return false;
    }
    OpenBCFile(QFileInfo(path).absoluteFilePath()); // says so itself when it fails
    return !FileName().isEmpty();
}

bool TMainScreen::PlacePictureFile(const QString &path, const QPoint &at)
{
    TPicture picture;
    if (!picture.LoadFromFile(path))
        return false;
    auto *image = new TGImage(this);
    image->MakeReady();
    image->SetPicture(picture);
    QSize size = image->PictureSize();
    if (size.isEmpty())
        size = QSize(64, 64); // a metafile without a stated size
    // At the zoom of the card, and no larger than the card.
    const float zoom = m_panel->ZoomScale();
    size = QSize(int(size.width() * zoom), int(size.height() * zoom))
               .boundedTo(m_panel->size())
               .expandedTo(QSize(10, 15));
    const int left = std::clamp(at.x(), 0, std::max(0, m_panel->width() - size.width()));
    const int top = std::clamp(at.y(), 0, std::max(0, m_panel->height() - size.height()));
    const TUndoStep step(m_history, tr("Place Picture"));
    m_panel->PlaceObject(image, {left, top, left + size.width(), top + size.height()});
    m_panel->Handles()->ClearSelection();
    m_panel->Handles()->AddToSelection(image);
    return true;
}

void TMainScreen::dragEnterEvent(QDragEnterEvent *event)
{
    if (!LocalFiles(event->mimeData()).isEmpty() && !m_busy)
        event->acceptProposedAction();
}

void TMainScreen::dragMoveEvent(QDragMoveEvent *event)
{
    if (!LocalFiles(event->mimeData()).isEmpty() && !m_busy)
        event->acceptProposedAction();
}

void TMainScreen::dropEvent(QDropEvent *event)
{
    const QStringList files = LocalFiles(event->mimeData());
    if (files.isEmpty() || m_busy)
        return;
    event->acceptProposedAction();
    // A design opens (one: the card shows one design); pictures go on the card.
    for (const QString &file : files) {
        if (IsDesignPath(file)) {
            OpenFromDesktop(file);
            return;
        }
    }
    QPoint at = m_panel->mapFrom(this, event->position().toPoint());
    QStringList unreadable;
    for (const QString &file : files) {
        if (!PlacePictureFile(file, at))
            unreadable.append(QFileInfo(file).fileName());
        at += QPoint(15, 15);
    }
    if (!unreadable.isEmpty())
        ShowInformation(
            tr("Unable to read the picture %1").arg(unreadable.join(QStringLiteral(", "))));
}
