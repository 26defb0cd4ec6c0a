#include "shell/Main.h"

#include "shell/ShellUtil.h"
#include "shell/ToolIcons.h"
#include "surface/GHandle.h"
#include "surface/ScreenInfo.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct ToolButton
{
    const char *name;
    TLPanelState tool;
    const char *hint;
};

// Hints keep their line breaks: two-line hints show as two lines.
const ToolButton kToolButtons[] = {
    {"Pointerbutton", psPointing, "Selection tool"},
    {"DrawLabelButton", psLabel, "Text tool"},
    {"DrawMLTextButton", psMultiLineLabel, "Multi-line text tool"},
    {"DrawSymbolButton", psSymbolLabel, "Symbol tool"},
    {"DrawRectanglebutton", psRectangle, "Rectangle tool"},
    {"DrawEllipseButton", psEllipse, "Ellipse tool"},
    {"DrawRoundrectbutton", psRoundRectangle, "Round Rectangle tool"},
    {"DrawLinebutton", psLine, "Line Tool"},
    {"DrawImageButton", psImage, "Clip Art Tool"},
    {"DrawSupershape", psSuperShape, "Supershape tool \nMulti-purpose shapes and surfaces"},
    {"DrawRichText", psRichLabel, "Rich Text tool \nMixed fonts, colors and styles"},
    {"DrawSuperTextButton", psSuperText,
     "SuperText tool \nSpecial Effects Text - fill with gradients or bitmaps"},
};

} // namespace

TMainScreen::TMainScreen(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainScreen"));
    setWindowTitle(QStringLiteral("Tessaro"));

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_scrollBox = new QScrollArea(central);
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    m_scrollBox->setBackgroundRole(QPalette::Button);
    m_scrollBox->setWidgetResizable(false);
    m_scrollContents = new QWidget;
    m_scrollContents->setObjectName(QStringLiteral("ScrollContents"));
    m_scrollContents->setAutoFillBackground(true);
    m_scrollContents->setBackgroundRole(QPalette::Button);
    m_scrollContents->installEventFilter(this);

    m_panel = new TGBusinessCardPanel32(m_scrollContents);
    m_panel->setObjectName(QStringLiteral("BusinessCardPanel"));
    m_panel->SetOwner(this);
    m_panel->move(10, 8);
    m_panel->SetShape(lsRectangle);
    m_panel->SetDrawOutline(true);
    m_panel->DroppedObjectEvent = [this](TGBasePanel *, const TRect &) {
        ChooseTool(psPointing);
    };
    m_panel->LabelChangedEvent = [this](QObject *) {
        if (!m_busy)
            SetChangesMade(true);
    };
    m_scrollBox->setWidget(m_scrollContents);
    layout->addWidget(m_scrollBox, 1);

    BuildToolBar();
    BuildButtonBar(central);
    layout->addWidget(central->findChild<QWidget *>(QStringLiteral("ButtonBar")));
    setCentralWidget(central);

    SetCardSizeFromInches(m_cardWidthInches, m_cardHeightInches);
    resize(622, 404 + 38 + 47);
}

void TMainScreen::BuildToolBar()
{
    QToolBar *bar = addToolBar(tr("Tools"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    m_toolGroup = new QButtonGroup(this);
    m_toolGroup->setExclusive(true);
    for (const ToolButton &b : kToolButtons) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setCheckable(true);
        button->setIcon(ToolIcon(b.tool));
        button->setToolTip(QString::fromLatin1(b.hint));
        button->setAutoRaise(true);
        m_toolGroup->addButton(button, b.tool);
        bar->addWidget(button);
        if (b.tool == psPointing)
            button->setChecked(true);
    }
    connect(m_toolGroup, &QButtonGroup::idClicked, this,
            [this](int id) { ChooseTool(static_cast<TLPanelState>(id)); });
    bar->addSeparator();

    auto *grid = new QToolButton(bar);
    grid->setObjectName(QStringLiteral("ShowGrid"));
    grid->setCheckable(true);
    grid->setIcon(GridIcon());
    grid->setToolTip(tr("Show grid"));
    grid->setAutoRaise(true);
    connect(grid, &QToolButton::toggled, this, [this](bool on) { m_panel->SetShowGrid(on); });
    bar->addWidget(grid);

    auto *snap = new QToolButton(bar);
    snap->setObjectName(QStringLiteral("SnapToGrid"));
    snap->setCheckable(true);
    snap->setIcon(SnapIcon());
    snap->setToolTip(tr("Snap to Grid"));
    snap->setAutoRaise(true);
    connect(snap, &QToolButton::toggled, this, [this](bool on) { m_panel->SetSnapToGrid(on); });
    bar->addWidget(snap);
}

void TMainScreen::BuildButtonBar(QWidget *parent)
{
    auto *bar = new QWidget(parent);
    bar->setObjectName(QStringLiteral("ButtonBar"));
    bar->setFixedHeight(47);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 4, 8, 4);

    auto *spinner = new QWidget(bar);
    spinner->setObjectName(QStringLiteral("ZoomSpinner"));
    spinner->setToolTip(tr("Press plus (+) or minus (-) to \nincrease or decrease the zoom percentage"));
    auto *arrows = new QVBoxLayout(spinner);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    auto *up = new QToolButton(spinner);
    up->setObjectName(QStringLiteral("ZoomUp"));
    up->setArrowType(Qt::UpArrow);
    up->setFixedSize(20, 16);
    auto *down = new QToolButton(spinner);
    down->setObjectName(QStringLiteral("ZoomDown"));
    down->setArrowType(Qt::DownArrow);
    down->setFixedSize(20, 16);
    arrows->addWidget(up);
    arrows->addWidget(down);
    connect(up, &QToolButton::clicked, this, &TMainScreen::ZoomSpinnerUpClick);
    connect(down, &QToolButton::clicked, this, &TMainScreen::ZoomSpinnerDownClick);
    row->addWidget(spinner);

    auto *label = new QLabel(tr("Zoom:"), bar);
    label->setObjectName(QStringLiteral("Label1"));
    row->addWidget(label);
    m_zoomCaption = new QLabel(QStringLiteral("100%"), bar);
    m_zoomCaption->setObjectName(QStringLiteral("ZoomCaption"));
    QPalette navy = m_zoomCaption->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    m_zoomCaption->setPalette(navy);
    row->addWidget(m_zoomCaption);
    row->addStretch(1);
}

void TMainScreen::ChooseTool(TLPanelState tool)
{
    m_panel->SetPanelState(tool);
    if (QAbstractButton *button = m_toolGroup->button(tool))
        button->setChecked(true);
}

void TMainScreen::SetCardSizeFromInches(double widthInches, double heightInches)
{
    m_cardWidthInches = widthInches;
    m_cardHeightInches = heightInches;
    const float zoom = m_panel->ZoomScale();
    if (zoom != 1.0f)
        m_panel->SetZoom(1.0f);
    const int ppi = ScreenPixelsPerInch();
    const int h = RoundEven(ppi * heightInches);
    const int w = RoundEven(ppi * widthInches);
    m_panel->setFixedSize(w, h);
    if (zoom != 1.0f)
        m_panel->SetZoom(zoom);
    ShowZoom();
    m_panel->update();
}

void TMainScreen::ShowZoom()
{
    m_zoomCaption->setText(QString::number(RoundEven(m_panel->ZoomScale() * 100.0)) + "%");
    // The scrolling area follows the card, with its margin round it.
    m_scrollContents->resize(m_panel->width() + 20, m_panel->height() + 16);
}

void TMainScreen::ZoomSpinnerUpClick()
{
    m_busy = true;
    m_panel->Handles()->ClearSelection();
    const float zoom = m_panel->ZoomScale();
    if (!(zoom > 1.5f))
        m_panel->SetZoom(static_cast<float>(double(zoom) + 0.1));
    ShowZoom();
    QCoreApplication::processEvents();
    m_busy = false;
}

void TMainScreen::ZoomSpinnerDownClick()
{
    m_busy = true;
    m_panel->Handles()->ClearSelection();
    const float zoom = m_panel->ZoomScale();
    if (!(zoom < 1.1f))
        m_panel->SetZoom(static_cast<float>(double(zoom) - 0.1));
    ShowZoom();
    QCoreApplication::processEvents();
    m_busy = false;
}

void TMainScreen::SetChangesMade(bool changed)
{
    m_changesMade = changed;
}

void TMainScreen::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        FormActivate();
    }
}

void TMainScreen::FormActivate()
{
    RestorePlacement(this);
    m_panel->setFocus();
    SetChangesMade(false);
    QApplication::restoreOverrideCursor();
    m_busy = false;
}

void TMainScreen::closeEvent(QCloseEvent *event)
{
    SavePlacement(this);
    QMainWindow::closeEvent(event);
}

bool TMainScreen::eventFilter(QObject *watched, QEvent *event)
{
    // A click in the scrolling area outside the card clears the selection.
    if (watched == m_scrollContents && event->type() == QEvent::MouseButtonPress)
        m_panel->Handles()->ClearSelection();
    return QMainWindow::eventFilter(watched, event);
}
