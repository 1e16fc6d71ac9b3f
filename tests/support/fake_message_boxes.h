#pragma once

#include "platform/message_boxes.h"

#include <QList>
#include <QStringList>

// Records every text shown and answers the questions in the order the test queued them
// (Yes when nothing is queued).
class FakeMessageBoxes : public MessageBoxes
{
public:
    QStringList shown;
    QList<Answer> answers;

    void ok(const QString &text) override { shown.append(text); }
    bool yesNo(const QString &text) override { return next(text) == Answer::Yes; }
    Answer yesNoCancel(const QString &text) override { return next(text); }

private:
    Answer next(const QString &text)
    {
        shown.append(text);
        return answers.isEmpty() ? Answer::Yes : answers.takeFirst();
    }
};
