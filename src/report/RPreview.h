#pragma once

#include "report/RPFPrint.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QScrollArea;

// Shows a recording page by page inside a scroll area: one widget per page,
// only the current one visible, drawn at ZoomFactor percent of the screen's
// real size with a margin of MarginPercent of the page and a shadow.
class TFilePreview : public TFilePrinter
{
public:
    enum TMarginMethod { mmScaled, mmFixed };

    TFilePreview();
    ~TFilePreview() override;

    QScrollArea *ScrollBox() const { return m_scrollBox; }
    void SetScrollBox(QScrollArea *box);

    // Reads the recording and shows its first page; EReportError when the
    // recording cannot be read or there is no scroll box.
    void Start();
    bool Execute() override; // same as Start(); true when a page is shown

    double ZoomFactor() const { return m_zoom; }
    void SetZoomFactor(double percent); // clamped to 10..200
    double ZoomInc() const { return m_zoomInc; }
    void SetZoomInc(double points) { m_zoomInc = points; }
    double MarginPercent() const { return m_marginPercent; }
    void SetMarginPercent(double p) { m_marginPercent = p; }
    TMarginMethod MarginMethod() const { return m_marginMethod; }
    void SetMarginMethod(TMarginMethod m) { m_marginMethod = m; }
    int ShadowDepth() const { return m_shadowDepth; }
    void SetShadowDepth(int px) { m_shadowDepth = px; }
    void ZoomIn();
    void ZoomOut();
    void ZoomPageWidth();
    void ZoomPage();
    // The zoom that fits the page width (or the whole page) into the scroll
    // box's viewport, before clamping.
    double PageWidthZoom() const;
    double WholePageZoom() const;
    double ZoomPercent() const override { return m_zoom; }

    int FirstPage() const { return 1; }
    int PageCount() const { return int(m_recording.Pages.size()); }
    int ShownPage() const { return m_shownPage; }
    void NextPage();
    void PrevPage();
    void GotoPage(int page); // 1-based; out of range ignored
    // The page widgets inside the scroll box (for mouse handlers).
    QList<QWidget *> PageWidgets() const;
    // Screen pixels per inch used for the page (the scroll box's logical dpi).
    double ScreenDpi() const;
    // Renders a page at the current zoom, as shown (without shadow/margin).
    QImage RenderPage(int page) const;

    std::function<void()> OnZoomChange;
    std::function<void()> OnPageChange;

private:
    void Relayout();
    double FitZoom(double inches, int pixels) const;
    friend class TPreviewPageWidget;

    QPointer<QScrollArea> m_scrollBox;
    QPointer<QWidget> m_container;
    QList<QPointer<QWidget>> m_pageWidgets;
    double m_zoom = 100.0;
    double m_zoomInc = 10.0;
    double m_marginPercent = 2.5;
    TMarginMethod m_marginMethod = mmFixed;
    int m_shadowDepth = 5;
    int m_shownPage = 0;
};
