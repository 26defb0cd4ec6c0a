#include "objects/Gimage.h"

#include "objects/Placeholder.h"
#include "graphics/Geometry.h"

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
    // Bitmaps and icons are decoded; a metafile has no pixel size of its own.
    if (m_picture.IsEmpty())
        return {};
    return m_picture.Image().size();
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
    PaintPlaceholderBox(painter, Width(), Height(), QStringLiteral("Image"));
}
