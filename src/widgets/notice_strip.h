#pragma once

#include <QElapsedTimer>
#include <QSize>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <deque>

class QLabel;

// A short notice at the bottom of the screen over whatever window is up (the menu, a song
// playing): a few seconds, never taking the focus from the keypad nor a click. Notices that
// come close together stand one under the other, the newest last, at most kMaxLines.
class NoticeStrip : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kShowMs = 4000;
    static constexpr int kMaxLines = 3;

    explicit NoticeStrip(QSize screen, QWidget *parent = nullptr);

    void notify(const QString &text);
    // The notices shown now, oldest first.
    QStringList lines() const;

private:
    void showCurrent();

    struct Notice
    {
        QString text;
        qint64 until;
    };
    QSize m_screen;
    QLabel *m_label;
    QTimer m_expiry;
    QElapsedTimer m_clock;
    std::deque<Notice> m_notices;
};
