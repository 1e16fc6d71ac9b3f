#pragma once

#include <QWidget>

class QLabel;

// The message strip at the top right of the player: what plays, and what went wrong.
class PlayerMessage : public QWidget
{
    Q_OBJECT

public:
    explicit PlayerMessage(QSize screen, QWidget *parent = nullptr);
    void setText(const QString &text);
    QString text() const;

    QLabel *Label1 = nullptr;
};
