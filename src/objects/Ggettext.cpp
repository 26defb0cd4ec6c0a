#include "objects/Ggettext.h"

#include "document/Desktop.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

TGetLabelText::TGetLabelText(QWidget *mainWindow)
    : TGetLabelText(mainWindow, 356, 133, 88)
{
    setObjectName(QStringLiteral("GetLabelText"));
    PlaceDialog(this, mainWindow);
}

TGetLabelText::TGetLabelText(QWidget *mainWindow, int width, int height, int buttonTop)
    : QDialog(mainWindow)
{
    setWindowTitle(tr("Text"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setFixedSize(width, height);

    const int left = (width - 321) / 2;
    Label1 = new QLabel(tr("Enter Text"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(left, 10, 321, 18);
    eText = new QLineEdit(this);
    eText->setObjectName(QStringLiteral("eText"));
    eText->setGeometry(left, 30, 321, 24);
    // A QLineEdit keeps 32767 characters unless told otherwise; the text has no limit.
    eText->setMaxLength(std::numeric_limits<int>::max());
    Label1->setBuddy(eText);

    OKButton = new QPushButton(tr("Ok"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(left, buttonTop, 80, 28);
    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(left + 90, buttonTop, 80, 28);
    HelpButton = new QPushButton(tr("Help"), this);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setAutoDefault(false);
    HelpButton->setGeometry(left + 180, buttonTop, 80, 28);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic); });
    eText->setFocus();
}

QString TGetLabelText::Text() const
{
    return eText->text();
}

void TGetLabelText::SetText(const QString &text)
{
    eText->setText(text);
    eText->selectAll();
}
