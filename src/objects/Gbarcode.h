#pragma once

#include "document/Groups.h"
#include "surface/GGraphc.h"

#include <QList>
#include <QPainterPath>
#include <QStringList>

class QAction;

// What a symbology made of some data: its dark modules as one path and the
// human-readable text beneath linear codes, in the symbol's own units (the
// quiet zone included in its size), or the reason it could not be made.
struct TBarcodeSymbol
{
    struct Text
    {
        QPointF Position; // the baseline's anchor
        double Size = 0;  // font height
        int Align = 0;    // 0 centred, 1 left, 2 right
        QString Text;
    };
    bool Valid = false;
    QString Reason;
    QSizeF Size;
    double ModuleSize = 0; // the narrowest bar or module
    QPainterPath Modules;
    QList<Text> Texts;
};

// A QR code or a barcode of text or of the card owner's contact details.
class TGBarcode : public TGGraphicControl
{
    Q_OBJECT

public:
    using Inherited = TGGraphicControl;

    enum TSymbology { bsQRCode, bsDataMatrix, bsCode128, bsEAN13, bsUPCA, bsPDF417 };
    enum TDataSource { dsText, dsContact };
    enum TErrorLevel { elLow, elMedium, elQuartile, elHigh };
    static const QStringList &SymbologyIdentifiers();
    static const QStringList &SourceIdentifiers();
    static const QStringList &ErrorLevelIdentifiers();
    // The names the dialog shows, in identifier order.
    static QStringList SymbologyNames();
    static bool IsLinear(TSymbology symbology);

    explicit TGBarcode(QObject *owner = nullptr);

    TSymbology Symbology() const { return m_symbology; }
    void SetSymbology(TSymbology value);
    QString Data() const { return m_data; }
    void SetData(const QString &value) { StoreDesignValue(m_data, value); }
    // Fields are filled in the text encoded; a contact code takes the card
    // owner's details.
    QStringList MergeTexts() const override
    {
        return m_source == dsText ? QStringList{m_data} : QStringList();
    }
    void FillMergeFields(const TMergeValues &values) override;
    TDataSource Source() const { return m_source; }
    void SetSource(TDataSource value);
    TErrorLevel ErrorLevel() const { return m_errorLevel; }
    void SetErrorLevel(TErrorLevel value);
    TColor ForeColor() const { return m_foreColor; }
    void SetForeColor(TColor value) { StoreDesignValue(m_foreColor, value); }
    TColor BackColor() const { return m_backColor; }
    void SetBackColor(TColor value) { StoreDesignValue(m_backColor, value); }
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value) { StoreDesignValue(m_transparent, value); }
    bool ShowText() const { return m_showText; }
    void SetShowText(bool value) { StoreDesignValue(m_showText, value); }

    // The design file holds 8-bit text: Data is stored with a backslash
    // doubled and each character Windows-1252 lacks as \uXXXX (UTF-16 units),
    // which StoredDataToText takes back exactly.
    static QString TextToStoredData(const QString &text);
    static QString StoredDataToText(const QString &stored);

    // The card owner's details (Name, Company, Title, Address 1..3, Phone 1,
    // Phone 2, E-mail, Fax) as a vCard 3.0; empty when all are empty.
    static QString ContactCard(const QStringList &info);
    // The text encoded: Data, or the contact card of `info`.
    QString EncodedText(const QStringList &info) const;
    // The text encoded with the card's own details.
    QString EncodedText() const;
    // Encodes text in a symbology; an invalid symbol carries the reason.
    static TBarcodeSymbol Encode(TSymbology symbology, const QString &text, TErrorLevel level,
                                 bool showText);
    // The current symbol (kept while what it is made of stays the same).
    const TBarcodeSymbol &Symbol() const;
    // Draws a symbol fitted into `area` with its module size kept square;
    // an invalid one as a crossed box with its reason.
    static void DrawSymbol(QPainter &painter, const QRectF &area, const TBarcodeSymbol &symbol,
                           const QColor &fore, const QColor &back, bool transparent);

    const TPropertyTable &PropertyTable() const override;
    void Paint(QPainter &painter) override;
    void PrintTo(TBaseReport *report, double x, double y) override;
    void PersonalInfoChanged() override;

    // A code placed by a click (or dragged flatter than half an inch) gets a
    // square of at least an inch, a size phones read.
    void FitPlacedSize();
    // The properties dialog; false when cancelled.
    bool EditProperties();

protected:
    void BuildObjectMenu() override;

private:
    QString StoredData() const { return TextToStoredData(m_data); }
    void SetStoredData(const QString &stored) { SetData(StoredDataToText(stored)); }

    TSymbology m_symbology = bsQRCode;
    QString m_data;
    TDataSource m_source = dsText;
    TErrorLevel m_errorLevel = elMedium;
    TColor m_foreColor = 0x000000;
    TColor m_backColor = 0xFFFFFF;
    bool m_transparent = false;
    bool m_showText = true;

    // The symbol and what it was made of.
    mutable TBarcodeSymbol m_symbol;
    mutable QString m_symbolKey;
};
