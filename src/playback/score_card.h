#pragma once

#include <QSize>
#include <QWidget>

class QLabel;

// The score of the song just sung, large over the background picture in the pause after it:
// "得分" and the number.
class ScoreCard : public QWidget
{
    Q_OBJECT

public:
    explicit ScoreCard(QSize screen, QWidget *parent = nullptr);

    void showScore(int score);
    QString text() const;

    QLabel *Label1 = nullptr; // "得分"
    QLabel *Label2 = nullptr; // the number
};
