#pragma once

#include <QString>

// Plain message boxes without a title, as manager mode uses them.
class MessageBoxes
{
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~MessageBoxes() = default;
    virtual void ok(const QString &text) = 0;
    virtual bool yesNo(const QString &text) = 0;
    virtual Answer yesNoCancel(const QString &text) = 0;
};
