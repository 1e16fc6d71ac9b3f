#pragma once

#include <QSize>
#include <QWidget>

#include <functional>

class Clock;
class QLabel;

// The start window: the program's title picture full screen for four seconds, then the menu.
class StartForm : public QWidget
{
    Q_OBJECT

public:
    StartForm(QSize screen, Clock &clock, std::function<void()> showMenu, QWidget *parent = nullptr);

    // Shows the picture, waits, hides it and hands over to the menu.
    void run();
    QLabel *Image1 = nullptr;

    // The title picture, drawn for the given size.
    static QPixmap titlePicture(QSize size);

private:
    QSize m_screen;
    Clock &m_clock;
    std::function<void()> m_showMenu;
};
