#include "surface/CardPainter.h"

#include "document/CardModel.h"
#include "graphics/Geometry.h"
#include "surface/GGraphc.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

QImage RenderCardBackground(const TCardLook &look, QSize size, const QRect &exposed)
{
    const int w = std::max(1, size.width());
    const int h = std::max(1, size.height());
    // Only the part asked for: a card of a hundred inches would otherwise
    // cost a picture of hundreds of megabytes on every paint.
    const QRect area = exposed.isNull() ? QRect(0, 0, w, h) : exposed.intersected(QRect(0, 0, w, h));
    if (area.isEmpty())
        return QImage();
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white);

    // A card stock's corners: never more than half the shorter side.
    const double radius = std::clamp(look.CornerRadius, 0.0, std::min(w, h) / 2.0);
    const bool rounded = look.Shape == lsRectangle && radius >= 0.5;
    QPainterPath region;
    switch (look.Shape) {
    case lsRectangle:
        if (rounded)
            region.addRoundedRect(0, 0, w, h, radius, radius);
        else
            region.addRect(0, 0, w + 1, h + 1);
        break;
    case lsRoundRect:
        region.addRoundedRect(0, 0, w + 1, h + 1, 12, 12);
        break;
    case lsEllipse:
        region.addEllipse(0, 0, w + 1, h + 1);
        break;
    }

    QPainter p(&image);
    p.translate(-area.topLeft());
    if (rounded) {
        // Off the card beyond the corners: the colour round the surface.
        QPainterPath outside;
        outside.addRect(0, 0, w + 1, h + 1);
        p.fillPath(outside.subtracted(region), QColor(0xC0, 0xC0, 0xC0));
    }
    const bool picture = look.Picture && !look.Picture->IsEmpty();
    const bool art = look.Art && !look.Art->IsEmpty();
    if (picture || art) {
        p.save();
        p.setClipPath(region);
        if (picture)
            look.Picture->Draw(p, QRect(0, 0, w, h));
        if (art)
            look.Art->Draw(p, QRect(0, 0, w, h));
        p.restore();
    }
    if (look.DrawOutline) {
        p.setPen(QPen(Qt::black, 0));
        p.setBrush(Qt::NoBrush);
        switch (look.Shape) {
        case lsRectangle:
            if (rounded) {
                p.setRenderHint(QPainter::Antialiasing);
                p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), radius, radius);
                break;
            }
            // Filled one-pixel strips: the same pixels whichever part is painted.
            p.fillRect(QRect(0, 0, w, 1), Qt::black);
            p.fillRect(QRect(0, h - 1, w, 1), Qt::black);
            p.fillRect(QRect(0, 0, 1, h), Qt::black);
            p.fillRect(QRect(w - 1, 0, 1, h), Qt::black);
            break;
        case lsRoundRect:
            p.drawRoundedRect(QRectF(0, 0, w - 1, h - 1), 12, 12);
            break;
        case lsEllipse:
            p.drawEllipse(QRectF(0, 0, w - 1, h - 1));
            break;
        }
    }
    p.end();

    if (look.ShowGrid) {
        // Each dot ANDs the picture with green: green on white, darker on art.
        const int step = look.Grid == gs4x4 ? 4 : 8;
        QImage mask(area.size(), QImage::Format_Grayscale8);
        mask.fill(0);
        if (look.Shape == lsRectangle && !rounded) {
            mask.fill(255);
        } else {
            QPainter mp(&mask);
            mp.translate(-area.topLeft());
            mp.fillPath(region, QColor(255, 255, 255));
        }
        // The first dot at or after the area's edge: 2, 2 + step, ... in card pixels.
        auto first = [step](int from) { return from <= 2 ? 2 : 2 + ((from - 2 + step - 1) / step) * step; };
        for (int y = first(area.top()); y <= area.bottom() && y < h; y += step) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y - area.top()));
            const uchar *inside = mask.constScanLine(y - area.top());
            for (int x = first(area.left()); x <= area.right() && x < w; x += step) {
                const int i = x - area.left();
                if (inside[i])
                    line[i] = qRgb(0, qGreen(line[i]) & 128, 0);
            }
        }
    }
    return image;
}

void PaintCardObjects(QPainter &painter, const QList<TGGraphicControl *> &objects,
                      const QRegion &exposed)
{
    const bool partial = !exposed.isEmpty();
    for (TGGraphicControl *object : objects) {
        if (!object->Visible())
            continue;
        if (partial && !exposed.intersects(object->BoundsRect().ToQRect()))
            continue;
        object->UpdateLayout();
        painter.save();
        painter.translate(object->Left(), object->Top());
        painter.setClipRect(0, 0, object->Width(), object->Height(), Qt::IntersectClip);
        object->Paint(painter);
        painter.restore();
    }
}

QImage RenderCard(TCardModel &model, const TCardLook &look, QSize cardSize, float zoom)
{
    // Sized and zoomed as the surface zooms: the card from its size at 100 %,
    // each object from its bounds at 100 %.
    const QSize size(std::max(1, RoundEven(cardSize.width() * double(zoom))),
                     std::max(1, RoundEven(cardSize.height() * double(zoom))));
    const QList<TGGraphicControl *> objects = CardObjects(model.Objects());
    for (TGGraphicControl *object : objects) {
        object->AdoptZoomScale(1.0f);
        object->SetZoomScale(zoom);
    }
    // What the objects post as they are zoomed is done before they are drawn.
    QCoreApplication::processEvents();
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, 0, RenderCardBackground(look, size));
    PaintCardObjects(painter, objects);
    return image;
}
