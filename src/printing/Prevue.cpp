#include "printing/Prevue.h"

#include "document/Desktop.h"
#include "report/RPBase.h"
#include "report/RPreview.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The zoom buttons' pictures: a lens with a plus or minus, a page with a
// double arrow across it, a whole page.
QIcon ZoomIcon(char kind)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPen ink(QColor(32, 32, 32), 1.6);
    p.setPen(ink);
    if (kind == '+' || kind == '-') {
        p.setBrush(QColor(230, 240, 255));
        p.drawEllipse(QRectF(3, 3, 13, 13));
        p.setPen(QPen(QColor(32, 32, 32), 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
        p.setPen(ink);
        p.drawLine(QPointF(6.5, 9.5), QPointF(12.5, 9.5));
        if (kind == '+')
            p.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
        return QIcon(pixmap);
    }
    p.setBrush(Qt::white);
    const QRectF page = kind == 'w' ? QRectF(3.5, 4.5, 17, 15) : QRectF(6.5, 2.5, 11, 19);
    p.drawRect(page);
    if (kind == 'w') {
        const double y = page.center().y();
        p.drawLine(QPointF(5.5, y), QPointF(18.5, y));
        p.drawLine(QPointF(5.5, y), QPointF(8.5, y - 3));
        p.drawLine(QPointF(5.5, y), QPointF(8.5, y + 3));
        p.drawLine(QPointF(18.5, y), QPointF(15.5, y - 3));
        p.drawLine(QPointF(18.5, y), QPointF(15.5, y + 3));
    } else {
        for (double y = 6.5; y < 19; y += 3)
            p.drawLine(QPointF(8.5, y), QPointF(15.5, y));
    }
    return QIcon(pixmap);
}

} // namespace

QCursor TPreviewForm::MagnifyingGlassCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    // A white rim keeps the glass visible over the dark parts of a card.
    for (const auto &[color, width] :
         {std::pair{QColor(Qt::white), 4.0}, {QColor(Qt::black), 2.0}}) {
        p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(2, 2, 16, 16));
        p.setPen(QPen(color, width + 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 16), QPointF(28, 28));
    }
    p.end();
    // The hot spot is the middle of the lens.
    return QCursor(pixmap, 10, 10);
}

TPreviewForm::TPreviewForm(QWidget *parent)
    : QDialog(parent)
    , m_preview(std::make_unique<TFilePreview>())
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(tr("Preview Business Cards"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    SetHelpTopic(this, HelpContext);

    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    m_scrollBox->setBackgroundRole(QPalette::Dark);
    m_scrollBox->viewport()->setCursor(MagnifyingGlassCursor());
    m_scrollBox->viewport()->installEventFilter(this);
    m_scrollBox->setWhatsThis(tr("Click the page to zoom in, right-click it to zoom out."));

    auto toolButton = [this](const char *name, char icon, const QString &hint) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(ZoomIcon(icon));
        button->setIconSize(QSize(24, 24));
        button->setToolTip(hint);
        button->setWhatsThis(hint);
        button->setAutoRaise(true);
        return button;
    };
    sbZoomIn = toolButton("sbZoomIn", '+', tr("Zoom in"));
    sbZoomOut = toolButton("sbZoomOut", '-', tr("Zoom out"));
    sbZoomPageWidth = toolButton("sbZoomPageWidth", 'w', tr("Zoom to the page width"));
    sbZoomPage = toolButton("sbZoomPage", 'p', tr("Show the whole page"));
    connect(sbZoomIn, &QToolButton::clicked, this, [this] { SBZoomInClick(); });
    connect(sbZoomOut, &QToolButton::clicked, this, [this] { SBZoomOutClick(); });
    connect(sbZoomPageWidth, &QToolButton::clicked, this, [this] { SBZoomPageWidthClick(); });
    connect(sbZoomPage, &QToolButton::clicked, this, [this] { SBZoomPageClick(); });

    CloseButton = new QPushButton(tr("Ok"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setDefault(true);
    Helpbutton = new QPushButton(tr("Help"), this);
    Helpbutton->setObjectName(QStringLiteral("Helpbutton"));
    Helpbutton->setAutoDefault(false);
    connect(CloseButton, &QPushButton::clicked, this, [this] { CloseButtonClick(); });
    connect(Helpbutton, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpContext); });

    auto *bar = new QHBoxLayout;
    for (QToolButton *b : {sbZoomIn, sbZoomOut, sbZoomPageWidth, sbZoomPage})
        bar->addWidget(b);
    bar->addStretch(1);
    bar->addWidget(CloseButton);
    bar->addWidget(Helpbutton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_scrollBox, 1);
    layout->addLayout(bar);

    // The arrow keys scroll the page whichever control has the focus.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);

    m_preview->SetScrollBox(m_scrollBox);
    m_preview->SetZoomFactor(100);
    m_preview->SetMarginPercent(2.5);
    m_preview->OnPageChange = [this] { FilePreview1PageChange(); };
    m_preview->OnZoomChange = [this] { FilePreview1ZoomChange(); };
    resize(760, 620);
}

TPreviewForm::~TPreviewForm()
{
    m_preview->OnPageChange = nullptr;
    m_preview->OnZoomChange = nullptr;
}

void TPreviewForm::SetRecording(const QByteArray &recording)
{
    m_recording = recording;
    m_preview->SetStreamData(m_recording);
}

bool TPreviewForm::Start(QString *error)
{
    try {
        m_preview->Start();
    } catch (const EReportError &e) {
        if (error)
            *error = e.Message();
        return false;
    }
    m_started = true;
    WatchPages();
    return true;
}

// Clicks on a page zoom as clicks beside it do.
void TPreviewForm::WatchPages()
{
    for (QWidget *page : m_preview->PageWidgets())
        page->installEventFilter(this);
}

void TPreviewForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        FormActivate();
    }
}

void TPreviewForm::FormActivate()
{
    if (RestoreWindowPlacement)
        RestoreWindowPlacement(this);
    if (!m_started) {
        QString error;
        if (!Start(&error)) {
            // Nothing to show: say why and close once the window is up.
            QMetaObject::invokeMethod(
                this,
                [this, error] {
                    ShowInformation(error);
                    reject();
                },
                Qt::QueuedConnection);
            return;
        }
    }
    m_preview->SetZoomFactor(100);
}

void TPreviewForm::FilePreview1PageChange()
{
    const int shown = m_preview->ShownPage() - m_preview->FirstPage() + 1;
    setWindowTitle(tr("Preview Page %1 of %2").arg(shown).arg(m_preview->PageCount()));
}

void TPreviewForm::FilePreview1ZoomChange()
{
    for (QWidget *page : m_preview->PageWidgets())
        page->update();
}

void TPreviewForm::SBZoomInClick()
{
    m_preview->ZoomIn();
}

void TPreviewForm::SBZoomOutClick()
{
    m_preview->ZoomOut();
}

void TPreviewForm::SBZoomPageWidthClick()
{
    m_preview->ZoomPageWidth();
}

void TPreviewForm::SBZoomPageClick()
{
    m_preview->ZoomPage();
}

void TPreviewForm::ScrollBox1MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        SBZoomInClick();
    else
        SBZoomOutClick();
}

void TPreviewForm::CloseButtonClick()
{
    accept();
}

void TPreviewForm::done(int result)
{
    if (SaveWindowPlacement && m_activated)
        SaveWindowPlacement(this);
    QDialog::done(result);
}

void TPreviewForm::ScrollBy(int steps)
{
    QScrollBar *bar = m_scrollBox->verticalScrollBar();
    const int target = bar->value() + steps * bar->singleStep();
    bar->setValue(std::clamp(target, 0, std::max(0, bar->maximum())));
}

void TPreviewForm::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        ScrollBy(-1);
        return;
    case Qt::Key_Down:
        ScrollBy(1);
        return;
    case Qt::Key_PageUp:
        m_preview->PrevPage();
        return;
    case Qt::Key_PageDown:
        m_preview->NextPage();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool TPreviewForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
                keyPressEvent(key);
                return true;
            }
            break;
        default:
            break;
        }
    }
    // A quick second click zooms once more, as a second press would.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        auto *widget = qobject_cast<QWidget *>(watched);
        const bool onPage = widget && (widget == m_scrollBox->viewport() ||
                                       m_scrollBox->viewport()->isAncestorOf(widget));
        if (onPage) {
            ScrollBox1MouseDown(static_cast<QMouseEvent *>(event)->button());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
