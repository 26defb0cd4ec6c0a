#include "shell/Application.h"

#include "document/StreamIO.h"
#include "shell/CardKinds.h"
#include "shell/WidgetDesktop.h"

#include <QMessageBox>

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    InstallDesktop(std::make_unique<TWidgetDesktop>());
    InstallHelpKey();
    // The kinds a design may hold and the tools that place them.
    RegisterCardObjectKinds();
}

TApplication::~TApplication()
{
    // No message box outlives the application: back to the console.
    InstallDesktop(nullptr);
}

void TApplication::ShowError(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tessaro"), message, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const EStreamError &e) {
        ShowError(e.Message());
    } catch (const std::exception &e) {
        ShowError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}
