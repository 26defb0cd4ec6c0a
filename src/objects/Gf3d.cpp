#include "objects/Gf3d.h"

#include "document/Desktop.h"
#include "objects/Gplabel.h"
#include "surface/ColDrop.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

// Paints the sample label on white inside the framed preview area.
class TSampleView : public QFrame
{
public:
    TSampleView(TGPLabel *sample, QWidget *parent)
        : QFrame(parent)
        , m_sample(sample)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        {
            QPainter painter(this);
            painter.fillRect(rect(), Qt::white);
            painter.setClipRect(0, 0, m_sample->Width(), m_sample->Height());
            m_sample->Paint(painter);
        }
        QFrame::paintEvent(event);
    }

private:
    TGPLabel *m_sample;
};

QComboBox *DepthList(QWidget *parent, const char *name)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    for (int i = 0; i <= 10; ++i)
        list->addItem(QString::number(i));
    return list;
}

} // namespace

TGFont3DEffects::TGFont3DEffects(TGBaseLabel *label, QWidget *mainWindow)
    : QDialog(mainWindow)
    , m_label(label)
    , m_sample(std::make_unique<TGPLabel>())
{
    setObjectName(QStringLiteral("Font3DEffects"));
    setWindowTitle(tr("Text 3D Effects"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setFixedSize(467, 338);

    auto caption = [this](const QString &text, int x, int y, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setGeometry(x, y, 140, 18);
        l->setBuddy(buddy);
    };
    auto place = [](QWidget *w, int x, int y) { w->setGeometry(x, y + 20, 140, 24); };

    cbShadowDirection = new QComboBox(this);
    cbShadowDirection->setObjectName(QStringLiteral("cbShadowDirection"));
    cbShadowDirection->addItems(
        {tr("None"), tr("Right"), tr("Left"), tr("Lower Right"), tr("Lower Left"), tr("Down")});
    cbShadowColor = new TColorDropDown(this);
    cbShadowColor->setObjectName(QStringLiteral("cbShadowColor"));
    cbShadowDepth = DepthList(this, "cbShadowDepth");
    cbHighlightDirection = new QComboBox(this);
    cbHighlightDirection->setObjectName(QStringLiteral("cbHighlightDirection"));
    cbHighlightDirection->addItems(
        {tr("None"), tr("Right"), tr("Left"), tr("Upper Right"), tr("Upper Left"), tr("Up")});
    cbHighlightColor = new TColorDropDown(this);
    cbHighlightColor->setObjectName(QStringLiteral("cbHighlightColor"));
    cbHighlightDepth = DepthList(this, "cbHighlightDepth");
    cbFontColor = new TColorDropDown(this);
    cbFontColor->setObjectName(QStringLiteral("cbFontColor"));

    const int columns[3] = {15, 165, 315};
    caption(tr("Shadow Direction"), columns[0], 10, cbShadowDirection);
    place(cbShadowDirection, columns[0], 10);
    caption(tr("Shadow Color"), columns[0], 64, cbShadowColor);
    place(cbShadowColor, columns[0], 64);
    caption(tr("Shadow Depth"), columns[0], 118, cbShadowDepth);
    place(cbShadowDepth, columns[0], 118);
    caption(tr("Highlight Direction"), columns[1], 10, cbHighlightDirection);
    place(cbHighlightDirection, columns[1], 10);
    caption(tr("Highlight Color"), columns[1], 64, cbHighlightColor);
    place(cbHighlightColor, columns[1], 64);
    caption(tr("Highlight Depth"), columns[1], 118, cbHighlightDepth);
    place(cbHighlightDepth, columns[1], 118);
    caption(tr("Font Color"), columns[2], 10, cbFontColor);
    place(cbFontColor, columns[2], 10);

    PreviewPanel = new TSampleView(m_sample.get(), this);
    PreviewPanel->setObjectName(QStringLiteral("PreviewPanel"));
    PreviewPanel->setGeometry(15, 190, 437, 85);

    OKButton = new QPushButton(tr("Ok"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(15, 296, 80, 28);
    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(105, 296, 80, 28);
    HelpButton = new QPushButton(tr("Help"), this);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setAutoDefault(false);
    HelpButton->setGeometry(195, 296, 80, 28);

    // The sample starts with the label's look and fills the preview area.
    m_sample->SetCaption(QStringLiteral("Text"));
    m_sample->Font()->Assign(label->LabelFont());
    m_sample->SetDepthShadow(label->DepthShadow());
    m_sample->SetDepthHighlight(label->DepthHighlight());
    m_sample->SetDirectionShadow(label->DirectionShadow());
    m_sample->SetDirectionHighlight(label->DirectionHighlight());
    m_sample->SetShadowColor(label->ShadowColor());
    m_sample->SetColorHighlight(label->ColorHighlight());
    m_sample->SetBounds(0, 0, PreviewPanel->width(), PreviewPanel->height());

    cbHighlightColor->SetColor(label->ColorHighlight());
    cbShadowColor->SetColor(label->ShadowColor());
    cbFontColor->SetColor(label->LabelFont().Color());
    cbShadowDirection->setCurrentIndex(label->DirectionShadow());
    cbHighlightDirection->setCurrentIndex(label->DirectionHighlight());
    // Depths outside the list's 0 to 10 (possible in a file) select nothing.
    cbShadowDepth->setCurrentIndex(
        label->DepthShadow() >= 0 && label->DepthShadow() <= 10 ? label->DepthShadow() : -1);
    cbHighlightDepth->setCurrentIndex(label->DepthHighlight() >= 0 && label->DepthHighlight() <= 10
                                          ? label->DepthHighlight()
                                          : -1);

    // From here on every change goes to the sample only.
    auto preview = [this](auto apply) {
        return [this, apply](auto value) {
            apply(value);
            PreviewPanel->update();
        };
    };
    connect(cbShadowDirection, &QComboBox::currentIndexChanged, this, preview([this](int i) {
                if (i >= 0)
                    m_sample->SetDirectionShadow(TShadowDirection(i));
            }));
    connect(cbHighlightDirection, &QComboBox::currentIndexChanged, this, preview([this](int i) {
                if (i >= 0)
                    m_sample->SetDirectionHighlight(THighlightDirection(i));
            }));
    connect(cbShadowDepth, &QComboBox::currentIndexChanged, this, preview([this](int i) {
                if (i >= 0)
                    m_sample->SetDepthShadow(i);
            }));
    connect(cbHighlightDepth, &QComboBox::currentIndexChanged, this, preview([this](int i) {
                if (i >= 0)
                    m_sample->SetDepthHighlight(i);
            }));
    connect(cbShadowColor, &TColorDropDown::ColorChanged, this,
            preview([this](TColor c) { m_sample->SetShadowColor(c); }));
    connect(cbHighlightColor, &TColorDropDown::ColorChanged, this,
            preview([this](TColor c) { m_sample->SetColorHighlight(c); }));
    connect(cbFontColor, &TColorDropDown::ColorChanged, this,
            preview([this](TColor c) { m_sample->Font()->SetColor(c); }));

    connect(OKButton, &QPushButton::clicked, this, &TGFont3DEffects::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic); });
    PlaceDialog(this, mainWindow);
}

TGFont3DEffects::~TGFont3DEffects() = default;

void TGFont3DEffects::OKButtonClick()
{
    m_label->Font()->Assign(m_sample->LabelFont());
    m_label->SetDepthShadow(m_sample->DepthShadow());
    m_label->SetDepthHighlight(m_sample->DepthHighlight());
    m_label->SetDirectionShadow(m_sample->DirectionShadow());
    m_label->SetDirectionHighlight(m_sample->DirectionHighlight());
    m_label->SetShadowColor(m_sample->ShadowColor());
    m_label->SetColorHighlight(m_sample->ColorHighlight());
    accept();
}
