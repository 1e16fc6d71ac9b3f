#include "core/key_translation.h"

#include "core/leading_number.h"
#include "core/settings.h"

#include <utility>

int translateKey(int code, const Settings &s)
{
    const std::pair<const QString *, int> operators[] = {
        {&s.keyDevide, KeyCode::Divide}, {&s.keyMultiplication, KeyCode::Multiply},
        {&s.keyMinus, KeyCode::Minus},   {&s.keyPlus, KeyCode::Plus},
        {&s.keyEnter, KeyCode::Enter},   {&s.keyDot, KeyCode::Dot},
    };
    int key = 0;
    for (const auto &[setting, canonical] : operators) {
        if (leadingInteger(*setting) == code) {
            key = canonical;
            break;
        }
    }
    for (int d = 0; d <= 9; ++d) {
        if (leadingInteger(s.keyNum[size_t(d)]) == code)
            key = KeyCode::Digit0 + d;
    }
    return key;
}

bool isDigitKey(int code)
{
    return code >= KeyCode::Digit0 && code <= KeyCode::Digit9;
}

bool isKeypadKey(int code)
{
    return code >= KeyCode::Multiply && code <= KeyCode::Digit9;
}
