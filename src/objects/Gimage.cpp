#include "objects/Gimage.h"

#include "graphics/Geometry.h"
#include "objects/Gimageb.h"
#include "report/RPBase.h"
#include "surface/ScreenInfo.h"

#include <QAction>
#include <QDir>
#include <QPainter>
#include <QScopedValueRollback>

TGImage::TGImage(QObject *owner)
    : TGGraphicControl(owner)
{
    SetCreationBounds(105, 105);
    m_picture.OnChange = [this] {
        if (m_quietGroups || IsLoading())
            return;
        PictureChanged();
        ReportChange();
    };
}

QSize TGImage::PictureSize() const
{
    return m_picture.NaturalSize();
}

bool TGImage::IsOpaque() const
{
    return m_picture.IsBitmap() && PictureSize() == QSize(Width(), Height());
}

void TGImage::PictureChanged()
{
    BoundsChanged();
    Repaint();
}

void TGImage::SetAutoSize(bool value)
{
    if (value == m_autoSize)
        return;
    m_autoSize = value;
    // A stream holds both flags (the browser may clear both): take each as stored.
    if (IsLoading())
        return;
    m_stretch = !value;
    PictureChanged();
    ReportChange();
}

void TGImage::SetStretch(bool value)
{
    if (value == m_stretch)
        return;
    m_stretch = value;
    if (IsLoading())
        return;
    m_autoSize = !value;
    // Clearing Stretch turns AutoSize on, so the bounds follow the picture now
    // rather than at the next move.
    if (m_autoSize)
        PictureChanged();
    else
        Repaint();
    ReportChange();
}

void TGImage::SetBorderStyle(TBorderStyle style)
{
    if (style == bsNone || style == bsSingle)
        StoreDesignValue(m_borderStyle, style);
}

void TGImage::SetPicture(const TPicture &picture)
{
    if (picture.GraphicKind() == m_picture.GraphicKind() &&
        picture.GraphicData() == m_picture.GraphicData())
        return;
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_picture = picture; // keeps this picture's OnChange
    }
    if (IsLoading())
        return;
    PictureChanged();
    ReportChange();
}

void TGImage::BoundsChanged()
{
    Inherited::BoundsChanged();
    if (!m_autoSize)
        return;
    const QSize size = PictureSize();
    if (size.width() <= 0 || size.height() <= 0)
        return;
    const double s = ZoomScale();
    SetBounds(Left(), Top(), RoundEven(size.width() * s), RoundEven(size.height() * s));
}

const TPropertyTable &TGImage::PropertyTable() const
{
    using T = TGImage;
    static const TPropertyTable table = [] {
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(
            props::Boolean<T>(QStringLiteral("AutoSize"), &T::AutoSize, &T::SetAutoSize, 0));
        t.push_back(props::Enum<T, TBorderStyle>(QStringLiteral("BorderStyle"),
                                                 BorderStyleIdentifiers(), &T::BorderStyle,
                                                 &T::SetBorderStyle));
        t.push_back(props::Object<T>(QStringLiteral("Picture"), &T::Picture));
        t.push_back(props::Boolean<T>(QStringLiteral("Stretch"), &T::Stretch, &T::SetStretch, 1));
        return t;
    }();
    return table;
}

void TGImage::Paint(QPainter &painter)
{
    if (Width() <= 0 || Height() <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect whole(0, 0, Width(), Height());
    // The frame runs through the outermost pixels of the bounds.
    const QRect frame = whole.adjusted(0, 0, -1, -1);
    if (m_picture.IsEmpty()) {
        // An empty image stays visible (and selectable) as a white box.
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::white);
        painter.drawRect(frame);
    } else {
        painter.save();
        painter.setClipRect(whole, Qt::IntersectClip);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, PictureSize() != whole.size());
        m_picture.Draw(painter, whole);
        painter.restore();
    }
    if (m_borderStyle == bsSingle) {
        painter.setPen(QPen(Qt::black, 0, Qt::SolidLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame);
    }
    painter.restore();
}

void TGImage::PrintTo(TBaseReport *report, double x, double y)
{
    if (!report)
        return;
    const double ppi = ScreenPixelsPerInch();
    const double x1 = x + Left() / ppi;
    const double y1 = y + Top() / ppi;
    const double x2 = x + (Left() + Width()) / ppi;
    const double y2 = y + (Top() + Height()) / ppi;
    switch (m_picture.GraphicKind()) {
    case TPicture::Kind::Bitmap:
    case TPicture::Kind::Icon:
        report->PrintBitmapRect(
            x1, y1, x2, y2,
            PrintableImage(m_picture, Name(), report->InchRect(x1, y1, x2, y2).size()));
        break;
    case TPicture::Kind::Metafile:
        // Drawn through the painter, so the paper gets the metafile's vectors.
        report->PrintPictureRect(x1, y1, x2, y2, m_picture);
        break;
    case TPicture::Kind::None:
        break;
    }
    if (m_borderStyle == bsSingle) {
        report->SetPen(0x000000, psSolid, 1, pmCopy);
        report->SetBrush(0xFFFFFF, bsClear);
        report->Rectangle(x1, y1, x2, y2);
    }
}

void TGImage::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    AddMenuSeparator();
    AddMenuItem(tr("Load Image From Disk"), [this] { LoadImage(); });
    AddMenuSeparator();
    m_borderItem = AddMenuItem(tr("Border"), [this] { ToggleBorder(); });
    m_stretchItem = AddMenuItem(tr("Stretch to Fit"), [this] { ToggleStretch(); });
    m_autoSizeItem = AddMenuItem(tr("AutoSize"), [this] { ToggleAutoSize(); });
    for (QAction *item : {m_borderItem, m_stretchItem, m_autoSizeItem})
        item->setCheckable(true);
    RefreshMenu();
}

void TGImage::RefreshMenu()
{
    Inherited::RefreshMenu();
    if (!m_borderItem)
        return;
    m_borderItem->setChecked(m_borderStyle == bsSingle);
    m_stretchItem->setChecked(m_stretch);
    m_autoSizeItem->setChecked(m_autoSize);
}

void TGImage::ToggleBorder()
{
    SetBorderStyle(m_borderStyle == bsSingle ? bsNone : bsSingle);
    Repaint();
}

void TGImage::ToggleStretch()
{
    SetStretch(!m_stretch);
    Repaint();
}

void TGImage::ToggleAutoSize()
{
    SetAutoSize(!m_autoSize);
    Repaint();
}

void TGImage::LoadImage()
{
    // Browsing must not move the process's current folder for good.
    const QString currentFolder = QDir::currentPath();
    {
        TGImageBrowser browser(DialogParent());
        browser.SetStretch(m_stretch);
        browser.SetAutoSize(m_autoSize);
        // A file that did not load leaves an empty preview: OK then keeps the
        // picture the object has rather than dropping it.
        if (browser.exec() == QDialog::Accepted && !browser.FileName().isEmpty() &&
            !browser.PreviewPicture().IsEmpty()) {
            {
                QScopedValueRollback<bool> quiet(m_quietGroups, true);
                m_picture = browser.PreviewPicture();
            }
            // Both flags as the boxes say, even both cleared.
            m_stretch = browser.Stretch();
            m_autoSize = browser.AutoSize();
            PictureChanged();
            ReportChange();
        }
    }
    QDir::setCurrent(currentFolder);
}
