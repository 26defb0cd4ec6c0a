#pragma once

#include "document/CardLayout.h"
#include "printing/SheetRenderer.h"

#include <QDialog>
#include <QList>
#include <QRect>
#include <QSizeF>
#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TCanvasReport;

// The sheet picture of the "Print Cards" dialog.
class TSheetPicture : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
    std::function<void(QPainter &)> OnPaint;
    std::function<void(const QPoint &)> OnMouseDown;
    // Arrow keys and Space; true when the key was used.
    std::function<bool(int key)> OnKey;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

// "Print Cards": the sheet at one fifth of its size with every card position
// of the layout, red when it is to print and white when not; a click toggles
// a position. Also the printer and the number of sheets. The dialog works on
// copies of the flags; Selection() hands them back.
class TSelectSpecificLabels : public QDialog
{
    Q_OBJECT

public:
    // report: the printer report whose printer is shown and set up, and whose
    // orientation and copies "Ok" sets (may be null).
    TSelectSpecificLabels(int papersize, TCanvasReport *report, QWidget *parent = nullptr);

    // The layout's positions and the sheet. Recomputes the rectangles.
    void SetLayout(const TCardLayout &layout);
    // Flags by position index; positions past the list start selected.
    void SetSelection(const QList<bool> &flags);
    // One flag per position of the layout (Across x Down).
    QList<bool> Selection() const { return m_selection; }
    int PositionCount() const { return int(m_selection.size()); }

    // A design with a back: the "Sides" choices show, starting from the
    // printer's settings. A printer without a duplex unit has the sheets
    // turned by hand; a PDF file takes fronts and backs as its pages.
    void SetTwoSided(const TDuplexSettings &duplex);
    // A merged job of that many cards: the number is copies of each card,
    // and the dialog says how many sheets the chosen positions take.
    void SetMergeRecords(int records);
    bool TwoSided() const { return m_twoSided; }
    TPrintSides Sides() const;
    // The printer's settings with the choices made here.
    TDuplexSettings Duplex() const;
    // Whether the report's printer turns sheets itself.
    bool PrinterHasDuplexUnit() const;

    // One fifth of a length in inches, in screen pixels: Trunc(L x 0.2 x ppi).
    int Scaled(double inches) const;
    // The position rectangles in PaintBox1's coordinates, in row order
    // (right and bottom excluded).
    const QList<QRect> &Rectangles() const { return m_rects; }
    // The sheet's rectangle in PaintBox1's coordinates.
    QRect SheetRect() const;

    void DetermineRectangles();
    void PaintBox1Paint(QPainter &painter);
    void FillLabelRect(QPainter &painter, int index);
    void PaintBox1MouseDown(const QPoint &point);
    // The keyboard's way: the arrows move the position with the focus frame,
    // Space toggles it.
    bool PaintBox1Key(int key);
    int CurrentPosition() const { return m_current; }
    void SelectAllClick();
    void SelectnoneClick();
    void PrinterSetupButtonClick();
    void OKbuttonClick();
    void ShowPrinterName();

    TSheetPicture *PaintBox1 = nullptr;
    QPushButton *SelectAll = nullptr;
    QPushButton *Selectnone = nullptr;
    QLabel *PrinterLabel = nullptr;
    QPushButton *PrinterSetupButton = nullptr;
    QSpinBox *pages = nullptr;
    QLabel *PagesLabel = nullptr;
    QLabel *MergeSummary = nullptr;
    QGroupBox *SidesBox = nullptr;
    QComboBox *SidesCombo = nullptr;
    QRadioButton *FlipLong = nullptr;
    QRadioButton *FlipShort = nullptr;
    QCheckBox *ManualDuplex = nullptr;
    QComboBox *FeedCombo = nullptr;
    QPushButton *OKbutton = nullptr;
    QPushButton *Cancelbutton = nullptr;
    QPushButton *Helpbutton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void UpdateSides();
    void ShowMergeSummary();
    int m_mergeRecords = 0;

    TCanvasReport *m_report = nullptr;
    bool m_twoSided = false;
    TDuplexSettings m_duplex;
    TCardLayout m_layout;
    QSizeF m_paper; // inches
    int m_ppi = 96;
    // Where the picture's (0, 0) lies in PaintBox1: 10 pixels in, further when
    // negative margins put positions left of or above the sheet.
    QPoint m_origin{10, 10};
    QList<bool> m_selection;
    QList<QRect> m_rects;
    int m_current = 0;
};
