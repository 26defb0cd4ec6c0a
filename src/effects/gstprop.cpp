#include "effects/gstprop.h"

#include "document/Desktop.h"
#include "effects/gsstext.h"
#include "effects/gstpropGetSym.h"
#include "effects/gstpropGetTexture.h"
#include "graphics/SymbolFonts.h"
#include "surface/ColDrop.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

namespace {

// The white box the sample super text draws itself in.
class TSampleBox : public QFrame
{
public:
    TSampleBox(QWidget *parent, TGSuperText *sample)
        : QFrame(parent)
        , m_sample(sample)
    {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setAutoFillBackground(true);
        QPalette white = palette();
        white.setColor(QPalette::Window, Qt::white);
        setPalette(white);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QFrame::paintEvent(event);
        if (!m_sample)
            return;
        TGSuperText *sample = m_sample;
        sample->UpdateLayout();
        QPainter painter(this);
        const int inset = frameWidth();
        painter.setClipRect(contentsRect());
        painter.translate(inset + sample->Left(), inset + sample->Top());
        sample->Paint(painter);
    }

private:
    TGSuperText *m_sample;
};

QLabel *AddLabel(QWidget *parent, const QString &caption, int x, int y, int w = 110)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(x, y, w, 18);
    return label;
}

template <class Control> Control *Named(Control *control, const char *name, QRect at)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(at);
    return control;
}

QComboBox *ListCombo(QWidget *parent, const QStringList &items)
{
    auto *combo = new QComboBox(parent);
    combo->addItems(items);
    return combo;
}

QSpinBox *Spinner(QWidget *parent)
{
    auto *spin = new QSpinBox(parent);
    spin->setRange(0, TSuperTextProperties::SpinnerMax);
    return spin;
}

} // namespace

std::function<bool(TGSuperText &, QString &, QWidget *)> TSuperTextProperties::BrowseTexture;

QImage TSuperTextProperties::DefaultTexture()
{
    // Soft blue waves in a 256-colour picture.
    QImage texture(120, 84, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < 256; ++i)
        colours.append(qRgb(40 + i * 150 / 255, 70 + i * 150 / 255, 160 + i * 95 / 255));
    texture.setColorTable(colours);
    for (int y = 0; y < texture.height(); ++y)
        for (int x = 0; x < texture.width(); ++x)
            texture.setPixel(x, y, uint((x * 3 + y * 5 + (x * y) % 37) % 256));
    return texture;
}

TSuperTextProperties::TSuperTextProperties(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SuperTextProperties"));
    setWindowTitle(tr("SuperText Properties"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowContextHelpButtonHint | Qt::CustomizeWindowHint);
    setFixedSize(582, 423);
    m_captionChanged = false;
    m_lastUsedTexture.SetImage(DefaultTexture());

    m_sample = new TGSuperText(this);
    m_sample->SetBounds(0, 0, 100, 100);
    BuildControls();
    ConnectControls();
    SetHelpTopic(this, HelpTopic);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(TimerInterval);
    connect(Timer1, &QTimer::timeout, this, &TSuperTextProperties::Timer1Timer);
    Timer1->start();
    CaptionText->setFocus();
    PlaceDialog(this);
}

void TSuperTextProperties::BuildControls()
{
    TextLabel = AddLabel(this, tr("Text"), 10, 8);
    CaptionText = Named(new QLineEdit(this), "CaptionText", {10, 26, 562, 28});
    TextLabel->setBuddy(CaptionText);

    AddLabel(this, tr("Surface Type"), 10, 62);
    SurfaceTypeCombo = Named(new QListWidget(this), "SurfaceTypeCombo", {10, 80, 120, 78});
    SurfaceTypeCombo->addItems(
        {tr("Normal"), tr("Transparent"), tr("Texture"), tr("Gradient Fill")});

    // The three panels share one place beside the surface list.
    const QRect panelPlace(140, 62, 210, 96);
    FontcolorPanel = Named(new QFrame(this), "FontcolorPanel", panelPlace);
    AddLabel(FontcolorPanel, tr("Font Color"), 0, 0);
    FontColorButton =
        Named(new TColorDropDown(FontcolorPanel), "FontColorButton", {0, 18, 150, 26});

    FillPanel = Named(new QFrame(this), "FillPanel", panelPlace);
    AddLabel(FillPanel, tr("Fill Direction"), 0, 0, 80);
    FillDirectionCombo =
        Named(ListCombo(FillPanel, {tr("Up"), tr("Down"), tr("Left"), tr("Right")}),
              "FillDirectionCombo", {84, 0, 100, 24});
    AddLabel(FillPanel, tr("From Color"), 0, 40, 100);
    AddLabel(FillPanel, tr("To Color"), 106, 40, 100);
    GradientFromcolorButton =
        Named(new TColorDropDown(FillPanel), "GradientFromcolorButton", {0, 58, 100, 26});
    GradientToColorButton =
        Named(new TColorDropDown(FillPanel), "GradientToColorButton", {106, 58, 100, 26});

    ImagePanel = Named(new QFrame(this), "ImagePanel", panelPlace);
    LoadTextureButton = Named(new QPushButton(tr("Load Texture"), ImagePanel), "LoadTextureButton",
                              {0, 18, 120, 28});
    LoadTextureButton->setAutoDefault(false);
    for (QFrame *panel : {FontcolorPanel, FillPanel, ImagePanel})
        panel->setFrameShape(QFrame::NoFrame);

    AddLabel(this, tr("Shadow Color"), 358, 66, 96);
    ShadowColorButton = Named(new TColorDropDown(this), "ShadowColorButton", {456, 62, 116, 26});
    AddLabel(this, tr("Shadow Orientation"), 358, 92, 200);
    ShadowOrientationCombo =
        Named(ListCombo(this, {tr("None"), tr("Right"), tr("Left"), tr("Down and Right"),
                               tr("Down and Left"), tr("Down")}),
              "ShadowOrientationCombo", {358, 110, 214, 26});
    AddLabel(this, tr("Shadow Depth"), 358, 144, 96);
    ShadowDepthSpinner = Named(Spinner(this), "ShadowDepthSpinner", {456, 140, 60, 26});

    AddLabel(this, tr("Outline Color"), 10, 174, 84);
    OutlineColorButton = Named(new TColorDropDown(this), "OutlineColorButton", {96, 170, 110, 26});
    AddLabel(this, tr("OutLine Style"), 220, 174, 84);
    OutlineStyleCombo =
        Named(ListCombo(this, {tr("Solid Line"), tr("Dash Line"), tr("Dotted Line"),
                               tr("DashDot Line"), tr("DashDotDot Line"), tr("Clear")}),
              "OutlineStyleCombo", {304, 170, 130, 26});
    AddLabel(this, tr("Outline Width"), 446, 174, 84);
    OutLineWidthSpinner = Named(Spinner(this), "OutLineWidthSpinner", {530, 170, 42, 26});

    SampleBox = Named(new TSampleBox(this, m_sample), "SampleBox", {14, 201, 554, 190});

    const int row = 395;
    OkButton = Named(new QPushButton(tr("Ok"), this), "OkButton", {10, row, 72, 26});
    OkButton->setDefault(true);
    CancelButton = Named(new QPushButton(tr("Cancel"), this), "CancelButton", {88, row, 72, 26});
    SelectFontButton =
        Named(new QPushButton(tr("Select Font"), this), "SelectFontButton", {196, row, 96, 26});
    RapidChangeFontSize = Named(new QWidget(this), "RapidChangeFontSize", {296, row, 40, 26});
    FontSizeUpButton =
        Named(new QToolButton(RapidChangeFontSize), "FontSizeUpButton", {0, 0, 20, 26});
    FontSizeUpButton->setArrowType(Qt::UpArrow);
    FontSizeUpButton->setToolTip(tr("Larger font"));
    FontSizeDownButton =
        Named(new QToolButton(RapidChangeFontSize), "FontSizeDownButton", {20, 0, 20, 26});
    FontSizeDownButton->setArrowType(Qt::DownArrow);
    FontSizeDownButton->setToolTip(tr("Smaller font"));
    SelectSymbolButton = Named(new QPushButton(tr("Select Symbol"), this), "SelectSymbolButton",
                               {372, row, 110, 26});
    HelpButton = Named(new QPushButton(tr("Help"), this), "HelpButton", {500, row, 72, 26});
    for (QPushButton *button : {CancelButton, SelectFontButton, SelectSymbolButton, HelpButton})
        button->setAutoDefault(false);

    // What's-this texts for the context help button.
    const std::pair<QWidget *, QString> helps[] = {
        {CaptionText, tr("The text to show.")},
        {SurfaceTypeCombo, tr("How the inside of the letters is filled.")},
        {FontColorButton, tr("The colour of the letters.")},
        {FillDirectionCombo, tr("The direction the gradient runs in.")},
        {GradientFromcolorButton, tr("The colour the gradient starts with.")},
        {GradientToColorButton, tr("The colour the gradient ends with.")},
        {LoadTextureButton, tr("Choose a picture to fill the letters with.")},
        {ShadowColorButton, tr("The colour of the shadow.")},
        {ShadowOrientationCombo, tr("Where the shadow falls.")},
        {ShadowDepthSpinner, tr("How far the shadow lies from the letters.")},
        {OutlineColorButton, tr("The colour of the letters' outline.")},
        {OutlineStyleCombo, tr("The line the outline is drawn with.")},
        {OutLineWidthSpinner, tr("The width of the outline.")},
        {SampleBox, tr("Shows how the text will look.")},
        {SelectFontButton, tr("Choose the typeface of the text.")},
        {RapidChangeFontSize, tr("Makes the text 5 points larger or smaller.")},
        {SelectSymbolButton, tr("Use a symbol as the text.")},
    };
    for (const auto &[control, text] : helps)
        control->setWhatsThis(text);
}

void TSuperTextProperties::ConnectControls()
{
    connect(CaptionText, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_sample->SetCaption(text);
        m_captionChanged = true;
        SampleChanged(false);
    });
    connect(SurfaceTypeCombo, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_activating || row < 0)
            return;
        m_sample->SetSurfaceType(TGSuperText::TSurfaceType(row));
        if (m_sample->SurfaceType() == TGSuperText::stBrushImage)
            m_sample->SetImage(&m_lastUsedTexture);
        SampleChanged(true);
        SetVisiblePanels();
    });
    // A control's change goes to the sample unless the dialog is filling it in.
    const auto follow = [this](auto *control, auto signal, auto write) {
        connect(control, signal, this, [this, write](auto value) {
            if (m_activating)
                return;
            write(value);
            SampleChanged(false);
        });
    };
    const auto index = &QComboBox::currentIndexChanged;
    follow(FillDirectionCombo, index,
           [this](int i) { m_sample->SetFillDirection(TFillDirection(i)); });
    follow(ShadowOrientationCombo, index,
           [this](int i) { m_sample->SetShadowOrientation(TGSuperText::TShadowOrientation(i)); });
    follow(OutlineStyleCombo, index, [this](int i) { m_sample->SetOutlineStyle(TPenStyle(i)); });
    const auto color = &TColorDropDown::ColorChanged;
    follow(GradientFromcolorButton, color, [this](TColor c) { m_sample->SetGradientFromColor(c); });
    follow(GradientToColorButton, color, [this](TColor c) { m_sample->SetGradientToColor(c); });
    follow(FontColorButton, color, [this](TColor c) { m_sample->Font()->SetColor(c); });
    follow(ShadowColorButton, color, [this](TColor c) { m_sample->SetShadowColor(c); });
    follow(OutlineColorButton, color, [this](TColor c) { m_sample->SetOutlineColor(c); });
    const auto spin = &QSpinBox::valueChanged;
    follow(ShadowDepthSpinner, spin, [this](int v) { m_sample->SetShadowDepth(v); });
    follow(OutLineWidthSpinner, spin, [this](int v) { m_sample->SetOutlineWidth(v); });

    connect(LoadTextureButton, &QPushButton::clicked, this,
            &TSuperTextProperties::LoadTextureClick);
    connect(SelectFontButton, &QPushButton::clicked, this, &TSuperTextProperties::SelectFontClick);
    connect(FontSizeUpButton, &QToolButton::clicked, this, &TSuperTextProperties::FontSizeUp);
    connect(FontSizeDownButton, &QToolButton::clicked, this, &TSuperTextProperties::FontSizeDown);
    connect(SelectSymbolButton, &QPushButton::clicked, this,
            &TSuperTextProperties::SelectSymbolClick);
    connect(OkButton, &QPushButton::clicked, this, &TSuperTextProperties::OkClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic); });
}

bool TSuperTextProperties::Edit(TGSuperText &text, QString &lastTexturePath, QWidget *parent)
{
    TSuperTextProperties dialog(parent);
    dialog.Sample()->CopyProperties(text);
    dialog.SetLastTexturePath(lastTexturePath);
    if (dialog.exec() != Accepted)
        return false;
    text.CopyProperties(*dialog.Sample());
    lastTexturePath = dialog.LastTexturePath();
    return true;
}

void TSuperTextProperties::SampleChanged(bool resize)
{
    if (resize)
        m_sample->SizeToCaption();
    SampleBox->update();
}

void TSuperTextProperties::SetVisiblePanels()
{
    const TGSuperText::TSurfaceType type = m_sample->SurfaceType();
    FillPanel->setVisible(type == TGSuperText::stGradientFill);
    ImagePanel->setVisible(type == TGSuperText::stBrushImage);
    FontcolorPanel->setVisible(type == TGSuperText::stNormal);
}

void TSuperTextProperties::FormActivate()
{
    m_activating = true;
    SurfaceTypeCombo->setCurrentRow(m_sample->SurfaceType());
    FillDirectionCombo->setCurrentIndex(m_sample->FillDirection());
    GradientFromcolorButton->SetColor(m_sample->GradientFromColor());
    GradientToColorButton->SetColor(m_sample->GradientToColor());
    FontColorButton->SetColor(m_sample->FontData().Color());
    OutlineColorButton->SetColor(m_sample->OutlineColor());
    ShadowColorButton->SetColor(m_sample->ShadowColor());
    OutlineStyleCombo->setCurrentIndex(std::min<int>(m_sample->OutlineStyle(), psClear));
    ShadowOrientationCombo->setCurrentIndex(m_sample->ShadowOrientation());
    OutLineWidthSpinner->setValue(m_sample->OutlineWidth());
    ShadowDepthSpinner->setValue(m_sample->ShadowDepth());
    m_activating = false;
    // Values outside the spinners' range are held within it.
    if (OutLineWidthSpinner->value() != m_sample->OutlineWidth())
        m_sample->SetOutlineWidth(OutLineWidthSpinner->value());
    if (ShadowDepthSpinner->value() != m_sample->ShadowDepth())
        m_sample->SetShadowDepth(ShadowDepthSpinner->value());
    SetVisiblePanels();
    LoadTextureButton->setEnabled(bool(BrowseTexture));
    if (m_sample->ImageBitmap().Image().width() > 0)
        m_lastUsedTexture.Assign(m_sample->ImageBitmap());
    if (CaptionText->text() != m_sample->Caption()) {
        const QSignalBlocker quiet(CaptionText);
        CaptionText->setText(m_sample->Caption());
    }
    ShowCaptionText();
    // A text narrower than its caption (one just placed with a click) shows
    // it whole in the box all the same; the sample's size goes nowhere.
    if (m_sample->DrawnCaption() != m_sample->Caption())
        SampleChanged(true);
}

void TSuperTextProperties::ShowCaptionText()
{
    // Symbol codes would show as letters or stray pictures in the box, so a
    // symbol font's text is edited in the dialog's own typeface.
    QFont font = this->font();
    const QString family = m_sample->FontData().Name();
    if (!IsSymbolFamily(family))
        font.setFamily(family);
    CaptionText->setFont(font);
}

void TSuperTextProperties::Timer1Timer()
{
    Timer1->stop();
    if (m_captionChanged) {
        m_sample->SizeToCaption();
        SampleBox->update();
        m_captionChanged = false;
    }
    Timer1->start();
}

void TSuperTextProperties::FontSizeDown()
{
    const int size = m_sample->FontData().Size();
    if (size <= RapidMinSize)
        return;
    m_sample->Font()->SetSize(size - RapidStep);
    SampleChanged(true);
}

void TSuperTextProperties::FontSizeUp()
{
    const int size = m_sample->FontData().Size();
    if (size >= RapidMaxSize)
        return;
    m_sample->Font()->SetSize(size + RapidStep);
    SampleChanged(true);
}

void TSuperTextProperties::SelectFontClick()
{
    const std::optional<QFont> chosen =
        ChooseFont(m_sample->FontData().ToQFont(), this, tr("Font"));
    if (!chosen)
        return;
    m_sample->Font()->Assign(*chosen);
    SampleChanged(true);
    ShowCaptionText();
}

void TSuperTextProperties::SelectSymbolClick()
{
    TSuperTextGetSymbol selector(this);
    if (selector.exec() == Accepted) {
        // A font chosen without a character keeps the text.
        if (!selector.ChosenCharacter().isEmpty())
            CaptionText->setText(selector.ChosenCharacter());
        m_sample->Font()->SetName(selector.GridFontName());
        SampleChanged(true);
        ShowCaptionText();
    }
}

void TSuperTextProperties::LoadTextureClick()
{
    if (!BrowseTexture)
        return;
    const QString folder = QDir::currentPath();
    TGSuperText example;
    example.CopyProperties(*m_sample);
    QString path = m_lastTexturePath;
    if (BrowseTexture(example, path, this)) {
        m_sample->SetImage(&example.ImageBitmap());
        m_lastUsedTexture.Assign(example.ImageBitmap());
        m_lastTexturePath = path;
    }
    QDir::setCurrent(folder);
    SampleChanged(true);
}

void TSuperTextProperties::OkClick()
{
    if (CaptionText->text().isEmpty()) {
        ShowInformation(tr("Please enter some text"));
        CaptionText->setFocus();
        return;
    }
    accept();
}

void TSuperTextProperties::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TSuperTextProperties::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void InstallSuperTextPropertiesDialog()
{
    TGSuperText::ShowPropertiesDialog = &TSuperTextProperties::Edit;
    TSuperTextProperties::BrowseTexture = &TSuperTextBrushImageBrowser::Browse;
}
