#pragma once

#include <QImage>
#include <QWidget>

// The native black window the video plays in. A video sink either draws into its window
// directly (overlay) or hands decoded frames to showFrame(). Clicks and keys become signals.
class GstMediaVideoWidget : public QWidget
{
    Q_OBJECT

public:
    explicit GstMediaVideoWidget(QWidget *parent = nullptr);
    ~GstMediaVideoWidget() override;

    // Key code reported for a key press: the first character of its text, letters upper-cased;
    // 0 for keys that type nothing.
    static int keyCode(const QString &text);

    void showFrame(const QImage &frame);
    void clearFrame();
    void setOverlayActive(bool active);

signals:
    void clicked();
    void keyPressed(int keyCode);
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
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QImage m_frame;
    bool m_overlayActive = false;
};
