#pragma once

#include <QDialog>

// The about window: the program's name and version.
class TSplashform : public QDialog
{
    Q_OBJECT

public:
    explicit TSplashform(QWidget *parent = nullptr);
};
