#include "surface/Cursors.h"

QCursor CursorFor(int id)
{
    switch (id) {
    case crSizeNESW:
        return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS:
        return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE:
        return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE:
        return QCursor(Qt::SizeHorCursor);
    case crHandPoint:
        return QCursor(Qt::PointingHandCursor);
    case crDrag:
        return QCursor(Qt::DragMoveCursor);
    case crHandGrab:
        return QCursor(Qt::ClosedHandCursor);
    default:
        return QCursor(Qt::ArrowCursor);
    }
}
