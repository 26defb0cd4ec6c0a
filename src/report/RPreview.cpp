#include "report/RPreview.h"

#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

// One recorded page at the preview's zoom, with its shadow to the lower right.
class TPreviewPageWidget : public QWidget
{
public:
    TPreviewPageWidget(TFilePreview *preview, int page, QWidget *parent)
        : QWidget(parent)
        , m_preview(preview)
        , m_page(page)
    {
        setAttribute(Qt::WA_OpaquePaintEvent, false);
    }
    int Page() const { return m_page; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const int s = m_preview->ShadowDepth();
        const QRect page(0, 0, width() - s, height() - s);
        if (s > 0)
            p.fillRect(page.translated(s, s), QColor(64, 64, 64));
        p.fillRect(page, Qt::white);
        p.setClipRect(page);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        const double ppi = m_preview->ScreenDpi() * m_preview->ZoomFactor() / 100.0;
        PlayRecordedPage(p, m_preview->Recording(), m_page, ppi, ppi);
        p.setClipping(false);
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(page.adjusted(0, 0, -1, -1));
    }

private:
    TFilePreview *m_preview;
    int m_page;
};

TFilePreview::TFilePreview()
{
    SetStreamMode(smUser);
}

TFilePreview::~TFilePreview()
{
    if (m_container && m_scrollBox && m_scrollBox->widget() == m_container)
        delete m_scrollBox->takeWidget();
}

void TFilePreview::SetScrollBox(QScrollArea *box)
{
    m_scrollBox = box;
}

double TFilePreview::ScreenDpi() const
{
    if (m_scrollBox)
        return m_scrollBox->logicalDpiX();
    return 96.0;
}

void TFilePreview::Start()
{
    if (!m_scrollBox)
        throw EReportError(QStringLiteral("The preview has no window to show its pages in."));
    LoadRecording();
    const int dpi = int(ScreenDpi());
    SetMetrics(0, 0, 0, m_recording.PageWidth, m_recording.PageHeight, dpi, dpi);

    auto *container = new QWidget;
    container->setObjectName(QStringLiteral("PreviewPages"));
    container->setAutoFillBackground(true);
    QPalette pal = container->palette();
    pal.setColor(QPalette::Window, QColor(160, 160, 160));
    container->setPalette(pal);
    m_pageWidgets.clear();
    for (int i = 0; i < m_recording.Pages.size(); ++i) {
        auto *w = new TPreviewPageWidget(this, i, container);
        w->setObjectName(QStringLiteral("PreviewPage%1").arg(i + 1));
        w->hide();
        m_pageWidgets.append(w);
    }
    m_scrollBox->setWidget(container); // frees the previous pages
    m_scrollBox->setWidgetResizable(false);
    m_scrollBox->setAlignment(Qt::AlignCenter);
    m_container = container;
    m_shownPage = m_recording.Pages.isEmpty() ? 0 : 1;
    Relayout();
    if (OnPageChange)
        OnPageChange();
}

bool TFilePreview::Execute()
{
    Start();
    return PageCount() > 0;
}

void TFilePreview::Relayout()
{
    if (!m_container)
        return;
    const double ppi = ScreenDpi() * m_zoom / 100.0;
    const int w = int(std::lround(m_recording.PageWidth * ppi));
    const int h = int(std::lround(m_recording.PageHeight * ppi));
    const int mx = int(std::lround(w * m_marginPercent / 100.0));
    const int my = int(std::lround(h * m_marginPercent / 100.0));
    m_container->resize(w + 2 * mx + m_shadowDepth, h + 2 * my + m_shadowDepth);
    for (int i = 0; i < m_pageWidgets.size(); ++i) {
        QWidget *pw = m_pageWidgets[i];
        if (!pw)
            continue;
        pw->setGeometry(mx, my, w + m_shadowDepth, h + m_shadowDepth);
        pw->setVisible(i + 1 == m_shownPage);
        pw->update();
    }
}

void TFilePreview::SetZoomFactor(double percent)
{
    if (!std::isfinite(percent))
        return;
    percent = std::clamp(percent, 10.0, 200.0);
    if (percent == m_zoom)
        return;
    m_zoom = percent;
    Relayout();
    if (OnZoomChange)
        OnZoomChange();
}

void TFilePreview::ZoomIn()
{
    SetZoomFactor(m_zoom + m_zoomInc);
}

void TFilePreview::ZoomOut()
{
    SetZoomFactor(m_zoom - m_zoomInc);
}

// The zoom at which a page length (inches) with its margin of MarginPercent
// on both sides and the shadow fills `pixels`; two pixels stay spare for the
// rounding of the page and margin sizes.
double TFilePreview::FitZoom(double inches, int pixels) const
{
    const double avail = pixels - m_shadowDepth - 2;
    return avail / (inches * ScreenDpi() * (1.0 + 2.0 * m_marginPercent / 100.0)) * 100.0;
}

double TFilePreview::PageWidthZoom() const
{
    if (!m_scrollBox || m_recording.PageWidth <= 0)
        return m_zoom;
    const QSize view = m_scrollBox->maximumViewportSize();
    const double zoom = FitZoom(m_recording.PageWidth, view.width());
    // A page taller than the view gets a vertical scroll bar, which takes its
    // width from the view.
    if (m_recording.PageHeight > 0 && FitZoom(m_recording.PageHeight, view.height()) < zoom)
        return FitZoom(m_recording.PageWidth,
                       view.width() - m_scrollBox->verticalScrollBar()->sizeHint().width());
    return zoom;
}

double TFilePreview::WholePageZoom() const
{
    if (!m_scrollBox || m_recording.PageWidth <= 0 || m_recording.PageHeight <= 0)
        return m_zoom;
    const QSize view = m_scrollBox->maximumViewportSize();
    return std::min(FitZoom(m_recording.PageWidth, view.width()),
                    FitZoom(m_recording.PageHeight, view.height()));
}

void TFilePreview::ZoomPageWidth()
{
    SetZoomFactor(PageWidthZoom());
}

void TFilePreview::ZoomPage()
{
    SetZoomFactor(WholePageZoom());
}

void TFilePreview::GotoPage(int page)
{
    if (page < 1 || page > PageCount() || page == m_shownPage)
        return;
    m_shownPage = page;
    Relayout();
    if (OnPageChange)
        OnPageChange();
}

void TFilePreview::NextPage()
{
    GotoPage(m_shownPage + 1);
}

void TFilePreview::PrevPage()
{
    GotoPage(m_shownPage - 1);
}

QList<QWidget *> TFilePreview::PageWidgets() const
{
    QList<QWidget *> list;
    for (const auto &w : m_pageWidgets)
        if (w)
            list.append(w);
    return list;
}

QImage TFilePreview::RenderPage(int page) const
{
    const double ppi = ScreenDpi() * m_zoom / 100.0;
    const int w = int(std::lround(m_recording.PageWidth * ppi));
    const int h = int(std::lround(m_recording.PageHeight * ppi));
    if (page < 1 || page > PageCount() || w <= 0 || h <= 0)
        return QImage();
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    PlayRecordedPage(p, m_recording, page - 1, ppi, ppi);
    p.end();
    return image;
}
