#include "objects/Gprichle.h"

#include "document/Desktop.h"
#include "objects/Graphp.h"
#include "objects/RichTextEdit.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

TRichTextLabelEditor::TRichTextLabelEditor(QWidget *mainWindow)
    : QDialog(mainWindow)
{
    setObjectName(QStringLiteral("RichTextLabelEditor"));
    setWindowTitle(tr("Rich Text Editor"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setSizeGripEnabled(true);

    // The editing area: a white panel with a single border round the view.
    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setWidgetResizable(false);
    EditArea = new QFrame;
    EditArea->setObjectName(QStringLiteral("EditArea"));
    EditArea->setFrameShape(QFrame::Box);
    EditArea->setLineWidth(1);
    EditArea->setAutoFillBackground(true);
    SetEditAreaColor(Qt::white);
    RichEdit = new TRichTextEditView(EditArea);
    auto *areaLayout = new QVBoxLayout(EditArea);
    areaLayout->setContentsMargins(1, 1, 1, 1);
    areaLayout->addWidget(RichEdit);
    ScrollBox->setWidget(EditArea);

    RichTextToolbar = new TRichTextToolbar(RichEdit, this);
    // The zoom buttons sit at the top right, beside the toolbar, so that a
    // narrow window never folds them away.
    ZoomInButton = new QToolButton(this);
    ZoomInButton->setObjectName(QStringLiteral("ZoomInButton"));
    ZoomInButton->setText(QStringLiteral("+"));
    ZoomInButton->setToolTip(tr("Zoom In"));
    ZoomInButton->setAutoRaise(true);
    ZoomOutButton = new QToolButton(this);
    ZoomOutButton->setObjectName(QStringLiteral("ZoomOutButton"));
    ZoomOutButton->setText(QStringLiteral("-"));
    ZoomOutButton->setToolTip(tr("Zoom Out"));
    ZoomOutButton->setAutoRaise(true);
    ZoomInButton->setFixedWidth(22);
    ZoomOutButton->setFixedWidth(22);
    connect(ZoomInButton, &QToolButton::clicked, this, &TRichTextLabelEditor::ZoomInClick);
    connect(ZoomOutButton, &QToolButton::clicked, this, &TRichTextLabelEditor::ZoomOutClick);

    ZoomCaption = new TGraphicPanel(this);
    ZoomCaption->setObjectName(QStringLiteral("ZoomCaption"));
    ZoomCaption->setFixedSize(50, 20);

    OKButton = new QPushButton(tr("Ok"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    HelpButton = new QPushButton(tr("Help"), this);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ZoomCaption);
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(HelpButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *top = new QHBoxLayout;
    top->setSpacing(0);
    top->addWidget(RichTextToolbar, 1);
    top->addWidget(ZoomInButton);
    top->addWidget(ZoomOutButton);
    layout->addLayout(top);
    layout->addWidget(ScrollBox, 1);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic); });
    SetHelpTopic(this, HelpTopic);
    resize(sizeHint());
    PlaceDialog(this, mainWindow);
}

void TRichTextLabelEditor::SetEditAreaSize(int width, int height)
{
    EditArea->setFixedSize(std::max(1, width), std::max(1, height));
}

void TRichTextLabelEditor::SetEditAreaColor(const QColor &color)
{
    QPalette palette = EditArea->palette();
    palette.setColor(QPalette::Window, color);
    EditArea->setPalette(palette);
}

void TRichTextLabelEditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_activated)
        FormActivate();
}

void TRichTextLabelEditor::FormActivate()
{
    m_activated = true;
    EditArea->setVisible(true);
    QApplication::processEvents();
    RichEdit->Reformat();
    m_w0 = EditArea->width();
    m_h0 = EditArea->height();
    m_z0 = std::max(1, RichEdit->Zoom());
    ZoomCaption->SetCaption(QStringLiteral("%1%").arg(RichEdit->Zoom()));
    RichEdit->setFocus();
}

void TRichTextLabelEditor::ZoomInClick()
{
    if (RichEdit->Zoom() < MaxZoom)
        ApplyZoom(RichEdit->Zoom() + ZoomStep);
}

void TRichTextLabelEditor::ZoomOutClick()
{
    if (RichEdit->Zoom() > MinZoom)
        ApplyZoom(RichEdit->Zoom() - ZoomStep);
}

void TRichTextLabelEditor::ApplyZoom(int zoom)
{
    if (!m_activated)
        FormActivate();
    RichEdit->SetZoom(zoom);
    // The area keeps its place and scales with the zoom; the page stays as it is.
    SetEditAreaSize(int(std::nearbyint(double(zoom) * m_w0 / m_z0)),
                    int(std::nearbyint(double(zoom) * m_h0 / m_z0)));
    EditArea->adjustSize();
    ZoomCaption->SetCaption(QStringLiteral("%1%").arg(zoom));
}
