#pragma once

#include "platform/message_boxes.h"

class QWidget;

// Message boxes through QMessageBox, with an empty title.
class QtMessageBoxes : public MessageBoxes
{
public:
    void ok(const QString &text) override;
    bool yesNo(const QString &text) override;
    Answer yesNoCancel(const QString &text) override;
};
