#pragma once

#include <QImage>
#include <QWidget>

// The native black window the video plays in. A video sink either draws into its window
// directly (overlay) or hands decoded frames to showFrame(). Clicks and keys go on to the
// window that holds it, which reads them as it reads every other key.
class GstMediaVideoWidget : public QWidget
{
    Q_OBJECT

public:
    explicit GstMediaVideoWidget(QWidget *parent = nullptr);
    ~GstMediaVideoWidget() override;

    void showFrame(const QImage &frame);
    void clearFrame();
    void setOverlayActive(bool active);

signals:
    // The overlay sink must redraw (the window was uncovered or resized).
    void exposed();
    // The native window changed, so an overlay sink must be told the new one.
    void windowHandleChanged();
    // The native window is about to go; an overlay sink must stop drawing into it.
    void closing();

protected:
    QPaintEngine *paintEngine() const override;
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_frame;
    bool m_overlayActive = false;
};
