#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The text dialog of a text label: one line of text, no length limit.
class TGetLabelText : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpTopic = 40004;

    explicit TGetLabelText(QWidget *mainWindow = nullptr);

    QString Text() const;
    void SetText(const QString &text);

    QLabel *Label1 = nullptr;
    QLineEdit *eText = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *HelpButton = nullptr;

protected:
    // Builds the edit field and the three buttons; the business-card dialog
    // passes its own height and button row.
    TGetLabelText(QWidget *mainWindow, int width, int height, int buttonTop);
};
