#pragma once

#include <QString>
#include <QTemporaryDir>

// A PostgreSQL cluster of its own for one test run: made with initdb in a temporary folder,
// listening on a free port of 127.0.0.1 only, run by an unprivileged user (created once when
// the tests run as root, as CI does), stopped and removed with the object. problem() says why
// there is none (no PostgreSQL installed, not allowed to switch user).
class PrivateServer
{
public:
    static constexpr const char *kUser = "venue";
    static constexpr const char *kPassword = "venue-secret";

    PrivateServer();
    ~PrivateServer();
    PrivateServer(const PrivateServer &) = delete;
    PrivateServer &operator=(const PrivateServer &) = delete;

    bool running() const { return m_problem.isEmpty(); }
    const QString &problem() const { return m_problem; }
    int port() const { return m_port; }

    // A new empty database on the cluster; its libpq URL.
    QString newDatabase();
    QString url(const QString &database, const QString &password = QString::fromLatin1(kPassword)) const;
    // Runs SQL on a database through psql; its output, one row a line.
    QString sql(const QString &database, const QString &statements) const;

    // The database as pg_dump writes it (plain SQL).
    QByteArray dump(const QString &database) const;
    // Drops the database (its connections too) and creates it again, empty, then puts dump in it
    // when one is given: what an owner does to put a backup back.
    void recreate(const QString &database, const QByteArray &dump = {}) const;
    // Sends signal to every process of the server (SIGSTOP: a hung server, SIGCONT: back).
    void signalAll(int signal) const;

    // The server's processes: the postmaster first, then its children (one per connection).
    QList<int> processes() const;
    // Kills the server and all its processes at once (kill -9), as a crash would.
    void crash();
    // Starts it again on the same port and files; false when it does not come up.
    bool start();

private:
    QString run(const QStringList &command, bool *ok = nullptr) const;
    // A PostgreSQL client program (psql, pg_dump) run against the cluster; its output.
    QByteArray client(const QString &tool, const QStringList &arguments, const QByteArray &input = {}) const;

    QTemporaryDir m_dir;
    QString m_bin;
    QString m_runAs; // empty: the current user
    int m_port = 0;
    int m_databases = 0;
    QString m_problem;
};
