#pragma once

#include "document/Groups.h"
#include "surface/GGraphc.h"

#include <QSize>
#include <QStringList>

class QAction;

// A clip-art picture (bitmap or metafile) drawn stretched into the object's
// bounds; AutoSize first sizes the bounds to the picture.
class TGImage : public TGGraphicControl
{
    Q_OBJECT

public:
    using Inherited = TGGraphicControl;

    explicit TGImage(QObject *owner = nullptr);

    // AutoSize and Stretch exclude each other through their setters; the
    // image browser may clear both.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool value);

    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);

    TGPicture *Picture() { return &m_picture; }
    void SetPicture(const TPicture &picture); // copies the graphic

    // The picture's own size in pixels at 100 %; empty for an empty picture.
    QSize PictureSize() const;
    // True when a bitmap covers the bounds one to one, so nothing beneath shows.
    bool IsOpaque() const;

    const TPropertyTable &PropertyTable() const override;
    void BoundsChanged() override;
    void Paint(QPainter &painter) override;
    void PrintTo(TBaseReport *report, double x, double y) override;
    void RefreshMenu() override;

    // The menu's actions.
    // Opens the image browser; OK with a picture chosen takes the picture and
    // the browser's two boxes. The process's current folder is kept.
    void LoadImage();
    void ToggleBorder();
    void ToggleStretch();
    void ToggleAutoSize();

protected:
    void BuildObjectMenu() override;

private:
    void PictureChanged();

    bool m_autoSize = false;
    bool m_stretch = true;
    TBorderStyle m_borderStyle = bsNone;
    TGPicture m_picture;
    bool m_quietGroups = false;
    QAction *m_borderItem = nullptr;
    QAction *m_stretchItem = nullptr;
    QAction *m_autoSizeItem = nullptr;
};
