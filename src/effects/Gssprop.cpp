#include "effects/Gssprop.h"

#include "document/Desktop.h"
#include "document/ProgramFolder.h"
#include "effects/Gbimageb.h"
#include "surface/ColDrop.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>

namespace {

QLabel *AddLabel(QWidget *parent, const QString &caption, int x, int y)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(x, y, 180, 18);
    return label;
}

QComboBox *AddList(QWidget *parent, const char *name, const QStringList &items, int x, int y,
                   const QString &whatsThis)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QLatin1StringView(name));
    combo->addItems(items);
    combo->setGeometry(x, y, 180, 24);
    combo->setWhatsThis(whatsThis);
    return combo;
}

TColorDropDown *AddColors(QWidget *parent, const char *name, int x, int y,
                          const QString &whatsThis)
{
    auto *combo = new TColorDropDown(parent);
    combo->setObjectName(QLatin1StringView(name));
    combo->setGeometry(x, y, 180, 24);
    combo->setWhatsThis(whatsThis);
    return combo;
}

QSpinBox *AddSpin(QWidget *parent, const char *name, int minimum, int maximum, int step, int x,
                  int y, const QString &whatsThis)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1StringView(name));
    spin->setRange(minimum, maximum);
    spin->setSingleStep(step);
    spin->setGeometry(x, y, 80, 24);
    spin->setWhatsThis(whatsThis);
    return spin;
}

// A panel of a group's alternatives; all of a group share one place.
QFrame *AddPanel(QWidget *parent, const char *name, const QRect &place)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QLatin1StringView(name));
    panel->setFrameShape(QFrame::NoFrame);
    panel->setGeometry(place);
    return panel;
}

} // namespace

const QStringList &TSuperShapeProperties::ShapeCaptions()
{
    static const QStringList captions{
        QStringLiteral("Rectangle"),      QStringLiteral("Round Rectangle"),
        QStringLiteral("Ellipse                  "), QStringLiteral("Diamond"),
        QStringLiteral("Star"),           QStringLiteral("Triangle Left"),
        QStringLiteral("Triangle Right"), QStringLiteral("Triangle Up"),
        QStringLiteral("Triangle Down"),
    };
    return captions;
}

const QStringList &TSuperShapeProperties::SurfaceTypeCaptions()
{
    static const QStringList captions{QStringLiteral("Transparent"), QStringLiteral("Solid"),
                                      QStringLiteral("Texture"), QStringLiteral("Gradient Fill")};
    return captions;
}

const QStringList &TSuperShapeProperties::FillDirectionCaptions()
{
    static const QStringList captions{QStringLiteral("Up"), QStringLiteral("Down"),
                                      QStringLiteral("Left"), QStringLiteral("Right")};
    return captions;
}

const QStringList &TSuperShapeProperties::ShadowOrientationCaptions()
{
    static const QStringList captions{QStringLiteral("None"), QStringLiteral("Lower Right"),
                                      QStringLiteral("Upper Right"), QStringLiteral("Upper Left"),
                                      QStringLiteral("Lower Left")};
    return captions;
}

const QStringList &TSuperShapeProperties::OutlineStyleCaptions()
{
    static const QStringList captions{
        QStringLiteral("Solid Line"),   QStringLiteral("Dash Line"),
        QStringLiteral("Dotted Line"),  QStringLiteral("DashDot Line"),
        QStringLiteral("DashDotDot Line"), QStringLiteral("Clear"),
    };
    return captions;
}

TSuperShapeProperties::TSuperShapeProperties(QWidget *mainWindow)
    : QDialog(mainWindow)
{
    setObjectName(QStringLiteral("SuperShapeProperties"));
    setWindowTitle(QStringLiteral("Super Shape Properties"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setFixedSize(592, 393);

    // Shape, left.
    AddLabel(this, QStringLiteral("Shape"), 8, 8);
    ShapeCombo = AddList(this, "ShapeCombo", ShapeCaptions(), 8, 26,
                         QStringLiteral("The figure the shape draws."));
    const QRect panelPlace(8, 58, 184, 110);
    StarPanel = AddPanel(this, "StarPanel", panelPlace);
    AddLabel(StarPanel, QStringLiteral("Points On Star"), 0, 0);
    PointsOnStar = AddSpin(StarPanel, "PointsOnStar", 5, 20, 1, 0, 18,
                           QStringLiteral("How many points the star has."));
    AddLabel(StarPanel, QStringLiteral("% of Inward Vector"), 0, 50);
    PercentinVector = AddSpin(StarPanel, "PercentinVector", 0, 90, 5, 0, 68,
                              QStringLiteral("How far the star's inner corners are pulled in."));
    RRPanel = AddPanel(this, "RRPanel", panelPlace);
    AddLabel(RRPanel, QStringLiteral("Round Percentage"), 0, 0);
    RoundPercent = AddSpin(RRPanel, "RoundPercent", 0, 90, 5, 0, 18,
                           QStringLiteral("How round the rectangle's corners are."));

    // Surface, middle: the panels take the star panel's place in their group.
    AddLabel(this, QStringLiteral("Surface Type"), 204, 8);
    SurfaceTypeCombo = AddList(this, "SurfaceTypeCombo", SurfaceTypeCaptions(), 204, 26,
                               QStringLiteral("What fills the figure."));
    const QRect surfacePlace = panelPlace.translated(196, 0).adjusted(0, 0, 0, 50);
    PatternPanel = AddPanel(this, "PatternPanel", surfacePlace);
    AddLabel(PatternPanel, QStringLiteral("Background Color"), 0, 0);
    BackGroundColorCombo = AddColors(PatternPanel, "BackGroundColorCombo", 0, 18,
                                     QStringLiteral("The colour that fills the figure."));
    FillPanel = AddPanel(this, "FillPanel", surfacePlace);
    AddLabel(FillPanel, QStringLiteral("Fill Direction"), 0, 0);
    FillDirectionCombo = AddList(FillPanel, "FillDirectionCombo", FillDirectionCaptions(), 0, 18,
                                 QStringLiteral("Where the gradient runs to."));
    AddLabel(FillPanel, QStringLiteral("From Color"), 0, 50);
    BackGroundColorCombo2 = AddColors(FillPanel, "BackGroundColorCombo2", 0, 68,
                                      QStringLiteral("The colour the gradient starts with."));
    AddLabel(FillPanel, QStringLiteral("To Color"), 0, 100);
    GradientToColorCombo = AddColors(FillPanel, "GradientToColorCombo", 0, 118,
                                     QStringLiteral("The colour the gradient ends with."));
    ImagePanel = AddPanel(this, "ImagePanel", surfacePlace);
    LoadTextureButton = new QPushButton(QStringLiteral("Load Texture"), ImagePanel);
    LoadTextureButton->setObjectName(QStringLiteral("LoadTextureButton"));
    LoadTextureButton->setAutoDefault(false);
    LoadTextureButton->setGeometry(0, 18, 120, 28);
    LoadTextureButton->setWhatsThis(QStringLiteral("Choose the picture that tiles the figure."));

    // Sample, right.
    AddLabel(this, QStringLiteral("Sample"), 400, 8);
    SampleScrollBox = new QScrollArea(this);
    SampleScrollBox->setObjectName(QStringLiteral("SampleScrollBox"));
    SampleScrollBox->setGeometry(400, 26, 184, 184);
    SampleScrollBox->setWhatsThis(QStringLiteral("The shape as the settings make it."));
    SampleBox = new TObjectSampleBox;
    SampleBox->setObjectName(QStringLiteral("SampleBox"));
    m_sample = new TSuperShape(SampleBox);
    m_sample->setObjectName(QStringLiteral("Sample"));
    m_sample->SetBounds(10, 10, 96, 96);
    SampleBox->SetObject(m_sample);
    SampleBox->resize(SampleBox->minimumSize());
    SampleScrollBox->setWidget(SampleBox);
    SampleScrollBox->setWidgetResizable(true);

    // Shadow and outline rows.
    AddLabel(this, QStringLiteral("Shadow Color"), 8, 226);
    ShadowColorCombo = AddColors(this, "ShadowColorCombo", 8, 244,
                                 QStringLiteral("The colour of the drop shadow."));
    AddLabel(this, QStringLiteral("Shadow Orientation"), 204, 226);
    ShadowOrientationCombo =
        AddList(this, "ShadowOrientationCombo", ShadowOrientationCaptions(), 204, 244,
                QStringLiteral("Where the shadow falls; None for no shadow."));
    AddLabel(this, QStringLiteral("Shadow Depth"), 400, 226);
    ShadowDepthSpinner = AddSpin(this, "ShadowDepthSpinner", 0, 10, 1, 400, 244,
                                 QStringLiteral("How far the shadow lies from the figure."));
    AddLabel(this, QStringLiteral("Outline Color"), 8, 280);
    OutlineColorCombo = AddColors(this, "OutlineColorCombo", 8, 298,
                                  QStringLiteral("The colour of the figure's outline."));
    AddLabel(this, QStringLiteral("OutLine Style"), 204, 280);
    OutlineStyleCombo = AddList(this, "OutlineStyleCombo", OutlineStyleCaptions(), 204, 298,
                                QStringLiteral("How the outline is drawn; Clear for none."));
    AddLabel(this, QStringLiteral("Outline Width"), 400, 280);
    OutLineWidthSpinner = AddSpin(this, "OutLineWidthSpinner", 0, 10, 1, 400, 298,
                                  QStringLiteral("The outline's width in pixels."));

    OkButton = new QPushButton(QStringLiteral("Ok"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    OkButton->setGeometry(340, 354, 78, 28);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    CancelButton->setGeometry(423, 354, 78, 28);
    HelpButton = new QPushButton(QStringLiteral("Help"), this);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setAutoDefault(false);
    HelpButton->setGeometry(506, 354, 78, 28);
    OkButton->setWhatsThis(QStringLiteral("Keep the settings and close."));
    CancelButton->setWhatsThis(QStringLiteral("Close, leaving the shape as it was."));
    HelpButton->setWhatsThis(QStringLiteral("Help on this dialog."));

    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic); });
    SetHelpTopic(this, HelpTopic);

    // Every control acts on the sample at once. The lists act on a choice of
    // the user only; the spin boxes on every change of their shown value.
    const auto onList = [this](QComboBox *list, std::function<void(TSuperShape &, int)> set) {
        connect(list, &QComboBox::activated, this, [this, set](int index) {
            set(*m_sample, index);
            SampleChanged();
        });
    };
    const auto onSpin = [this](QSpinBox *spin, std::function<void(TSuperShape &, int)> set) {
        connect(spin, &QSpinBox::valueChanged, this, [this, set](int value) {
            set(*m_sample, value);
            SampleChanged();
        });
    };
    const auto onColor = [this](TColorDropDown *colors, void (TSuperShape::*set)(TColor)) {
        connect(colors, &TColorDropDown::ColorChanged, this, [this, set](TColor color) {
            (m_sample->*set)(color);
            SampleChanged();
        });
    };
    onList(ShapeCombo, [this](TSuperShape &s, int i) {
        s.SetShape(TSuperShape::TGPShapeType(i));
        SetVisiblePanels();
    });
    onSpin(PointsOnStar, [](TSuperShape &s, int points) { s.SetVectors(2 * points); });
    onSpin(PercentinVector, [](TSuperShape &s, int v) { s.SetInVectorPercent(v); });
    onSpin(RoundPercent, [](TSuperShape &s, int v) { s.SetRoundPerc(v); });
    connect(SurfaceTypeCombo, &QComboBox::activated, this,
            &TSuperShapeProperties::SurfaceTypeChosen);
    // The solid colour is the gradient's from-colour: both lists show it.
    onColor(BackGroundColorCombo, &TSuperShape::SetBackColor);
    onColor(BackGroundColorCombo2, &TSuperShape::SetBackColor);
    connect(BackGroundColorCombo, &TColorDropDown::ColorChanged, BackGroundColorCombo2,
            &TColorDropDown::SetColor);
    connect(BackGroundColorCombo2, &TColorDropDown::ColorChanged, BackGroundColorCombo,
            &TColorDropDown::SetColor);
    onColor(GradientToColorCombo, &TSuperShape::SetGradientToColor);
    onList(FillDirectionCombo, [](TSuperShape &s, int i) { s.SetFillDirection(TFillDirection(i)); });
    onColor(ShadowColorCombo, &TSuperShape::SetShadowColor);
    onList(ShadowOrientationCombo,
           [](TSuperShape &s, int i) { s.SetShadowOrient(TSuperShape::TShadowOrient(i)); });
    onSpin(ShadowDepthSpinner, [](TSuperShape &s, int v) { s.SetShadowDepth(v); });
    onColor(OutlineColorCombo, &TSuperShape::SetOutlineColor);
    onList(OutlineStyleCombo, [](TSuperShape &s, int i) { s.SetOutlineStyle(TPenStyle(i)); });
    onSpin(OutLineWidthSpinner, [](TSuperShape &s, int v) { s.SetOutlineWidth(v); });
    connect(LoadTextureButton, &QPushButton::clicked, this,
            &TSuperShapeProperties::LoadTextureClick);

    SetVisiblePanels();
    PlaceDialog(this, mainWindow);
}

void TSuperShapeProperties::SampleChanged()
{
    SampleBox->FitObject();
}

void TSuperShapeProperties::SetVisiblePanels()
{
    const TSuperShape::TGPShapeType shape = m_sample->Shape();
    const TSuperShape::TSurfaceType surface = m_sample->SurfaceType();
    // setHidden: the dialog itself may not be on screen yet.
    StarPanel->setHidden(shape != TSuperShape::gstStar);
    RRPanel->setHidden(shape != TSuperShape::gstRoundRect);
    PatternPanel->setHidden(surface != TSuperShape::stBrushPattern);
    FillPanel->setHidden(surface != TSuperShape::stGradientFill);
    ImagePanel->setHidden(surface != TSuperShape::stBrushImage);
}

void TSuperShapeProperties::SurfaceTypeChosen(int index)
{
    m_sample->SetSurfaceType(TSuperShape::TSurfaceType(index));
    if (m_sample->SurfaceType() == TSuperShape::stBrushImage && !m_lastUsedTexture.isNull()) {
        TGBitmap texture;
        texture.SetImage(m_lastUsedTexture);
        m_sample->SetImage(&texture);
    }
    SampleChanged();
    SetVisiblePanels();
}

void TSuperShapeProperties::FormActivate()
{
    // gstPolyGon has no item: nothing is selected then.
    ShapeCombo->setCurrentIndex(m_sample->Shape() < ShapeCombo->count() ? m_sample->Shape() : -1);
    // The spin boxes clamp to their ranges, and a changed value is written back.
    PointsOnStar->setValue(m_sample->Vectors() / 2);
    PercentinVector->setValue(m_sample->InVectorPercent());
    RoundPercent->setValue(m_sample->RoundPerc());
    SurfaceTypeCombo->setCurrentIndex(m_sample->SurfaceType());
    FillDirectionCombo->setCurrentIndex(m_sample->FillDirection());
    BackGroundColorCombo->SetColor(m_sample->BackColor());
    BackGroundColorCombo2->SetColor(m_sample->BackColor());
    GradientToColorCombo->SetColor(m_sample->GradientToColor());
    OutlineColorCombo->SetColor(m_sample->OutlineColor());
    OutlineStyleCombo->setCurrentIndex(
        m_sample->OutlineStyle() < OutlineStyleCombo->count() ? m_sample->OutlineStyle() : -1);
    OutLineWidthSpinner->setValue(m_sample->OutlineWidth());
    ShadowColorCombo->SetColor(m_sample->ShadowColor());
    ShadowOrientationCombo->setCurrentIndex(m_sample->ShadowOrient());
    ShadowDepthSpinner->setValue(m_sample->ShadowDepth());
    SetVisiblePanels();
    // A sample without a texture (another surface type was chosen) keeps the
    // texture remembered so far, so that "Texture" can still bring it back.
    if (!m_sample->ImageBitmap().IsEmpty())
        m_lastUsedTexture = m_sample->ImageBitmap().Image();
    SampleChanged();
}

void TSuperShapeProperties::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TSuperShapeProperties::LoadTextureClick()
{
    const QString currentFolder = QDir::currentPath();
    TGBrushImageBrowser browser(parentWidget());
    if (!LastTexturePath.isEmpty() && QFileInfo(LastTexturePath).isFile() &&
        browser.SelectFile(LastTexturePath)) {
        // The browser opens at the texture chosen last.
    } else {
        browser.SetFolder(ProgramFolder() + QStringLiteral("bmbrush"));
    }
    browser.ExampleSuperShape->CopyProperties(*m_sample);
    browser.ExampleBox->FitObject();
    const int result = ShowBrowser ? ShowBrowser(browser) : browser.exec();
    // Ok without a readable file chosen keeps the texture there was.
    const TGBitmap &chosen = browser.ExampleSuperShape->ImageBitmap();
    if (result == QDialog::Accepted && !chosen.IsEmpty()) {
        m_sample->SetImage(&chosen);
        m_lastUsedTexture = chosen.Image();
        LastTexturePath = browser.FileName();
    }
    QDir::setCurrent(currentFolder);
    FormActivate();
}

bool RunSuperShapeProperties(TSuperShape &sample, QString &lastTexturePath, QWidget *parent)
{
    TSuperShapeProperties dialog(parent);
    dialog.Sample().CopyProperties(sample);
    dialog.LastTexturePath = lastTexturePath;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    sample.TakeEditedProperties(dialog.Sample());
    lastTexturePath = dialog.LastTexturePath;
    return true;
}

void InstallSuperShapePropertiesDialog()
{
    TSuperShape::ShowPropertiesDialog = RunSuperShapeProperties;
}
