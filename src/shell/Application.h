#pragma once

#include <QApplication>

// The program's application object. It installs the desktop of the
// program's windows (message boxes, help, F1) for its lifetime. An error that
// a command raises and nothing handles ends that command, not the program: it
// is shown in a message box, as the general error display of a desktop
// program should.
class TApplication : public QApplication
{
    Q_OBJECT

public:
    TApplication(int &argc, char **argv);
    ~TApplication() override;
    bool notify(QObject *receiver, QEvent *event) override;

    // Shows an error message box captioned with the program's name.
    static void ShowError(const QString &message);
};
