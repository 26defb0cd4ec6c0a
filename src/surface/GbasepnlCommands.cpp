// The surface's menu and commands: arrange, clipboard, align, centre, lock,
// selectability, select all, font, and removing objects.
#include "document/Desktop.h"
#include "document/Filer.h"
#include "surface/GGraphc.h"
#include "surface/GHandle.h"
#include "surface/Gbasepnl.h"
#include "surface/TickClock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QSet>

namespace {
enum { AlignLeft, AlignRight, AlignTops, AlignBottoms };
}

void TGBasePanel::BuildSurfaceMenu()
{
    m_surfaceMenu = new QMenu;
    m_surfaceMenu->setObjectName(QStringLiteral("SurfaceMenu"));
    connect(m_surfaceMenu, &QMenu::aboutToShow, this, [this] { UpdateSurfaceMenu(); });
    auto add = [this](const QString &caption, std::function<void()> action) {
        QAction *item = m_surfaceMenu->addAction(caption);
        connect(item, &QAction::triggered, this, [this, caption, action] {
            const TUndoStep step(History(), TDesignHistory::NameOfCaption(caption));
            action();
        });
        return item;
    };
    auto selectionItem = [&](const QString &caption, std::function<void()> action) {
        QAction *item = add(caption, std::move(action));
        m_selectionItems.append(item);
        return item;
    };
    selectionItem(tr("Bring To Front"), [this] {
        m_handles->BringSelectionToFront();
        FireLabelChanged();
    });
    selectionItem(tr("Send To Back"), [this] {
        m_handles->SendSelectionToBack();
        m_handles->ClearSelection();
        FireLabelChanged();
    });
    m_surfaceMenu->addSeparator();
    selectionItem(tr("Cut"), [this] { ClipboardCommand(0); });
    selectionItem(tr("Copy"), [this] { ClipboardCommand(1); });
    m_pasteItem = add(tr("Paste"), [this] { ClipboardCommand(2); });
    m_surfaceMenu->addSeparator();
    selectionItem(tr("Delete"), [this] { ClipboardCommand(3); });
    m_surfaceMenu->addSeparator();
    selectionItem(tr("Align Left"), [this] { Align(AlignLeft); });
    selectionItem(tr("Align Right"), [this] { Align(AlignRight); });
    selectionItem(tr("Align Tops"), [this] { Align(AlignTops); });
    selectionItem(tr("Align Bottoms"), [this] { Align(AlignBottoms); });
    m_surfaceMenu->addSeparator();
    selectionItem(tr("Center Vertically"), [this] { CenterSelection(true); });
    selectionItem(tr("Center Horizontally"), [this] { CenterSelection(false); });
    m_surfaceMenu->addSeparator();
    m_lockAllItem = add(tr("Lock All"), [this] {
        for (TGGraphicControl *object : std::as_const(m_objects))
            if (!object->Locked())
                object->SetLocked(true);
    });
    m_unlockAllItem = add(tr("Unlock All"), [this] {
        for (TGGraphicControl *object : std::as_const(m_objects))
            if (object->Locked())
                object->SetLocked(false);
    });
    m_surfaceMenu->addSeparator();
    add(tr("Mark All Selectable"), [this] {
        for (TGGraphicControl *object : std::as_const(m_objects))
            object->SetUnselectable(false);
    });
    add(tr("Mark All Unselectable"), [this] {
        const QList<TGGraphicControl *> objects = m_objects;
        for (TGGraphicControl *object : objects)
            object->SetUnselectable(true);
    });
    add(tr("Select All"), [this] { SelectAll(); });
    m_surfaceMenu->addSeparator();
    selectionItem(tr("Font"), [this] { ChooseFontForSelection(); });
}

void TGBasePanel::SelectAll()
{
    if (m_objects.isEmpty())
        return;
    m_handles->ClearSelection();
    for (TGGraphicControl *object : std::as_const(m_objects))
        m_handles->AddToSelection(object);
}

void TGBasePanel::CloneSelection()
{
    const TUndoStep step(History(), tr("Clone"));
    ForEachSelected([this](TGGraphicControl *object) { CloneObject(object); });
}

void TGBasePanel::UpdateSurfaceMenu()
{
    const bool selected = m_handles->SelectedCount() > 0;
    for (QAction *item : std::as_const(m_selectionItems))
        item->setEnabled(selected);
    m_pasteItem->setEnabled(QFile::exists(m_clipboardFile));
    m_lockAllItem->setEnabled(ControlCount() > 1);
    m_unlockAllItem->setEnabled(ControlCount() > 1);
}

void TGBasePanel::Align(int how)
{
    const QList<TGGraphicControl *> selection = m_handles->Selection();
    if (selection.isEmpty())
        return;
    FireLabelChanged();
    int m = 0;
    switch (how) {
    case AlignLeft:
        m = width();
        for (const TGGraphicControl *o : selection)
            m = std::min(m, o->Left());
        for (TGGraphicControl *o : selection)
            o->SetLeft(m);
        break;
    case AlignRight:
        for (const TGGraphicControl *o : selection)
            m = std::max(m, o->Left() + o->Width());
        for (TGGraphicControl *o : selection)
            o->SetLeft(m - o->Width());
        break;
    case AlignTops:
        m = height();
        for (const TGGraphicControl *o : selection)
            m = std::min(m, o->Top());
        for (TGGraphicControl *o : selection)
            o->SetTop(m);
        break;
    case AlignBottoms:
        for (const TGGraphicControl *o : selection)
            m = std::max(m, o->Top() + o->Height());
        for (TGGraphicControl *o : selection)
            o->SetTop(m - o->Height());
        break;
    }
    // Each move repainted the object's old and new place; the squares
    // follow with the selection's refit.
}

void TGBasePanel::CenterSelection(bool vertically)
{
    // Each move repaints the object's old and new place.
    ForEachSelected([vertically](TGGraphicControl *object) {
        if (vertically)
            object->CenterVertically();
        else
            object->CenterHorizontally();
    });
}

bool TGBasePanel::ForEachSelected(const std::function<void(TGGraphicControl *)> &action)
{
    // Each step may let waiting input run, which may free objects, change the
    // selection or free the surface: work through the selection as it was,
    // skipping what has gone.
    QList<QPointer<TGGraphicControl>> selection;
    for (TGGraphicControl *object : m_handles->Selection())
        selection.append(object);
    const QPointer<TGBasePanel> self(this);
    for (const QPointer<TGGraphicControl> &object : std::as_const(selection)) {
        if (!self)
            return false;
        if (object && object->Parent() == this)
            action(object);
    }
    return bool(self);
}

void TGBasePanel::ChooseFontForSelection()
{
    if (m_handles->SelectedCount() == 0)
        return;
    // The dialog starts from the default font, whose colour is black; the
    // colour chosen goes to the objects with the font.
    TColor color = 0;
    if (const std::optional<QFont> chosen = ChooseFont(m_surfaceFont, this, QString(), &color)) {
        for (TGGraphicControl *object : m_handles->Selection()) {
            // The new size the font gives comes now, so that the old and the
            // new place are repainted together.
            object->Repaint();
            object->AssignFont(*chosen, color);
            object->UpdateLayout();
            object->Repaint();
        }
    }
}

void TGBasePanel::ClipboardCommand(int code)
{
    RunClipboardCommand(code, false);
}

void TGBasePanel::RunClipboardCommand(int code, bool freeLater)
{
    static const char *const names[] = {QT_TR_NOOP("Cut"), QT_TR_NOOP("Copy"),
                                        QT_TR_NOOP("Paste"), QT_TR_NOOP("Delete")};
    const TUndoStep step(History(), code >= 0 && code <= 3 ? tr(names[code]) : QString());
    switch (code) {
    case 0:
    case 1: {
        // With nothing selected the clipboard file stays as it was. The file
        // holds the bounds at 100 %, so a paste at another zoom can size them.
        const TFullSizeRecords fullSize;
        TGLabelObjectFiler filer;
        filer.KeepUnicode = true;
        filer.SaveSelectedObjects(StoredList(m_handles->Selection()), m_clipboardFile);
        if (code == 1)
            break;
        DeleteSelection(freeLater);
        break;
    }
    case 2: {
        // A paste within a second of the last one is dropped; this also
        // absorbs the second delivery of Ctrl+V while the handles have the focus.
        const uint32_t now = m_clock->Now();
        if (m_lastPasteTick == 0)
            m_lastPasteTick = now;
        else if (now - m_lastPasteTick < 1000)
            return;
        // All or nothing: when the file breaks off, the objects read before
        // the bad record go again, and the error goes on to the user.
        const QSet<TGGraphicControl *> before(m_objects.cbegin(), m_objects.cend());
        TGLabelObjectFiler filer;
        try {
            filer.PasteObjects(Owner(), this, m_clipboardFile);
        } catch (...) {
            for (qsizetype i = m_objects.size() - 1; i >= 0; --i) {
                if (!before.contains(m_objects.at(i)))
                    FreeObject(m_objects.at(i));
            }
            throw;
        }
        // The file holds the copies at 100 % (moved 15 pixels on by the
        // paste): they take the card's zoom as the rest of the card did.
        for (TGGraphicControl *object : std::as_const(m_objects))
            if (!before.contains(object))
                object->SetZoomScale(m_zoomScale);
        RewireAll();
        FireLabelChanged();
        QCoreApplication::processEvents();
        m_lastPasteTick = m_clock->Now();
        break;
    }
    case 3:
        DeleteSelection(freeLater);
        break;
    default:
        break;
    }
}

void TGBasePanel::DeleteSelection(bool later)
{
    for (int i = m_handles->SelectedCount() - 1; i >= 0; --i) {
        TGGraphicControl *object = m_handles->SelectedObject(i);
        m_handles->RemoveFromSelection(object);
        if (later)
            FreeObjectLater(object);
        else
            FreeObject(object);
        FireLabelChanged();
    }
}

void TGBasePanel::ObjectClipboardCommand(TGGraphicControl *object, int code)
{
    // The object's own menu is delivering this command: the objects it frees
    // (this one among them) leave the card now and are freed after the menu.
    if (m_handles->IndexOfSelected(object) >= 0) {
        RunClipboardCommand(code, true);
        return;
    }
    if (code == 0 || code == 1) {
        const TFullSizeRecords fullSize;
        TGLabelObjectFiler filer;
        filer.KeepUnicode = true;
        filer.SaveObject(object, m_clipboardFile);
    }
    if (code == 0 || code == 3) {
        FireLabelChanged();
        FreeObjectLater(object);
    }
}

void TGBasePanel::DeleteAllObjects()
{
    m_handles->ClearSelection();
    for (qsizetype i = m_objects.size() - 1; i >= 0; --i)
        FreeObject(m_objects.at(i));
}

void TGBasePanel::RemoveOutsideObjects()
{
    m_handles->ClearSelection();
    for (qsizetype i = m_objects.size() - 1; i >= 0; --i) {
        TGGraphicControl *o = m_objects.at(i);
        if (o->Top() > height() - 10 || o->Left() > width() - 10 || o->Width() < 1
            || o->Height() < 1)
            FreeObject(o);
    }
}

void TGBasePanel::PrintObjects(TBaseReport *report, double x, double y)
{
    const QList<TGGraphicControl *> objects = m_objects;
    for (TGGraphicControl *object : objects)
        object->PrintTo(report, x, y);
}

void TGBasePanel::CloneObject(TGGraphicControl *object)
{
    const TUndoStep step(History(), tr("Clone"));
    if (!object)
        return;
    TGLabelObjectFiler filer;
    const QPointer<TGGraphicControl> copy(
        qobject_cast<TGGraphicControl *>(filer.DuplicateObject(object, Owner(), this)));
    // Waiting input runs here and may free the original (a Delete key), the
    // copy or this surface: what is needed of the original is taken first.
    const QPointer<TGGraphicControl> source(object);
    const int sourceTop = object->Top();
    const QPointer<TGBasePanel> self(this);
    QCoreApplication::processEvents();
    if (!self)
        return;

    if (copy && copy->Parent() == this) {
        copy->SetTop((source ? source->Top() : sourceTop) + 25);
        BringObjectToFront(copy);
        if (source && m_handles->IndexOfSelected(source) >= 0) {
            m_handles->RemoveFromSelection(source);
            m_handles->AddToSelection(copy);
        }
        RewireAll();
    }
    if (source)
        source->ReportChange();
    else if (!m_printing)
        FireLabelChanged();
}

TZoomAtFullSize::TZoomAtFullSize(TGBasePanel *surface)
    : m_surface(surface)
    , m_zoom(surface ? surface->ZoomScale() : 1.0f)
{
    if (m_zoom != 1.0f)
        m_surface->SetZoom(1.0f);
}

TZoomAtFullSize::~TZoomAtFullSize()
{
    if (m_surface && m_surface->ZoomScale() != m_zoom)
        m_surface->SetZoom(m_zoom);
}

void TGBasePanel::SaveToFile(const QString &path)
{
    const TFullSizeRecords fullSize;
    TGLabelObjectFiler filer;
    filer.SaveAllObjects(this, path);
}

void TGBasePanel::LoadFromFile(const QString &path)
{
    if (!QFileInfo::exists(path))
        return;
    // Objects read before a failure stay; they get handlers like the rest.
    m_model->ReadObjects(path);
}

bool TGBasePanel::LoadColorPicture(const QString &path)
{
    return ColorPicture().LoadFromFile(path);
}

void TGBasePanel::ClearColorPicture()
{
    ColorPicture().Clear();
}
