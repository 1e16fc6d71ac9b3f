#pragma once

#include "playback/small_window.h"
#include "widgets/keypad_input.h"

#include <array>

class DrawingSurface;
class PlaybackSession;
class QLabel;
class QPushButton;

// What sets the three in-song ordering windows apart in their keypad half.
struct KeypadLayout
{
    double widthShare;      // keypad width as a share of the screen's width
    int labelFontPer640;    // Label1 and Label_3: point size per 640 pixels of screen width
    int keyFontPer640;      // the keys: point size per 640 pixels of screen width
    QString minusCaption;   // number_de
    QString plusCaption;    // number_in
    double minusFontShare;  // number_de's share of the key font size
    QString hint;           // Label_3
    bool withList;          // Picture1 shows a list right of the keypad, the window three times as wide
};

// The in-song ordering windows over the playing video: the echo line, the keypad grid of a PC
// numeric keypad, the hint, and Picture1, which holds the keyboard focus and, in the windows
// with a list, shows it. Every key, typed or clicked, goes the same way: translated by the
// settings, offered to the session's hot keys, then to the window's own flow.
class KeypadWindow : public SmallWindow
{
    Q_OBJECT

public:
    KeypadWindow(PlaybackSession &session, SharedState &state, QSize screen, const KeypadLayout &layout,
                 QWidget *parent = nullptr);

    // The key-press event of Picture1: the one entry point of keys.
    void handleKey(int &KeyAscii) override;
    const QString &inputBuffer() const { return m_input.InputBuffer; }

    DrawingSurface *const Picture1;
    QLabel *const Label1;
    QLabel *Label_3 = nullptr;
    std::array<QPushButton *, 10> number_key{};
    QPushButton *number_enter = nullptr;
    QPushButton *number_dot = nullptr;
    QPushButton *number_in = nullptr;
    QPushButton *number_de = nullptr;
    QPushButton *number_mul = nullptr;
    QPushButton *number_div = nullptr;

protected:
    // The window's own flow, with a translated key the hot keys left alone.
    virtual void keyPress(int key) = 0;
    // Each time the window is shown: it starts afresh, as if newly loaded.
    virtual void activated() = 0;

    // Closes the window; the control bar comes back.
    void leave();

    void showEvent(QShowEvent *event) override;

    PlaybackSession &m_session;
    KeypadInput m_input;

private:
    void layOutKeypad(const KeypadLayout &layout);
    // The keys in the band between the two labels.
    void addKeys(const KeypadLayout &layout, QRect band);
    QPushButton *addKey(const QString &name, const QString &caption, int code, QRect cell);
    void fitEchoFont();

    int m_echoPixelSize = 0;
};
