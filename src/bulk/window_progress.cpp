#include "bulk/window_progress.h"

#include "bulk/progress_strip.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {
constexpr qint64 kPaintEveryMs = 40;
}

WindowProgress::WindowProgress(QLabel &line, ProgressStrip &strip)
    : m_line(line)
    , m_strip(strip)
    , m_window(strip.window())
{
    for (QWidget *control : m_window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (control != &line && control != &strip && control->isEnabled()) {
            control->setEnabled(false);
            m_switchedOff.emplace_back(control);
        }
    }
    m_strip.prgProgress->setValue(0);
    m_strip.show();
    connect(m_strip.cmdStop, &QPushButton::clicked, this, [this] { m_stopped = true; });
    m_window->installEventFilter(this);
    m_sincePaint.start();
}

WindowProgress::~WindowProgress()
{
    m_window->removeEventFilter(this);
    m_strip.hide();
    for (const QPointer<QWidget> &control : m_switchedOff) {
        if (control)
            control->setEnabled(true);
    }
}

bool WindowProgress::step(int done, int total, const QString &line)
{
    if (m_sincePaint.elapsed() < kPaintEveryMs && done < total)
        return !m_stopped;
    m_sincePaint.restart();
    m_line.setText(line);
    m_strip.prgProgress->setMaximum(qMax(1, total));
    m_strip.prgProgress->setValue(done);
    QCoreApplication::processEvents();
    return !m_stopped;
}

bool WindowProgress::eventFilter(QObject *watched, QEvent *event)
{
    const bool closing = event->type() == QEvent::Close
        || (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape);
    if (watched != m_window || !closing)
        return QObject::eventFilter(watched, event);
    m_stopped = true;
    event->ignore();
    return true;
}
