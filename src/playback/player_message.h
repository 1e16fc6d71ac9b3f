#pragma once

#include <QWidget>

class QLabel;

// The message strip at the top right of the player: what plays, and what went wrong. It
// stays inside the screen, wraps long texts at word boundaries and grows a few lines
// downwards; a text longer than that is shortened after a whole word, with "…".
class PlayerMessage : public QWidget
{
    Q_OBJECT

public:
    explicit PlayerMessage(QSize screen, QWidget *parent = nullptr);
    void setText(const QString &text);
    QString text() const;

    QLabel *Label1 = nullptr;

private:
    QString fitted(const QString &text) const;
    int textHeight(const QString &text) const;
};
