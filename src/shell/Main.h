#pragma once

#include "surface/Gbcpanel32.h"

#include <QMainWindow>

class QButtonGroup;
class QLabel;
class QScrollArea;
class QToolButton;

// The program's main window: the tool bar, the card in its scrolling area and
// the zoom control.
class TMainScreen : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainScreen(QWidget *parent = nullptr);

    TGBusinessCardPanel32 *BusinessCardPanel() const { return m_panel; }
    QScrollArea *ScrollBox() const { return m_scrollBox; }

    // Sizes the surface from the card size in inches, at 100 % zoom.
    void SetCardSizeFromInches(double widthInches, double heightInches);

    void ZoomSpinnerUpClick();
    void ZoomSpinnerDownClick();
    bool Busy() const { return m_busy; }
    bool ChangesMade() const { return m_changesMade; }
    void SetChangesMade(bool changed);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildToolBar();
    void BuildButtonBar(QWidget *parent);
    void ChooseTool(TLPanelState tool);
    void ShowZoom();
    void FormActivate();

    TGBusinessCardPanel32 *m_panel = nullptr;
    QScrollArea *m_scrollBox = nullptr;
    QWidget *m_scrollContents = nullptr;
    QButtonGroup *m_toolGroup = nullptr;
    QLabel *m_zoomCaption = nullptr;
    double m_cardWidthInches = 3.5;
    double m_cardHeightInches = 2.0;
    bool m_busy = true;
    bool m_changesMade = false;
    bool m_activated = false;
};
