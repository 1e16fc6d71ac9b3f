#include "gst_media_video_widget.h"

#include <QEvent>
#include <QPainter>

GstMediaVideoWidget::GstMediaVideoWidget(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
}

GstMediaVideoWidget::~GstMediaVideoWidget()
{
    emit closing();
}

void GstMediaVideoWidget::showFrame(const QImage &frame)
{
    m_frame = frame;
    update();
}

void GstMediaVideoWidget::clearFrame()
{
    m_frame = QImage();
    update();
}

void GstMediaVideoWidget::setOverlayActive(bool active)
{
    m_overlayActive = active;
    // An overlay sink paints the window itself; Qt must not paint over it.
    setAttribute(Qt::WA_PaintOnScreen, active);
    setAttribute(Qt::WA_NoSystemBackground, active);
    setAutoFillBackground(!active);
}

QPaintEngine *GstMediaVideoWidget::paintEngine() const
{
    return m_overlayActive ? nullptr : QWidget::paintEngine();
}

bool GstMediaVideoWidget::event(QEvent *event)
{
    if (event->type() == QEvent::WinIdChange)
        emit windowHandleChanged();
    return QWidget::event(event);
}

void GstMediaVideoWidget::paintEvent(QPaintEvent *)
{
    if (m_overlayActive) {
        emit exposed();
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_frame.isNull())
        return;
    QSize size = m_frame.size().scaled(this->size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(rect().center());
    painter.drawImage(target, m_frame);
}
