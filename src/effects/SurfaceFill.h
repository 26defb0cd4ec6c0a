#pragma once

#include "document/Groups.h"
#include "document/Persistent.h"
#include "graphics/Colors.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

class QPainter;
class TBaseReport;

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
    // The gradient at that size, built now unless the one held already has
    // it; a size with no area gives an empty picture.
    const QImage &GradientFor(const QSize &size);
    // How many times a gradient picture was built (each costs a full pass).
    int GradientBuilds() const { return m_gradientBuilds; }
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
    int m_gradientBuilds = 0;
    bool m_quietImage = false; // the owner reports the change that drops the texture
};

// ---- Drawing the fills, shared by the super shape and the super text --------

// Colour of gradient band n (0 to 255): band 0 is the start colour of the
// direction, band 255 its end colour, each channel mixed on its own.
QColor GradientBandColor(TColor fromColor, TColor toColor, TFillDirection direction, int band);
// Band n of an area width x height starting at (0, 0); bands across the
// gradient's run are empty when the area is shorter than 256 pixels.
QRect GradientBand(int band, int width, int height, TFillDirection direction);
// The 256 bands drawn into a picture of that size (null when it has no area).
QImage MakeGradientPicture(TColor fromColor, TColor toColor, TFillDirection direction,
                           const QSize &size);

// Draws the picture stretched to tile x tile cells from (0, 0) over the
// area; nothing when the picture or the tile is empty. The painter's clip
// confines the result.
void TileFillPicture(QPainter &painter, const QImage &picture, const QSize &area,
                     const QSize &tile);

// Paper: the gradient over the printed rectangle (device pixels) as one
// smooth linear gradient, which a PDF holds as a single axial shading instead
// of the screen's 256 bands: at the middle of each band it has that band's
// colour, and it is even in between. Every device the report drives takes
// it (PDF files, CUPS queues, which are sent PDF, preview recordings and
// pictures).
void PrintGradient(TBaseReport &report, TColor fromColor, TColor toColor,
                   TFillDirection direction, const QRect &printedRect);
// Paper: the picture tiled from the inch corner (left, top) over an area of
// width x height inches, each tile (the picture at screen size, ppi pixels
// per inch) sent to the engine on its own and overlapping the next by 0.01 inch.
void PrintFillTiles(TBaseReport &report, const QImage &picture, double left, double top,
                    double width, double height, double ppi);

// The table entries an effect kind's properties dialog works on, for
// CopyStoredProperties: the kind's own (not the name, place, size and the
// rest every card object has), less the texture file, which EditOnSample
// passes on its own, and less those named in leftOut.
std::function<bool(const TPropertyDescriptor &)> DialogProperties(const QStringList &leftOut = {});

// Runs an effect object's properties dialog on a sample copy of the object
// (its last texture path too); on OK the object takes the sample's edited
// values through its setters. False when there is no dialog or it was cancelled.
template <class Kind, class Dialog> bool EditOnSample(Kind &object, const Dialog &dialog)
{
    if (!dialog)
        return false;
    Kind sample;
    sample.CopyProperties(object);
    QString lastTexture = object.LastBitmapFileNameandPath();
    if (!dialog(sample, lastTexture, object.DialogParent()))
        return false;
    object.TakeEditedProperties(sample);
    object.SetLastBitmapFileNameandPath(lastTexture);
    return true;
}
