#pragma once

#include "document/CardLayout.h"
#include "document/CardStocks.h"

#include <QDialog>
#include <QLineEdit>
#include <QList>
#include <QString>

class QComboBox;
class QDoubleValidator;
class QLabel;
class QPushButton;
class QRadioButton;
class QShowEvent;
class QSpinBox;
class QTreeWidget;

// The numeric edit of the layout dialog. It shows its value with a fixed
// number of decimals (or up to that many, trailing zeros dropped) and only
// lets the user type digits, one decimal point and, when the range allows
// it, a minus sign. Text that is not a number in range (an emptied field)
// does not change the value: Value() keeps the last number the field held.
class TNumberField : public QLineEdit
{
public:
    explicit TNumberField(QWidget *parent = nullptr);

    // trimZeros: "#0.###" style (3.500 shows as "3.5"); otherwise always
    // exactly `decimals` decimals. Re-shows the current value.
    void SetFormat(int decimals, bool trimZeros, double bottom, double top);
    void SetValue(double value);
    double Value() const;
    // True when the text is a number within the field's range.
    bool HasNumber() const;
    double Bottom() const { return m_bottom; }
    double Top() const { return m_top; }
    QString Format(double value) const;
    // A value as a field with that format shows it (the inch display: 3, true).
    static QString FormatValue(double value, int decimals, bool trimZeros);

private:
    void Remember();

    QDoubleValidator *m_validator = nullptr;
    int m_decimals = 3;
    bool m_trimZeros = true;
    double m_bottom = 0.0;
    double m_top = 999.999;
    double m_value = 0.0;
};

// The sheet of a layout drawn small: the paper and every card position, with
// the cards' round corners.
class TStockSheetView : public QWidget
{
public:
    explicit TStockSheetView(QWidget *parent = nullptr);
    void SetLayout(const TCardLayout &layout);
    const TCardLayout &Layout() const { return m_layout; }
    QSize sizeHint() const override { return QSize(150, 190); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TCardLayout m_layout;
};

// "Business Card Layout": edits a copy of the layout record; the copy is
// handed back by Layout() only after "Ok" found it valid.
class TEditCardLayout : public QDialog
{
    Q_OBJECT

public:
    explicit TEditCardLayout(const TCardLayout &layout, QWidget *parent = nullptr);

    // The record as last accepted with "Ok" (UseMM set from the unit
    // buttons); before that, and after Cancel, the record given at creation.
    TCardLayout Layout() const { return m_result; }

    // Shows the dialog's record in the fields (in millimetres when that
    // display is on).
    void FillEditsFromValues();
    // Switch the fields to inches / millimetres; nothing happens when they
    // already show that unit. Before the first show only the unit changes
    // (the fields are filled then, in the unit chosen).
    void InchesbuttonClick();
    void MMButtonClick();
    // Leaving the width (height) field: a pitch smaller than the card grows
    // to the card size.
    void eCardwidthExit();
    void eCardHeightExit();
    // Applies the selected predefined layout (ignored until first shown).
    void PredefinedLayoutsChange();
    // Checks the dialog's record; on failure shows why and returns false.
    bool ValidCard();
    // Reads the fields into the record and closes the dialog when it is valid.
    void OKButtonClick();

    // The message ValidCard shows for a record, or an empty string when the
    // record is valid.
    static QString ValidationMessage(const TCardLayout &layout, bool millimetres = false);
    // A length in inches as the millimetre display shows it: the round
    // figure a metric layout was made with (3.543 inches are 90 mm, not
    // 89.99) where that figure stands for the same thousandth of an inch.
    static double InchesToShownMM(double inches);
    // The entry of the layout list that names an edited layout.
    static constexpr int CustomEntry = TCardLayout::PredefinedCount;

    // The card stocks the search field looks through (the user's own
    // included, from the program folder).
    const TStockCatalogue &Catalogue() const { return m_catalogue; }
    // Shows the stocks the search text matches.
    void FilterStocks();
    // Applies the stock at that index of the catalogue, as a click on it in
    // the list does.
    void ChooseStock(int index);
    // Keeps the layout in the fields as a stock of the user's own; false,
    // with the reason shown, when it cannot be kept.
    bool SaveAsStock(const QString &brand, const QString &part, const QString &description);
    // "Save as stock...": asks for the name, then SaveAsStock.
    void SaveStockButtonClick();
    // Removes the user's stock chosen in the list.
    void RemoveStockButtonClick();
    // The size of the design on the card in inches: the dialog says when a
    // layout's card is smaller.
    void SetDesignSize(const QSizeF &inches);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildForm();
    // The six length fields with their labels, in one fixed order.
    QList<TNumberField *> LengthFields() const;
    QString FieldLabel(const TNumberField *field) const;
    void TakeLengthsFromFields(double factor);
    void ShowLengths(bool millimetres);
    void SetUnitDisplay(bool millimetres);
    void ConvertDisplayToMM();
    // A field was edited by the user: the layout is no longer the one chosen
    // from the list.
    void MarkCustom();
    // The list entry for a record: its predefined layout when the record
    // still has that layout's values, else "Custom".
    static int EntryFor(const TCardLayout &layout);
    void BuildStockPanel(class QVBoxLayout *main);
    // The layout the fields show now (the record when a field holds no number).
    TCardLayout FieldsLayout() const;
    // Redraws the sheet, names the stock and warns about a large design.
    void ShowChosenStock();
    int CurrentStock() const;

    TCardLayout m_record; // the dialog's working copy
    TCardLayout m_result; // what Layout() hands back
    bool m_firstActivation = true;
    bool m_showingMM = false;
    // The fields are being filled from the record, not edited.
    bool m_filling = false;
    // A width / height field took the focus and has not been left yet.
    bool m_widthExitPending = false;
    bool m_heightExitPending = false;

    QComboBox *PredefinedLayouts = nullptr;
    QRadioButton *Inchesbutton = nullptr;
    QRadioButton *MMButton = nullptr;
    TNumberField *eCardwidth = nullptr;
    TNumberField *eCardHeight = nullptr;
    TNumberField *eHorizPitch = nullptr;
    TNumberField *eVertPitch = nullptr;
    TNumberField *eleftmarg = nullptr;
    TNumberField *etopmarg = nullptr;
    QSpinBox *enbracross = nullptr;
    QSpinBox *enbrdown = nullptr;
    QComboBox *epapersize = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *Cancelbutton = nullptr;
    QPushButton *Helpbutton = nullptr;
    QList<QLabel *> m_unitLabels;

    TStockCatalogue m_catalogue;
    QSizeF m_designSize;
    bool m_listing = false; // the list is being filled, not clicked
    QLineEdit *StockSearch = nullptr;
    QTreeWidget *StockList = nullptr;
    TStockSheetView *StockSheet = nullptr;
    QLabel *StockName = nullptr;
    QLabel *StockNote = nullptr;
    QPushButton *SaveStockButton = nullptr;
    QPushButton *RemoveStockButton = nullptr;
};
