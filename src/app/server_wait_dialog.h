#pragma once

#include "venue/server_wait.h"

#include <QSize>

class QWidget;

// The window thread's wait for a change on the venue's catalogue server: after a moment
// without an answer a small window says "寫入曲目伺服器中…" with a cancel button, over the
// window that asked; the windows keep answering (the phones' orders too) all along.
class ServerWaitDialog : public ServerWait
{
public:
    // A change that answers within this shows nothing.
    static constexpr int kQuietMs = 300;

    explicit ServerWaitDialog(QSize screen) : m_screen(screen) {}

    void waitUntil(const std::function<bool()> &finished, const std::function<void()> &cancel) override;

private:
    QSize m_screen;
};
