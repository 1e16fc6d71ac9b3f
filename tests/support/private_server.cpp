#include "support/private_server.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString kOsUser = QStringLiteral("karaoke-pgtest");

QString serverBin()
{
    const QStringList found = QDir(QStringLiteral("/usr/lib/postgresql"))
                                  .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString &version : found) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(version);
        if (QFile::exists(bin + QStringLiteral("/initdb")))
            return bin;
    }
    return {};
}

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), length) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool succeeds(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The tests run as root in CI, and PostgreSQL refuses to: the cluster belongs to a user of its own.
bool haveOsUser()
{
    return succeeds(QStringLiteral("id"), {kOsUser})
        || succeeds(QStringLiteral("useradd"), {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
                                                QStringLiteral("--shell"), QStringLiteral("/usr/sbin/nologin"),
                                                kOsUser});
}

} // namespace

PrivateServer::PrivateServer()
    : m_dir(QDir::tempPath() + QStringLiteral("/karaoke-pg-XXXXXX"))
    , m_bin(serverBin())
    , m_port(freePort())
{
    if (m_bin.isEmpty()) {
        m_problem = QStringLiteral("PostgreSQL is not installed (scripts/install-deps.sh installs it)");
        return;
    }
    if (::geteuid() == 0) {
        if (!haveOsUser() || !succeeds(QStringLiteral("chown"), {kOsUser, m_dir.path()})) {
            m_problem = QStringLiteral("cannot make the unprivileged user %1 for the test server").arg(kOsUser);
            return;
        }
        m_runAs = kOsUser;
    }
    QFile password(m_dir.filePath(QStringLiteral("password")));
    if (!password.open(QIODevice::WriteOnly) || password.write(kPassword) < 0) {
        m_problem = QStringLiteral("cannot write in %1").arg(m_dir.path());
        return;
    }
    password.close();
    password.setPermissions(QFile::ReadOwner | QFile::ReadOther);
    bool ok = false;
    const QString out = run({m_bin + QStringLiteral("/initdb"), QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")),
                             QStringLiteral("-U"), QString::fromLatin1(kUser), QStringLiteral("--pwfile"), password.fileName(),
                             QStringLiteral("-A"), QStringLiteral("scram-sha-256"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                             QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync")},
                            &ok);
    if (!ok) {
        m_problem = QStringLiteral("initdb failed: %1").arg(out);
        return;
    }
    if (!start())
        m_problem = QStringLiteral("the test server did not start: %1").arg(m_dir.filePath(QStringLiteral("log")));
}

PrivateServer::~PrivateServer()
{
    if (m_bin.isEmpty() || !QFile::exists(m_dir.filePath(QStringLiteral("data/postmaster.pid"))))
        return;
    run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")),
         QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
}

QString PrivateServer::run(const QStringList &command, bool *ok) const
{
    QStringList arguments = command;
    QString program = arguments.takeFirst();
    if (!m_runAs.isEmpty()) {
        arguments = QStringList{QStringLiteral("-u"), m_runAs, QStringLiteral("--"), program} + arguments;
        program = QStringLiteral("runuser");
    }
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromUtf8(process.readAll());
}

bool PrivateServer::start()
{
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off "
                                           "-c max_connections=200")
                                .arg(m_port)
                                .arg(m_dir.path());
    bool ok = false;
    run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")),
         QStringLiteral("-o"), options, QStringLiteral("-l"), m_dir.filePath(QStringLiteral("log")), QStringLiteral("-w"),
         QStringLiteral("start")},
        &ok);
    return ok;
}

QList<int> PrivateServer::processes() const
{
    QFile pidFile(m_dir.filePath(QStringLiteral("data/postmaster.pid")));
    if (!pidFile.open(QIODevice::ReadOnly))
        return {};
    const int postmaster = pidFile.readLine().trimmed().toInt();
    QList<int> found{postmaster};
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the parent is the second field after the name.
        const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
        if (fields.size() > 1 && fields[1].toInt() == postmaster)
            found.append(entry.toInt());
    }
    return found;
}

void PrivateServer::crash()
{
    const QList<int> all = processes();
    for (const int pid : all)
        ::kill(pid_t(pid), SIGKILL);
    // The next start finds the old pid file of a dead server and goes on.
    for (int i = 0; i < 100 && !all.isEmpty() && ::kill(pid_t(all.first()), 0) == 0; ++i)
        ::usleep(20000);
}

QString PrivateServer::newDatabase()
{
    const QString name = QStringLiteral("venue%1").arg(++m_databases);
    sql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(name));
    return name;
}

QString PrivateServer::url(const QString &database, const QString &password) const
{
    return QStringLiteral("postgresql://%1:%2@127.0.0.1:%3/%4").arg(QString::fromLatin1(kUser), password).arg(m_port).arg(database);
}

QByteArray PrivateServer::client(const QString &tool, const QStringList &arguments, const QByteArray &input) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGPASSWORD"), QString::fromLatin1(kPassword));
    process.setProcessEnvironment(environment);
    process.start(tool, QStringList{QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                    QString::number(m_port), QStringLiteral("-U"), QString::fromLatin1(kUser)}
                            + arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
}

QString PrivateServer::sql(const QString &database, const QString &statements) const
{
    return QString::fromUtf8(client(QStringLiteral("psql"),
                                    {QStringLiteral("-d"), database, QStringLiteral("-XAtq"), QStringLiteral("-v"),
                                     QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"), statements}))
        .trimmed();
}

QByteArray PrivateServer::dump(const QString &database) const
{
    return client(QStringLiteral("pg_dump"), {QStringLiteral("-d"), database});
}

void PrivateServer::recreate(const QString &database, const QByteArray &dump) const
{
    sql(QStringLiteral("postgres"), QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(database));
    sql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(database));
    if (!dump.isEmpty())
        client(QStringLiteral("psql"), {QStringLiteral("-d"), database, QStringLiteral("-Xq"), QStringLiteral("-v"),
                                        QStringLiteral("ON_ERROR_STOP=1")},
               dump);
}

void PrivateServer::signalAll(int signal) const
{
    for (const int pid : processes())
        ::kill(pid_t(pid), signal);
}
