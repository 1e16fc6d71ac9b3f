#include "widgets/key_code.h"

#include <QKeyEvent>

std::optional<int> keyCodeOf(const QEvent &event)
{
    if (event.type() != QEvent::KeyPress)
        return std::nullopt;
    const auto &key = static_cast<const QKeyEvent &>(event);
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
        return 13;
    const QString text = key.text();
    if (text.isEmpty())
        return std::nullopt;
    return int(text.at(0).unicode());
}
