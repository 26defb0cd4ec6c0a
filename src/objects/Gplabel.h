#pragma once

#include "objects/Gpbasel.h"

#include <array>

class TGetLabelText;

// The text label with its own text dialog and rotation menu; the 3-D effects
// dialog previews with one.
class TGPLabel : public TGBaseLabel
{
    Q_OBJECT

public:
    using Inherited = TGBaseLabel;

    // The "Text" item carries this tag so a kind can find it.
    static constexpr int TextItemTag = 1000;

    explicit TGPLabel(QObject *owner = nullptr);

    // Opens the text dialog; on OK the caption takes the text and the label
    // grows to fit it. True when the dialog ended with OK.
    virtual bool EditText();

    bool ChooseFont() override;
    QStringList MergeTexts() const override { return {Caption()}; }
    void FillMergeFields(const TMergeValues &values) override;
    void BuildObjectMenu() override;
    void RefreshMenu() override;

protected:
    QAction *TextItem() const { return m_textItem; }
    // Opens the given text dialog on the caption; on OK as EditText.
    bool EditTextIn(TGetLabelText &dialog);

private:
    QAction *m_textItem = nullptr;
    std::array<QAction *, 4> m_rotationItems{};
};
