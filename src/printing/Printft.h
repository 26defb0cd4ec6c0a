#pragma once

#include "document/CardLayout.h"

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;
class QTabWidget;
class QToolButton;

// "Printer Fine-Tuning": edits working copies of the four printer nudges of
// one printer, for the fronts and for the backs of two-sided designs (tabs
// "Front" and "Back"); Nudges() and BackNudges() hand them back, the caller
// stores them on "Ok". "Two-Sided Test Page" prints crosses at every card's
// centre on both sides with the working values.
class TPrintFineTune : public QDialog
{
    Q_OBJECT

public:
    // printer: the queue the nudges belong to, shown in the dialog; empty for
    // the nudges PDF files are printed with (no printer installed).
    TPrintFineTune(const TPrinterNudges &nudges, const QString &printer, QWidget *parent = nullptr);

    // The working values (after "Ok", the values to keep).
    TPrinterNudges Nudges() const { return m_values; }
    void SetBackNudges(const TPrinterNudges &nudges);
    TPrinterNudges BackNudges() const { return m_back; }
    // Prints the two-sided test page with the working front and back nudges.
    std::function<void(const TPrinterNudges &front, const TPrinterNudges &back)> OnTwoSidedTestPage;

    // A nudge as its value text shows it ("Increase by 3/32\"", "None").
    static QString ValueText(int nudge);

    void ShowValues();
    // The down arrow adds 1 up to 8, the up arrow takes 1 down to -8.
    void TopMarginSpinnerUpClick();
    void TopMarginSpinnerDownClick();
    void LeftMarginSpinnerUpClick();
    void LeftMarginSpinnerDownClick();
    void VerticalSpacingSpinnerUpClick();
    void VerticalSpacingSpinnerDownClick();
    void HorizontalSpacingSpinnerUpClick();
    void HorizontalSpacingSpinnerDownClick();
    void DefaultButtonClick();
    void OKButtonClick();
    void CancelbuttonClick();

    QLabel *lTopMarginNudge = nullptr;
    QLabel *LLeftMarginNudge = nullptr;
    QLabel *LVerticalSpacing = nullptr;
    QLabel *LHorizontalSpacing = nullptr;
    // The back's values, in the order top, left, vertical, horizontal.
    QLabel *BackValues[4] = {};
    QLabel *PrinterLabel = nullptr;
    QTabWidget *SideTabs = nullptr;
    QPushButton *TestPageButton = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *Cancelbutton = nullptr;
    QPushButton *DefaultButton = nullptr;
    QPushButton *Helpbutton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static void Up(int &value);
    static void Down(int &value);

    TPrinterNudges m_values;
    TPrinterNudges m_back;
};
