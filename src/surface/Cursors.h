#pragma once

#include <QCursor>

// Cursor numbers as the surface and the handles name them.
enum TCursorId : int {
    crDefault = 0,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crHandPoint = -10,
    crDrag = -12,
    crHandGrab = 6,
};

QCursor CursorFor(int id);
