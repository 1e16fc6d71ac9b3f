#pragma once

#include <QWidget>

class QProgressBar;
class QPushButton;

// The progress bar and stop button of a window that scans or registers many files; hidden
// while nothing runs. Its parts follow its size, so scaling the strip scales them.
class ProgressStrip : public QWidget
{
    Q_OBJECT

public:
    explicit ProgressStrip(QWidget *parent);

    QProgressBar *prgProgress = nullptr;
    QPushButton *cmdStop = nullptr;
};
