#include "graphics/Picture.h"

#include <QImageReader>
#include <QPainter>

bool TPicture::LoadFromFile(const QString &path)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return false;
    m_image = image;
    return true;
}

void TPicture::Draw(QPainter &painter, const QRect &target) const
{
    if (m_image.isNull())
        return;
    painter.drawImage(target, m_image);
}
