#include "key_code.h"

#include <QKeyEvent>

int keyCodeOf(const QKeyEvent &event)
{
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter)
        return 13;
    const QString text = event.text();
    return text.isEmpty() ? 0 : int(text.at(0).unicode());
}
