#pragma once

#include "document/Groups.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTimer;
class QToolButton;
class TColorDropDown;
class TGSuperText;

// The SuperText Properties dialog: the text, its font, fill, shadow and
// outline, all tried out on a private sample super text that follows every
// change at once. The caller copies the sample back on Ok.
class TSuperTextProperties : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpTopic = 40014;
    // The font-size buttons step by 5 points and stay within these.
    static constexpr int RapidStep = 5;
    static constexpr int RapidMinSize = 10;
    static constexpr int RapidMaxSize = 150;
    static constexpr int TimerInterval = 200;
    static constexpr int SpinnerMax = 10;

    // The texture browser "Load Texture" opens: it shows the example (a copy
    // of the sample) filled with the chosen picture and, on OK, leaves the
    // picture in the example's Image and its file in lastTexturePath.
    static std::function<bool(TGSuperText &example, QString &lastTexturePath, QWidget *parent)>
        BrowseTexture;

    explicit TSuperTextProperties(QWidget *parent = nullptr);

    // Runs the dialog on a super text (the edit's sample copy): the text takes
    // what was set and lastTexturePath the texture file only on Ok.
    static bool Edit(TGSuperText &text, QString &lastTexturePath, QWidget *parent);

    TGSuperText *Sample() const { return m_sample; }
    QString LastTexturePath() const { return m_lastTexturePath; }
    void SetLastTexturePath(const QString &path) { m_lastTexturePath = path; }
    // The texture "Texture" gives a text that has none yet.
    const TGBitmap &LastUsedTexture() const { return m_lastUsedTexture; }
    static QImage DefaultTexture();
    bool CaptionChanged() const { return m_captionChanged; }

    void SetVisiblePanels();
    // Sizes the sample to its caption when the text changed since the last tick.
    void Timer1Timer();
    void FontSizeDown();
    void FontSizeUp();
    void SelectFontClick();
    void SelectSymbolClick();
    void LoadTextureClick();
    void OkClick();

    QLabel *TextLabel = nullptr;
    QLineEdit *CaptionText = nullptr;
    QListWidget *SurfaceTypeCombo = nullptr;
    QFrame *FontcolorPanel = nullptr;
    TColorDropDown *FontColorButton = nullptr;
    QFrame *FillPanel = nullptr;
    QComboBox *FillDirectionCombo = nullptr;
    TColorDropDown *GradientFromcolorButton = nullptr;
    TColorDropDown *GradientToColorButton = nullptr;
    QFrame *ImagePanel = nullptr;
    QPushButton *LoadTextureButton = nullptr;
    TColorDropDown *ShadowColorButton = nullptr;
    QComboBox *ShadowOrientationCombo = nullptr;
    QSpinBox *ShadowDepthSpinner = nullptr;
    TColorDropDown *OutlineColorButton = nullptr;
    QComboBox *OutlineStyleCombo = nullptr;
    QSpinBox *OutLineWidthSpinner = nullptr;
    QFrame *SampleBox = nullptr;
    QPushButton *OkButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *SelectFontButton = nullptr;
    QWidget *RapidChangeFontSize = nullptr;
    QToolButton *FontSizeUpButton = nullptr;
    QToolButton *FontSizeDownButton = nullptr;
    QPushButton *SelectSymbolButton = nullptr;
    QPushButton *HelpButton = nullptr;
    QTimer *Timer1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void BuildControls();
    void ConnectControls();
    void FormActivate();
    // Shows the sample's caption in its typeface.
    void ShowCaptionText();
    void SampleChanged(bool resize);

    TGSuperText *m_sample = nullptr;
    QString m_lastTexturePath;
    TGBitmap m_lastUsedTexture;
    bool m_captionChanged = false;
    bool m_activating = false;
};

// Makes super texts open this dialog to edit their properties.
void InstallSuperTextPropertiesDialog();
