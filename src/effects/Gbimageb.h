#pragma once

#include "effects/Gsshape.h"
#include "objects/Gimageb.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

// No texture is kept with a side longer than this: a larger picture is
// scaled down (keeping its proportions) when it is loaded, so that a design
// does not carry, and every tile does not draw, a photograph at full size.
inline constexpr int kMaxTextureSide = 2000;

// A picture file as a texture: BMP, DIB, RLE, JPG, JIF, PCX, TGA, ICO and the
// other formats of LoadPictureFile; an icon is drawn on white at its own size.
// Scaled down to kMaxTextureSide. A null image when the file cannot be read.
QImage LoadTextureFile(const QString &path);
// Whether a failure to load the file is reported ("Error loading file!"):
// only for bitmaps and metafiles; other failures just leave no texture.
bool ReportsTextureLoadError(const QString &path);

// A white box that paints one card object (a sample or an example) at its
// bounds, for the previews of the effect dialogs.
class TObjectSampleBox : public QWidget
{
    Q_OBJECT

public:
    explicit TObjectSampleBox(QWidget *parent = nullptr);
    void SetObject(TGGraphicControl *object);
    TGGraphicControl *Object() const { return m_object; }
    // Grows to hold the object with a 10-pixel margin, so the box scrolls.
    void FitObject();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<TGGraphicControl> m_object;
};

// The texture picker: drives, folders and the picture files of a folder, the
// selected file previewed as the texture of an example figure.
class TGBrushImageBrowser : public TGImageBrowser
{
    Q_OBJECT

public:
    static constexpr int HelpTopic = 40012;
    static const QStringList &TextureFileMask();

    explicit TGBrushImageBrowser(QWidget *mainWindow = nullptr);

    // The texture of the selected file (null when none was loaded).
    const QImage &Texture() const { return m_texture; }
    // The figure showing the texture; the caller copies its sample into it.
    TSuperShape *ExampleSuperShape = nullptr;
    TObjectSampleBox *ExampleBox = nullptr;

protected:
    void LoadPreview(const QString &path) override;
    // Shows the texture (null for none) on the example; other browsers keep
    // another example and override this.
    virtual void ShowTexture(const QImage &texture);

private:
    QImage m_texture;
};
