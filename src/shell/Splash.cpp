#include "shell/Splash.h"

#include "shell/ToolIcons.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

TSplashform::TSplashform(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Splashform"));
    setWindowTitle(tr("About Tessaro"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);

    auto *icon = new QLabel(this);
    icon->setPixmap(SuperShapeToolIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);

    auto *name = new QLabel(QStringLiteral("Tessaro"), this);
    name->setObjectName(QStringLiteral("ProgramName"));
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);

    auto *version = new QLabel(tr("Version %1").arg(QStringLiteral(TESSARO_VERSION)), this);
    version->setObjectName(QStringLiteral("ProgramVersion"));
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);

    auto *blurb = new QLabel(tr("Design business cards and print them on sheets of card stock."),
                             this);
    blurb->setWordWrap(true);
    blurb->setAlignment(Qt::AlignCenter);
    layout->addWidget(blurb);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
