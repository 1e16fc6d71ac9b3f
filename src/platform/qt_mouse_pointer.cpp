#include "platform/qt_mouse_pointer.h"

#include <QCursor>

void QtMousePointer::moveTo(int x, int y)
{
    QCursor::setPos(x, y);
}
