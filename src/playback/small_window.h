#pragma once

#include <QDialog>

#include <functional>

class QPushButton;
class QTimer;
struct SharedState;

// The small windows over the video. One shows at a time: a window that hands over to another
// closes with the one that comes next as its result, and the player window shows that one.
enum class NextWindow {
    None, // back to the video
    ControlBar,
    Mixer,
    Ordering,      // the in-song ordering window
    Insertion,     // the in-song insertion window
    OrderBySinger, // the in-song order-by-singer window
};

// The small windows over the playing video (control bar, mixer panel, ordering windows): they stand at the
// configured small-window position, keep the keyboard focus with their own 100 ms timer,
// take a mouse press on a button as its click, and send every key to one handler.
class SmallWindow : public QDialog
{
    Q_OBJECT

public:
    SmallWindow(SharedState &state, QSize screen, QWidget *parent = nullptr);

    // The window's key handler; every key of the window and its buttons arrives here.
    virtual void handleKey(int &KeyAscii) = 0;

    // Shows the window modally; the window that comes next when it closes.
    NextWindow run();

    QTimer *focusTimer() const { return m_focusTimer; }

protected:
    // Closes the window; next is the result of run().
    void closeTo(NextWindow next);
    // Between closeTo() and the window's next showing.
    bool isClosing() const { return m_closing; }
    QPushButton *addButton(const QString &name, const QString &caption, QRect geometry, std::function<void()> click);
    // Scales the window and its controls so the window is widthShare of the screen wide,
    // then places it at the small-window position.
    void fitToScreen(double widthShare);
    // Moves the window to the configured small-window position (SmallScreenLeft, SmallScreenTop).
    void placeAtSmallScreenPosition();
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The focus timer runs while the window is shown.
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    // Whether the focus timer should pull the focus to this window now.
    virtual bool keepsFocus() const { return isVisible(); }

    SharedState &m_state;
    QSize m_screen;

private:
    QTimer *m_focusTimer;
    bool m_closing = false;
};
