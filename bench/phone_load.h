#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

// Simulated phones for the phone server's benchmark, on a thread of their own: each keeps the
// live queue open, searches as a guest types (one, two, three characters), and orders a song.
// Plain sockets speaking HTTP/1.1 as a browser would, one connection for requests and one for
// the live queue per phone, so no client-side pool makes a phone wait for another; each phone
// from a loopback address of its own, as each phone in a room has its own.
class PhoneLoad : public QObject
{
    Q_OBJECT

public:
    struct Result
    {
        std::vector<double> searchMs;
        QSet<qint64> ordered;  // the ids answered "ok"
        int refused = 0;       // orders not answered "ok"
        int sawOwnOrder = 0;   // phones whose live queue showed their own song
        qint64 pageBytes = 0;  // the page's first load: index.html, app.js, style.css
    };

    // base: "http://127.0.0.1:port/token/"; numbers: songs that exist.
    PhoneLoad(QString base, QStringList numbers, int phones, QString searchCharacters);
    // Runs the phones to the end; call on the load's thread.
    void run();
    Result result() const { return m_result; }

signals:
    void finished();

private:
    QString m_base;
    QStringList m_numbers;
    int m_phones;
    QString m_searchCharacters;
    Result m_result;
};
