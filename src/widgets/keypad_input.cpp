#include "widgets/keypad_input.h"

#include "core/key_translation.h"

#include <QLabel>

void setEcho(KeypadInput &input, const QString &text)
{
    input.Label1.setText(text);
}

void clearInput(KeypadInput &input, const QString &answer)
{
    input.InputBuffer.clear();
    setEcho(input, answer);
}

bool editInput(KeypadInput &input, int key, bool withLineBreak)
{
    if (isDigitKey(key)) {
        input.InputBuffer += QChar(key);
    } else if (key == KeyCode::Dot && !input.InputBuffer.isEmpty()) {
        input.InputBuffer.chop(1);
    } else {
        return key == KeyCode::Dot;
    }
    setEcho(input, withLineBreak ? input.InputBuffer + QStringLiteral("\n\r") : input.InputBuffer);
    return true;
}

std::optional<qint64> inputNumber(const QString &input)
{
    if (input.isEmpty() || input.size() > 15)
        return std::nullopt;
    for (QChar c : input) {
        if (!c.isDigit())
            return std::nullopt;
    }
    return input.toLongLong();
}

bool turnPage(int &page, int key, int lastPage)
{
    if (key == KeyCode::Minus && page >= 2) {
        --page;
        return true;
    }
    if (key == KeyCode::Plus && page < lastPage) {
        ++page;
        return true;
    }
    return false;
}

bool pagedListKey(KeypadInput &input, int &page, int key, const std::function<void()> &enter,
                  const std::function<void()> &redraw)
{
    if (editInput(input, key))
        return true;
    if (key == KeyCode::Enter) {
        enter();
        return true;
    }
    if (!turnPage(page, key))
        return false;
    redraw();
    return true;
}
