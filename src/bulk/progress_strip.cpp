#include "bulk/progress_strip.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>

ProgressStrip::ProgressStrip(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("prgStrip"));
    prgProgress = new QProgressBar(this);
    prgProgress->setObjectName(QStringLiteral("prgProgress"));
    cmdStop = new QPushButton(QStringLiteral("停止"), this);
    cmdStop->setObjectName(QStringLiteral("cmdStop"));
    cmdStop->setAutoDefault(false);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(prgProgress, 4);
    row->addWidget(cmdStop, 1);
    hide();
}
