#pragma once

#include "document/CardLayout.h"

#include <QDialog>
#include <QWidget>

class QLabel;
class QPushButton;

// The drawing of the "Turn the Sheets" window: the printer's tray seen from
// above, the sheet as it goes back in (printed fronts showing or hidden
// under it) and the edge that goes in first.
class TTurnSheetsPicture : public QWidget
{
    Q_OBJECT

public:
    explicit TTurnSheetsPicture(const TDuplexSettings &duplex, QWidget *parent = nullptr);
    QSize sizeHint() const override { return QSize(260, 230); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TDuplexSettings m_duplex;
};

// "Turn the Sheets": between the fronts and the backs of a job turned by
// hand, says how the printed sheets go back into the tray; "Print Backs"
// goes on, "Cancel" ends the job with the fronts printed.
class TTurnSheetsDialog : public QDialog
{
    Q_OBJECT

public:
    TTurnSheetsDialog(const TDuplexSettings &duplex, int sheets, QWidget *parent = nullptr);

    // The instruction shown beside the picture.
    static QString Instruction(const TDuplexSettings &duplex, int sheets);

    TTurnSheetsPicture *Picture = nullptr;
    QLabel *Message = nullptr;
    QPushButton *PrintBacksButton = nullptr;
    QPushButton *Cancelbutton = nullptr;
};
