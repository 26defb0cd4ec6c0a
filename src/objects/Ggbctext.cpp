#include "objects/Ggbctext.h"

#include "document/Desktop.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

TGetBCLabelText::TGetBCLabelText(const QStringList &personalInfo, QWidget *mainWindow)
    : TGetLabelText(mainWindow, 334, 164, 124)
{
    setObjectName(QStringLiteral("GetBCLabelText"));
    const int left = Label1->x();
    Label2 = new QLabel(tr("or select personal information"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(left, 62, 321, 18);
    cbPersonalInfo = new QComboBox(this);
    cbPersonalInfo->setObjectName(QStringLiteral("cbPersonalInfo"));
    cbPersonalInfo->setEditable(false);
    cbPersonalInfo->setGeometry(left, 82, 204, 24);
    Label2->setBuddy(cbPersonalInfo);
    for (const QString &value : personalInfo)
        if (!value.isEmpty())
            cbPersonalInfo->addItem(value);
    cbPersonalInfo->setCurrentIndex(-1);
    cbPersonalInfo->setEnabled(cbPersonalInfo->count() > 0);
    connect(cbPersonalInfo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            eText->setText(cbPersonalInfo->itemText(index));
    });
    setTabOrder(eText, cbPersonalInfo);
    PlaceDialog(this, mainWindow);
}
