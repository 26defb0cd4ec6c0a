#pragma once

#include "document/Groups.h"
#include "graphics/Colors.h"
#include "surface/GGraphc.h"

#include <QByteArray>
#include <QStringList>

// A block of formatted text, kept as RTF and drawn through the main window's
// one rich text engine.
class TGPRichBaseLabel : public TGGraphicControl
{
    Q_OBJECT

public:
    using Inherited = TGGraphicControl;


    explicit TGPRichBaseLabel(QObject *owner = nullptr);

    TGRichTextData *RTFText() { return &m_rtfText; }
    QByteArray Rtf() const { return m_rtfText.Rtf(); }
    void SetRTFText(const QByteArray &rtf); // the storage copies the content

    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);

    // False fills the object with BGColor.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value) { StoreDesignValue(m_transparent, value); }

    TColor BGColor() const { return m_bgColor; }
    void SetBGColor(TColor color) { StoreDesignValue(m_bgColor, color); }

    const TPropertyTable &PropertyTable() const override;
    void Paint(QPainter &painter) override;

private:
    TGRichTextData m_rtfText;
    TBorderStyle m_borderStyle = bsSingle;
    bool m_transparent = true;
    TColor m_bgColor = 0xFFFFFF;
};
