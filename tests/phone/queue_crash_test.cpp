// The jukebox itself, killed with SIGKILL at random moments while phones order: after each
// restart every order it answered "ok" is in its queue, once.
#include "core/queue_store.h"
#include "phone/jukebox_process.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QSet<qint64> keptIds(Database &db, qsizetype *rows = nullptr)
{
    QSet<qint64> ids;
    const std::vector<QueueRow> kept = QueueStore::load(db).rows;
    for (const QueueRow &row : kept)
        ids.insert(row.id);
    if (rows)
        *rows = qsizetype(kept.size());
    return ids;
}

TEST(QueueCrash, EveryOrderAnsweredOkSurvivesKillNineOnce)
{
    JukeboxHome folder;
    ASSERT_TRUE(folder.home.init.ok);
    QSet<qint64> ok;
    for (int round = 0; round < 4; ++round) {
        JukeboxProcess jukebox(folder.path(), folder.port);
        const std::optional<QJsonObject> served = jukebox.queue();
        ASSERT_TRUE(served) << "the jukebox serves after round " << round;
        qsizetype rows = 0;
        const QSet<qint64> kept = keptIds(folder.home.reader, &rows);
        EXPECT_TRUE(kept.contains(ok)) << "round " << round << ": an order answered ok is lost";
        EXPECT_EQ(rows, kept.size()) << "round " << round << ": an order is kept twice";
        EXPECT_EQ((*served)["total"].toInt(), rows) << "round " << round << ": the jukebox starts with the queue it had";
        QElapsedTimer ordering;
        ordering.start();
        const qint64 killAt = 150 + QRandomGenerator::global()->bounded(450);
        while (ordering.elapsed() < killAt) {
            for (int phone = 0; phone < 4; ++phone)
                jukebox.order(ok);
            QTest::qWait(15);
        }
        jukebox.killNine();
    }
    qsizetype rows = 0;
    const QSet<qint64> ids = keptIds(folder.home.reader, &rows);
    EXPECT_EQ(rows, ids.size()) << "no order is kept twice";
    EXPECT_TRUE(ids.contains(ok)) << ok.size() << " answered ok, " << ids.size() << " kept";
    EXPECT_GT(ok.size(), 20) << "the phones did order";
}

} // namespace
