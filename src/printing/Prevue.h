#pragma once

#include <QByteArray>
#include <QDialog>
#include <functional>
#include <memory>

class QPushButton;
class QScrollArea;
class QToolButton;
class TFilePreview;

// "Preview Business Cards": plays the recorded sheet in the print engine's
// page view, with four zoom buttons, click zoom (left in, other buttons out)
// under a magnifying-glass cursor, arrow-key scrolling and Page Up / Page Down
// between pages. Its caption names the page shown.
class TPreviewForm : public QDialog
{
    Q_OBJECT

public:
    explicit TPreviewForm(QWidget *parent = nullptr);
    ~TPreviewForm() override;

    static constexpr int HelpContext = 2039;

    // The recorded pages (the recording report's memory stream).
    void SetRecording(const QByteArray &recording);
    // Reads the recording into the page view; false (with the reason) when it
    // cannot be read. Runs by itself at the first showing when not done before.
    bool Start(QString *error = nullptr);
    bool Started() const { return m_started; }

    // Where the window's placement is kept; the main window supplies the
    // program's placement routines.
    std::function<void(QWidget *)> RestoreWindowPlacement;
    std::function<void(QWidget *)> SaveWindowPlacement;

    TFilePreview &FilePreview1() { return *m_preview; }
    QScrollArea *ScrollBox1() const { return m_scrollBox; }

    void SBZoomInClick();
    void SBZoomOutClick();
    void SBZoomPageWidthClick();
    void SBZoomPageClick();
    void CloseButtonClick();

    QPushButton *CloseButton = nullptr;
    QPushButton *Helpbutton = nullptr;
    QToolButton *sbZoomIn = nullptr;
    QToolButton *sbZoomOut = nullptr;
    QToolButton *sbZoomPageWidth = nullptr;
    QToolButton *sbZoomPage = nullptr;

    // The magnifying glass shown over the page.
    static QCursor MagnifyingGlassCursor();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormActivate();
    void FilePreview1PageChange();
    void FilePreview1ZoomChange();
    void ScrollBox1MouseDown(Qt::MouseButton button);
    void ScrollBy(int steps);
    void WatchPages();

    std::unique_ptr<TFilePreview> m_preview;
    QScrollArea *m_scrollBox = nullptr;
    QByteArray m_recording;
    bool m_started = false;
    bool m_activated = false;
};
