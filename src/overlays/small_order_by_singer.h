#pragma once

#include "menu/order_by_singer.h"
#include "overlays/keypad_window.h"

// The in-song order-by-singer window: the menu's ordering by singer beside the keypad, on a
// page of five singers or four songs. At either list step a catalogue number typed and Enter
// queues that song at once, and a position that gives nothing says so.
class SmallOrderBySinger : public KeypadWindow
{
    Q_OBJECT

public:
    SmallOrderBySinger(PlaybackSession &session, SharedState &state, QSize screen, QWidget *parent = nullptr);

    const QString &menuState() const { return m_menuState; }

protected:
    void keyPress(int key) override { m_flow.order_by_singer_do(key); }
    void activated() override;

private:
    QString m_menuState;
    OrderBySinger m_flow;
};
