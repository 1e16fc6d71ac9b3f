#pragma once

#include "platform/message_boxes.h"

#include <QList>
#include <QStringList>

#include <functional>

// Records every text shown and answers the questions in the order the test queued them
// (Yes when nothing is queued). onShow, when set, runs while a box is up.
class FakeMessageBoxes : public MessageBoxes
{
public:
    QStringList shown;
    QList<Answer> answers;
    std::function<void(const QString &)> onShow;

    void ok(const QString &text) override { show(text); }
    bool yesNo(const QString &text) override { return next(text) == Answer::Yes; }
    Answer yesNoCancel(const QString &text) override { return next(text); }

private:
    void show(const QString &text)
    {
        shown.append(text);
        if (onShow)
            onShow(text);
    }
    Answer next(const QString &text)
    {
        show(text);
        return answers.isEmpty() ? Answer::Yes : answers.takeFirst();
    }
};
