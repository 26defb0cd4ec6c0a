#include "surface/ScreenInfo.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

int ScreenPixelsPerInch()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96;
    const int ppi = static_cast<int>(std::lround(screen->logicalDotsPerInch()));
    return ppi > 0 ? ppi : 96;
}
