#pragma once

#include "core/play_queue.h"

#include <QSize>
#include <QWidget>

#include <memory>

class QLabel;

// The "next up" card over the background picture in the pause between songs: the title, the
// singer, and who ordered it from a phone (the keypad's orders show no name). It follows the
// queue while shown, so a cut-in or a deletion in the pause shows the song that will play.
class NextUpCard : public QWidget
{
    Q_OBJECT

public:
    NextUpCard(PlayQueue &queue, QSize screen, QWidget *parent = nullptr);
    ~NextUpCard() override;

    // Shows the head of the queue until hidden; nothing when the queue is empty.
    void showNext();
    QString text() const;

    QLabel *Label1 = nullptr; // "下一首"
    QLabel *Label2 = nullptr; // the title
    QLabel *Label3 = nullptr; // the singer, and who ordered it

private:
    void fill();

    PlayQueue &m_queue;
    std::unique_ptr<PlayQueue::Subscription> m_queueChanges;
};
