#pragma once

#include "effects/Gsshape.h"

#include <QDialog>
#include <QImage>
#include <QString>
#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class TColorDropDown;
class TGBrushImageBrowser;
class TObjectSampleBox;

// The properties dialog of a super shape. It edits a private sample, shown
// live in a white box, and never touches the card object: the caller copies
// the object into Sample() before showing it and takes the sample back on Ok.
class TSuperShapeProperties : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpTopic = 40011;
    // Item captions of the drop-down lists, in the order of their values.
    static const QStringList &ShapeCaptions();
    static const QStringList &SurfaceTypeCaptions();
    static const QStringList &FillDirectionCaptions();
    static const QStringList &ShadowOrientationCaptions();
    static const QStringList &OutlineStyleCaptions();

    explicit TSuperShapeProperties(QWidget *mainWindow = nullptr);

    TSuperShape &Sample() { return *m_sample; }
    // The texture file last chosen; set by the caller, updated by the browser.
    QString LastTexturePath;
    // The texture "Texture" brings back after another surface type was chosen.
    const QImage &LastUsedTexture() const { return m_lastUsedTexture; }

    // Shows the sample's values in the controls (run whenever the dialog
    // is shown and after the texture browser closes).
    void FormActivate();
    // Shows the panels that belong to the sample's shape and surface type.
    void SetVisiblePanels();
    // "Load Texture": runs the texture browser on a copy of the sample.
    void LoadTextureClick();
    // Shows the texture browser modally and gives its result; exec() unless
    // replaced (tests choose files in it this way).
    std::function<int(TGBrushImageBrowser &browser)> ShowBrowser;

    QComboBox *ShapeCombo = nullptr;
    QFrame *StarPanel = nullptr;
    QSpinBox *PointsOnStar = nullptr;
    QSpinBox *PercentinVector = nullptr;
    QFrame *RRPanel = nullptr;
    QSpinBox *RoundPercent = nullptr;
    QComboBox *SurfaceTypeCombo = nullptr;
    QFrame *PatternPanel = nullptr;
    TColorDropDown *BackGroundColorCombo = nullptr;
    QFrame *FillPanel = nullptr;
    QComboBox *FillDirectionCombo = nullptr;
    TColorDropDown *BackGroundColorCombo2 = nullptr;
    TColorDropDown *GradientToColorCombo = nullptr;
    QFrame *ImagePanel = nullptr;
    QPushButton *LoadTextureButton = nullptr;
    QScrollArea *SampleScrollBox = nullptr;
    TObjectSampleBox *SampleBox = nullptr;
    TColorDropDown *ShadowColorCombo = nullptr;
    QComboBox *ShadowOrientationCombo = nullptr;
    QSpinBox *ShadowDepthSpinner = nullptr;
    TColorDropDown *OutlineColorCombo = nullptr;
    QComboBox *OutlineStyleCombo = nullptr;
    QSpinBox *OutLineWidthSpinner = nullptr;
    QPushButton *OkButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *HelpButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void SampleChanged();
    void SurfaceTypeChosen(int index);

    TSuperShape *m_sample = nullptr;
    QImage m_lastUsedTexture;
};

// Runs the dialog on a sample super shape with its last texture path; true
// on Ok, when both hold what the dialog set. Installed as the super shape's
// properties dialog.
bool RunSuperShapeProperties(TSuperShape &sample, QString &lastTexturePath, QWidget *parent);
// Makes the super shapes' "Properties" open this dialog (the programs do;
// tests that place shapes without a user do not).
void InstallSuperShapePropertiesDialog();
