#pragma once

#include "document/Groups.h"
#include "graphics/Colors.h"
#include "richtext/RtfReader.h"
#include "surface/GGraphc.h"

#include <QByteArray>
#include <QPointer>
#include <memory>
#include <stdexcept>

class TRichText;
#include "richtext/RichTextEngine.h"

// Raised when a rich text label is made ready on a form without the shared
// rich text engine.
class ENoMasterWPRich : public std::runtime_error
{
public:
    ENoMasterWPRich()
        : std::runtime_error("No master rich text object found")
    {
    }
};

// A block of formatted text, kept as RTF and drawn through the main window's
// one rich text engine.
class TGPRichBaseLabel : public TGGraphicControl
{
    Q_OBJECT

public:
    using Inherited = TGGraphicControl;

    explicit TGPRichBaseLabel(QObject *owner = nullptr);
    ~TGPRichBaseLabel() override;

    TGRichTextData *RTFText() { return &m_rtfText; }
    QByteArray Rtf() const { return m_rtfText.Rtf(); }
    void SetRTFText(const QByteArray &rtf); // the storage copies the content

    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);

    // False fills the object with BGColor.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);

    TColor BGColor() const { return m_bgColor; }
    void SetBGColor(TColor color) { StoreDesignValue(m_bgColor, color); }

    // The content as read from the RTF, parsed once per change of the bytes.
    TRichText &Content() const;
    // How the last reading of the bytes went (unreadable bytes are kept as they are).
    TRtfReadResult ReadResult() const;

    // The shared engine found by MakeReady; null before it or without one.
    TRichTextEngine *Master() const { return m_master; }
    // The page the text is laid out on: the label's size at 100 % in twips.
    int PageWidthTwips() const;
    int PageHeightTwips() const;

    QStringList MergeTexts() const override;
    // Each field takes the format of its first character.
    void FillMergeFields(const TMergeValues &values) override;

    const TPropertyTable &PropertyTable() const override;
    void MakeReady() override;
    void Paint(QPainter &painter) override;
    void PrintTo(TBaseReport *report, double x, double y) override;
    void RefreshMenu() override;
    // Says so when the text has more changes of format than are laid out.
    QString ToolTipText() const override;

    // The commands of the object menu.
    bool Edit();
    void ChooseBackgroundColor();
    void ToggleTransparent() { SetTransparent(!m_transparent); }
    void ToggleBorder() { SetBorderStyle(m_borderStyle == bsSingle ? bsNone : bsSingle); }

    // Applies the background colour the dialog chose: it also makes the label opaque.
    void TakeBackgroundColor(TColor color);

protected:
    void BuildObjectMenu() override;

private:
    // The drawing steps shared by the surface and the print picture.
    void Draw(QPainter &painter);

    TGRichTextData m_rtfText;
    TBorderStyle m_borderStyle = bsSingle;
    bool m_transparent = true;
    TColor m_bgColor = 0xFFFFFF;
    QPointer<TRichTextEngine> m_master;
    mutable std::unique_ptr<TRichText> m_content;
    mutable TRtfReadResult m_readResult;
    QAction *m_transparentItem = nullptr;
    QAction *m_borderItem = nullptr;
};
