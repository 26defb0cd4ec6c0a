#pragma once

#include "graphics/Colors.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QFrame;
class QPushButton;
class TColorDropDown;
class TGBaseLabel;
class TGPLabel;

// The 3-D effects dialog of a text label: shadow and highlight direction,
// colour and depth, and the font colour, previewed on a private sample label.
// The label itself changes only on OK.
class TGFont3DEffects : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpTopic = 40008;

    TGFont3DEffects(TGBaseLabel *label, QWidget *mainWindow = nullptr);
    ~TGFont3DEffects() override;

    // The preview's label; it starts as a copy of the edited label's look.
    TGPLabel *Sample() const { return m_sample.get(); }

    QComboBox *cbShadowDirection = nullptr;
    TColorDropDown *cbShadowColor = nullptr;
    QComboBox *cbShadowDepth = nullptr;
    QComboBox *cbHighlightDirection = nullptr;
    TColorDropDown *cbHighlightColor = nullptr;
    QComboBox *cbHighlightDepth = nullptr;
    TColorDropDown *cbFontColor = nullptr;
    QFrame *PreviewPanel = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *HelpButton = nullptr;

private:
    void OKButtonClick();

    TGBaseLabel *m_label;
    std::unique_ptr<TGPLabel> m_sample;
};
