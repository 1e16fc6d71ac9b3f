#include "bulk/bulk_window.h"

#include "bulk/progress_strip.h"

#include <QLabel>

QLabel *BulkWindow::addProgressLine(const QString &name, QRect geometry)
{
    m_line = addLabel(this, name, QString(), geometry);
    m_line->setStyleSheet(QStringLiteral("color: #0000a0;"));
    return m_line;
}

void BulkWindow::addProgressStrip(QRect geometry)
{
    strip = new ProgressStrip(this);
    strip->setGeometry(geometry);
    registerControl(strip);
}

std::unique_ptr<WindowProgress> BulkWindow::showProgress()
{
    return std::make_unique<WindowProgress>(*m_line, *strip);
}
