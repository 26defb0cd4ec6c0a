#pragma once

#include "document/Groups.h"
#include "graphics/Colors.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

// Direction of a two-colour gradient: the fill runs toward the side it names,
// so the from-colour sits at the bottom for gdUp and at the left for gdRight.
enum TFillDirection { gdUp, gdDown, gdLeft, gdRight };
const QStringList &FillDirectionIdentifiers();

// The fill settings the super shape and the super text share: the gradient's
// two colours and direction, the texture image and the file it was chosen
// from, and the gradient picture built from them. The owning object stores
// them under its own property names; the setters keep the objects' rule
// (an equal value is no change) and tell the owner through the notices below.
class TSurfaceFill
{
public:
    // gradientShown tells whether the owner fills with the gradient now; only
    // then does a change drop the built gradient.
    TSurfaceFill(std::function<bool()> gradientShown, TColor fromColor, TColor toColor,
                 TFillDirection direction);
    TSurfaceFill(const TSurfaceFill &) = delete;
    TSurfaceFill &operator=(const TSurfaceFill &) = delete;

    // Runs after each change that shows (also one made to the texture group
    // directly), once the stale gradient is dropped.
    std::function<void()> OnChange;
    // Runs after a change of the texture's file name, which shows nowhere.
    std::function<void()> OnFileChange;

    TColor FromColor() const { return m_fromColor; }
    void SetFromColor(TColor color);
    TColor ToColor() const { return m_toColor; }
    void SetToColor(TColor color);
    TFillDirection Direction() const { return m_direction; }
    void SetDirection(TFillDirection direction); // a value outside the enumeration is ignored

    TGBitmap *Image() { return &m_image; }
    const TGBitmap &ImageBitmap() const { return m_image; }
    void SetImage(const TGBitmap *bitmap); // null empties it
    // Full path of the texture file last chosen.
    QString LastBitmapFile() const { return m_lastBitmapFile; }
    void SetLastBitmapFile(const QString &path);

    // After the owner took another surface type (gradientShown already
    // answers for it): drops the texture unless the type is textured, and the
    // built gradient. No notice; the owner reports the type change.
    void FollowSurfaceType(bool textured);

    // The gradient, as large as the owner; built lazily before drawing, empty
    // until then.
    const QImage &GradientPicture() const { return m_gradientPicture; }
    void InvalidateGradient();
    // Drops a built gradient that does not have the owner's new size.
    void FitGradientTo(const QSize &size);

private:
    void Changed();
    // Takes a value the gradient is drawn from: an equal one is no change;
    // otherwise it is stored, the built gradient dropped and the change told.
    template <class V> void StoreGradientValue(V &field, V value)
    {
        if (field == value)
            return;
        field = value;
        InvalidateGradient();
        Changed();
    }

    std::function<bool()> m_gradientShown;
    TColor m_fromColor;
    TColor m_toColor;
    TFillDirection m_direction;
    TGBitmap m_image;
    QString m_lastBitmapFile;
    QImage m_gradientPicture;
    bool m_quietImage = false; // the owner reports the change that drops the texture
};
