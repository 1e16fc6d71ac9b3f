#pragma once

#include <QString>

#include <functional>
#include <optional>

class QLabel;

// What the guest has typed on the keypad in the current step, and the echo line that shows it
// or the answer to the last Enter. The menu and the in-song windows share these input rules.
struct KeypadInput
{
    explicit KeypadInput(QLabel &echo)
        : Label1(echo)
    {
    }

    QLabel &Label1;
    QString InputBuffer;
};

// Shows text in the echo line.
void setEcho(KeypadInput &input, const QString &text);
// Empties InputBuffer; the echo line shows answer, or nothing.
void clearInput(KeypadInput &input, const QString &answer = QString());
// A digit is appended to InputBuffer, "." removes its last character; either is echoed,
// followed by a line break when withLineBreak. Returns true when the key was one of them.
bool editInput(KeypadInput &input, int key, bool withLineBreak = false);
// The number InputBuffer holds, if it holds only digits and fits the integers used.
std::optional<qint64> inputNumber(const QString &input);

// The last page a list of the menus can be turned to.
constexpr int kLastListPage = 500;
// "-" goes back a page from page 2 on, "+" forward up to lastPage. True when page changed.
bool turnPage(int &page, int key, int lastPage = kLastListPage);

// One key of a paged list step: digits and "." edit the entry, Enter calls enter, "-" and "+"
// turn the page and call redraw. Returns whether the key did any of this.
bool pagedListKey(KeypadInput &input, int &page, int key, const std::function<void()> &enter,
                  const std::function<void()> &redraw);
