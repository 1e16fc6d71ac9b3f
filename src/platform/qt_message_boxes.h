#pragma once

#include "platform/message_boxes.h"

class QWidget;

// Message boxes through QMessageBox, with an empty title, in the font of the active window.
class QtMessageBoxes : public MessageBoxes
{
public:
    void ok(const QString &text) override;
    bool yesNo(const QString &text) override;
    Answer yesNoCancel(const QString &text) override;
};
