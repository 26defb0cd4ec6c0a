#pragma once

#include <QDialog>

class QFrame;
class QPushButton;
class QScrollArea;
class QToolButton;
class TGraphicPanel;
class TRichTextEditView;
class TRichTextToolbar;

// The rich text label's editor: the formatting toolbar, the label's page in an
// editing area at the surface's zoom, and Zoom In / Zoom Out between 50 and 100 %.
class TRichTextLabelEditor : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpTopic = 40013;
    static constexpr int MaxZoom = 100;
    static constexpr int MinZoom = 50;
    static constexpr int ZoomStep = 10;

    explicit TRichTextLabelEditor(QWidget *mainWindow = nullptr);

    QSize sizeHint() const override { return QSize(601, 343); }

    // The editing area's size in pixels (the label's size plus one).
    void SetEditAreaSize(int width, int height);
    void SetEditAreaColor(const QColor &color);

    void ZoomInClick();
    void ZoomOutClick();

    TRichTextEditView *RichEdit = nullptr;
    TRichTextToolbar *RichTextToolbar = nullptr;
    QScrollArea *ScrollBox = nullptr;
    QFrame *EditArea = nullptr;
    QToolButton *ZoomInButton = nullptr;
    QToolButton *ZoomOutButton = nullptr;
    TGraphicPanel *ZoomCaption = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *HelpButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // On the first showing: prepare the view and record the size and zoom
    // the zoom buttons scale from.
    void FormActivate();
    void ApplyZoom(int zoom);

    bool m_activated = false;
    int m_w0 = 0;
    int m_h0 = 0;
    int m_z0 = 100;
};
