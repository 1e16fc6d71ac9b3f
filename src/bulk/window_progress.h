#pragma once

#include "bulk/progress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <vector>

class ProgressStrip;
class QLabel;
class QWidget;

// Progress shown in a window while a scan or run goes on: the progress line in a label, a
// progress bar, and a stop button that ends the work after the current file. The window's
// other controls are switched off meanwhile, and closing the window (close box or Esc) stops
// the work instead. Between steps the window's events are handled a few dozen times a second,
// so it stays responsive through thousands of files.
class WindowProgress : public QObject, public Progress
{
public:
    WindowProgress(QLabel &line, ProgressStrip &strip);
    ~WindowProgress() override;

    bool step(int done, int total, const QString &line) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel &m_line;
    ProgressStrip &m_strip;
    QWidget *m_window;
    std::vector<QPointer<QWidget>> m_switchedOff;
    QElapsedTimer m_sincePaint;
    bool m_stopped = false;
};
