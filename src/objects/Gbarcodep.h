#pragma once

#include "objects/Gbarcode.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// Shows the code the dialog's values make, at the object's proportions.
class TBarcodeSample : public QWidget
{
    Q_OBJECT

public:
    explicit TBarcodeSample(QWidget *parent = nullptr);
    TBarcodeSymbol Symbol;
    QColor Fore = Qt::black;
    QColor Back = Qt::white;
    bool Transparent = false;
    QSize ObjectSize = QSize(96, 96);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The barcode's properties dialog: symbology, where the data comes from, the
// data with a live check, the QR error level, the colours and a sample.
class TBarcodeProperties : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpTopic = 40015;
    explicit TBarcodeProperties(QWidget *parent = nullptr);

    void SetPersonalInfo(const QStringList &info) { m_personalInfo = info; }
    // The object's size at 100 %, for the sample and the module size check.
    void SetSampleSize(const QSize &size);
    void TakeFrom(const TGBarcode &object);
    void GiveTo(TGBarcode &object) const;

    // What the live check says of the current values; empty when the code is fine.
    QString CheckMessage() const;

    QComboBox *SymbologyBox = nullptr;
    QComboBox *SourceBox = nullptr;
    QPlainTextEdit *DataEdit = nullptr;
    QLabel *CheckLabel = nullptr;
    QComboBox *ErrorLevelBox = nullptr;
    QPushButton *ForeButton = nullptr;
    QPushButton *BackButton = nullptr;
    QCheckBox *TransparentBox = nullptr;
    QCheckBox *ShowTextBox = nullptr;
    TBarcodeSample *Sample = nullptr;

private:
    void Update();
    void ChooseColor(QColor &color, const QString &title);
    TGBarcode::TSymbology CurrentSymbology() const;

    QStringList m_personalInfo;
    QColor m_fore = Qt::black;
    QColor m_back = Qt::white;
    QString m_message;
};
