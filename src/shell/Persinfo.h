#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QLineEdit;
class QPushButton;

// "Personal Information": the ten details that go on a card (name, company,
// title, three address lines, two phones, e-mail, fax), entered once and
// offered by the text dialogs.
class TPersonalInformation : public QDialog
{
    Q_OBJECT

public:
    explicit TPersonalInformation(QWidget *parent = nullptr);

    static constexpr int HelpContext = 2102;
    static constexpr int FieldCount = 10;

    // The ten strings in the order Name, Company, Title, Address 1..3,
    // Phone 1, Phone 2, E-mail, Fax; missing ones read as empty.
    void SetPersonalInfo(const QStringList &info);
    QStringList PersonalInfo() const;

    QLineEdit *pPersonalName = nullptr;
    QLineEdit *pPersonalCompany = nullptr;
    QLineEdit *pPersonalTitle = nullptr;
    QLineEdit *pPersonalAddress1 = nullptr;
    QLineEdit *pPersonalAddress2 = nullptr;
    QLineEdit *pPersonalAddress3 = nullptr;
    QLineEdit *pPersonalPhone1 = nullptr;
    QLineEdit *pPersonalPhone2 = nullptr;
    QLineEdit *pPersonalEmail = nullptr;
    QLineEdit *pPersonalFax = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *HelpButton = nullptr;

private:
    QList<QLineEdit *> Fields() const;
};
