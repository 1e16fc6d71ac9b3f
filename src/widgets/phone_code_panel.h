#pragma once

#include <QString>
#include <QWidget>

class QPainter;

// Where guests find phone ordering: the QR code of the address with "手機點歌" and the address
// in text beside it; while there is no address, a line saying why (no network yet, or the
// server could not start).
class PhoneCodePanel : public QWidget
{
    Q_OBJECT

public:
    static inline const QString kCaption = QStringLiteral("手機點歌");
    static inline const QString kNoNetwork = QStringLiteral("手機點歌: 等待網路連線");

    explicit PhoneCodePanel(QWidget *parent = nullptr);

    // The address phones open (empty while there is none), and why the server does not run.
    void setAddress(const QString &url, const QString &problem = QString());
    QString url() const { return m_url; }
    // What the panel says in text, as a guest reads it.
    QString text() const;

    // Paints the panel for url (or the notice when url is empty) into area, for the start picture too.
    static void paint(QPainter &painter, const QRect &area, const QString &url, const QString &notice);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_url;
    QString m_problem;
};
