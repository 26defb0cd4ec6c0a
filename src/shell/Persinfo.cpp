#include "shell/Persinfo.h"

#include "document/Desktop.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

TPersonalInformation::TPersonalInformation(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PersonalInformation"));
    setWindowTitle(tr("Personal Information"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    SetHelpTopic(this, HelpContext);

    struct Row
    {
        QLineEdit **field;
        const char *name;
        const char *caption;
        const char *hint;
    };
    const Row rows[] = {
        {&pPersonalName, "pPersonalName", "Name", "Your name as it goes on the card."},
        {&pPersonalCompany, "pPersonalCompany", "Company", "The company you work for."},
        {&pPersonalTitle, "pPersonalTitle", "Title", "Your position, e.g. Sales Manager."},
        {&pPersonalAddress1, "pPersonalAddress1", "Address 1", "The first line of the address."},
        {&pPersonalAddress2, "pPersonalAddress2", "Address 2", "The second line of the address."},
        {&pPersonalAddress3, "pPersonalAddress3", "Address 3", "The third line of the address."},
        {&pPersonalPhone1, "pPersonalPhone1", "Phone 1", "Your main telephone number."},
        {&pPersonalPhone2, "pPersonalPhone2", "Phone 2", "A second telephone number."},
        {&pPersonalEmail, "pPersonalEmail", "E-mail", "Your e-mail address."},
        {&pPersonalFax, "pPersonalFax", "Fax", "Your fax number."},
    };
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (const Row &row : rows) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(row.name));
        // The preferences file keeps any length; so does the field.
        edit->setMaxLength(std::numeric_limits<int>::max());
        edit->setMinimumWidth(280);
        edit->setWhatsThis(tr(row.hint) + tr(" The text dialogs offer it for new text."));
        *row.field = edit;
        form->addRow(tr(row.caption), edit);
    }

    OKButton = new QPushButton(tr("Ok"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    HelpButton = new QPushButton(tr("Help"), this);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setAutoDefault(false);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpContext); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(HelpButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    pPersonalName->setFocus();
}

QList<QLineEdit *> TPersonalInformation::Fields() const
{
    return {pPersonalName,     pPersonalCompany,  pPersonalTitle,  pPersonalAddress1,
            pPersonalAddress2, pPersonalAddress3, pPersonalPhone1, pPersonalPhone2,
            pPersonalEmail,    pPersonalFax};
}

void TPersonalInformation::SetPersonalInfo(const QStringList &info)
{
    const QList<QLineEdit *> fields = Fields();
    for (int i = 0; i < fields.size(); ++i)
        fields[i]->setText(info.value(i));
}

QStringList TPersonalInformation::PersonalInfo() const
{
    QStringList info;
    for (const QLineEdit *field : Fields())
        info.append(field->text());
    return info;
}
