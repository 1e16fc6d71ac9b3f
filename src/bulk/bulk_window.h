#pragma once

#include "bulk/window_progress.h"
#include "manage/manager_dialog.h"

#include <memory>

class ProgressStrip;

// A window that scans or registers many files: a line saying how far the work has come, the
// progress strip with its stop button, and the progress they show while the work goes on.
class BulkWindow : public ManagerDialog
{
    Q_OBJECT

public:
    using ManagerDialog::ManagerDialog;

    ProgressStrip *strip = nullptr; // progress bar and stop button

protected:
    // The progress line, in blue, and the strip; each window places them on its own grid.
    QLabel *addProgressLine(const QString &name, QRect geometry);
    void addProgressStrip(QRect geometry);
    // Progress shown in the line and strip until it is destroyed; the window's other controls
    // are switched off meanwhile.
    std::unique_ptr<WindowProgress> showProgress();

private:
    QLabel *m_line = nullptr;
};
