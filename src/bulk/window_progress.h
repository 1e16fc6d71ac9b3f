#pragma once

#include "bulk/progress.h"

#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

// Progress shown in a window: the progress line in a label, a progress bar, and a stop button
// that ends the scan or run after the current file. Between steps the window's events are
// handled a few dozen times a second, so it stays responsive through thousands of files.
class WindowProgress : public Progress
{
public:
    WindowProgress(QLabel &line, QProgressBar &bar, QPushButton &stop);
    ~WindowProgress() override;
    WindowProgress(const WindowProgress &) = delete;
    WindowProgress &operator=(const WindowProgress &) = delete;

    bool step(int done, int total, const QString &line) override;
    bool stopped() const { return m_stopped; }

private:
    QLabel &m_line;
    QProgressBar &m_bar;
    QPushButton &m_stop;
    QElapsedTimer m_sincePaint;
    bool m_stopped = false;
};
