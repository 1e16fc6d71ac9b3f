#include "bulk/window_progress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {
constexpr qint64 kPaintEveryMs = 40;
}

WindowProgress::WindowProgress(QLabel &line, QProgressBar &bar, QPushButton &stop)
    : m_line(line)
    , m_bar(bar)
    , m_stop(stop)
{
    m_bar.setValue(0);
    m_bar.show();
    m_stop.show();
    QObject::connect(&m_stop, &QPushButton::clicked, &m_stop, [this] { m_stopped = true; });
    m_sincePaint.start();
}

WindowProgress::~WindowProgress()
{
    QObject::disconnect(&m_stop, &QPushButton::clicked, &m_stop, nullptr);
    m_bar.hide();
    m_stop.hide();
}

bool WindowProgress::step(int done, int total, const QString &line)
{
    if (m_sincePaint.elapsed() < kPaintEveryMs && done < total)
        return !m_stopped;
    m_sincePaint.restart();
    m_line.setText(line);
    m_bar.setMaximum(qMax(1, total));
    m_bar.setValue(done);
    QCoreApplication::processEvents();
    return !m_stopped;
}
