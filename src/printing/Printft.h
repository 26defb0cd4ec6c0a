#pragma once

#include "document/CardLayout.h"

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QToolButton;

// "Printer Fine-Tuning": edits working copies of the four printer nudges of
// one printer; Nudges() hands them back, the caller stores them on "Ok".
class TPrintFineTune : public QDialog
{
    Q_OBJECT

public:
    // printer: the queue the nudges belong to, shown in the dialog; empty for
    // the nudges PDF files are printed with (no printer installed).
    TPrintFineTune(const TPrinterNudges &nudges, const QString &printer, QWidget *parent = nullptr);

    // The working values (after "Ok", the values to keep).
    TPrinterNudges Nudges() const { return m_values; }

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
    QLabel *PrinterLabel = nullptr;
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
};
