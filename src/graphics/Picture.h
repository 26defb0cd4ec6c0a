#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

// A picture as the card keeps it: empty, or one graphic drawn stretched into
// a rectangle.
class TPicture
{
public:
    bool IsEmpty() const { return m_image.isNull(); }
    bool IsBitmap() const { return !m_image.isNull(); }
    const QImage &Image() const { return m_image; }
    void SetImage(const QImage &image) { m_image = image; }
    void Clear() { m_image = QImage(); }

    // Loads a picture file; false (and the picture unchanged) when it cannot be read.
    bool LoadFromFile(const QString &path);
    // Draws the whole graphic stretched onto the target rectangle.
    void Draw(QPainter &painter, const QRect &target) const;

private:
    QImage m_image;
};
