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
    // Phone ordering's address: its QR code goes on the picture, at the bottom right.
    void setPhoneAddress(const QString &url, const QString &problem = QString());
    QLabel *Image1 = nullptr;

    // The title picture, drawn for the given size; with the phone's QR code when url is given.
    static QPixmap titlePicture(QSize size, const QString &url = QString(), const QString &notice = QString());

private:
    QString m_url;
    QString m_notice;
    QSize m_screen;
    Clock &m_clock;
    std::function<void()> m_showMenu;
};
