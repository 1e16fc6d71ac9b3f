#include "venue_fixture.h"

#include "core/catalogue_file.h"
#include "core/database.h"
#include "core/database_error.h"

#include <QElapsedTimer>
#include <QThread>

Room::Room(const QString &serverUrl, const QString &mediaRoot)
{
    m_home.write(QStringLiteral("Setting.ini"),
                 QStringLiteral("CatalogueServer = %1\r\nMediaRoot = %2\r\nEvenLoudness = 0\r\n")
                     .arg(serverUrl, mediaRoot)
                     .toUtf8());
}

qint64 Room::count(const QString &sql) const
{
    if (!QFile::exists(catalogue()))
        return 0;
    try {
        Database db(catalogue());
        return db.OpenRecordset(sql).value(0).toLongLong();
    } catch (const DatabaseError &) {
        return 0; // being written by the room: asked again
    }
}

std::unique_ptr<QProcess> Room::startTask(const QStringList &arguments) const
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(QStringLiteral(KARAOKE_PROGRAM), QStringList{QStringLiteral("--home"), path()} + arguments);
    process->waitForStarted();
    return process;
}

Room::Run Room::run(const QStringList &arguments, int timeoutMs) const
{
    const std::unique_ptr<QProcess> process = startTask(arguments);
    if (!process->waitForFinished(timeoutMs))
        process->kill();
    process->waitForFinished();
    return {process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
            QString::fromUtf8(process->readAll())};
}

std::unique_ptr<QProcess> Room::startJukebox() const
{
    return startTask({QStringLiteral("--clock-speed"), QStringLiteral("50")});
}

LocalRoom::LocalRoom(const QString &url, const QString &mediaRoot)
{
    QString problem;
    if (!CatalogueFile::openOrCreate(db, &problem))
        ADD_FAILURE() << problem.toStdString();
    venue = std::make_unique<VenueRoom>(url, db.path(), MediaRoot(mediaRoot, home.path()));
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

QString writeSongList(const QString &folder, const QString &tag, const QString &singer, int first, int n)
{
    QDir().mkpath(folder);
    const QStringList kinds = {QStringLiteral("國語"), QStringLiteral("台語")};
    QString lines;
    for (int i = first; i < first + n; ++i) {
        const QString file = QStringLiteral("s%1.mpg").arg(i, 5, 10, QLatin1Char('0'));
        QFile(folder + QLatin1Char('/') + file).open(QIODevice::WriteOnly);
        lines += QStringLiteral("%1,曲%2%3,%4,%5,%6\n")
                     .arg(file, tag)
                     .arg(i, 5, 10, QLatin1Char('0'))
                     .arg(kinds[i % 2], singer)
                     .arg(1 + i % 5);
    }
    const QString list = folder + QStringLiteral("/list-") + tag + QStringLiteral(".txt");
    QFile out(list);
    out.open(QIODevice::WriteOnly);
    out.write(lines.toUtf8());
    return list;
}
