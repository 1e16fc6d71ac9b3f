// The phone server on a program folder of a few songs, for a real browser (browser_test.py,
// scripts/screenshots.sh): prints the page's address, then takes commands on standard input.
// "end" ends the song playing, as the player does when a song is over. Stops at end of input.
// The room has sung a few hundred songs, so the 熱門 tab has its lists.
#include "core/queue_writer.h"
#include "phone/phone_desk.h"
#include "phone/phone_ordering.h"
#include "support/catalogue_home.h"
#include "support/fake_clock.h"
#include "support/fake_file_system.h"
#include "support/history_builder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTextStream>

#include <unistd.h>

namespace {

void fillCatalogue(CatalogueBuilder &catalogue)
{
    const qint64 jay = catalogue.addSinger(QStringLiteral("周杰倫"), 1);
    const qint64 faye = catalogue.addSinger(QStringLiteral("王菲"), 0);
    const qint64 band = catalogue.addSinger(QStringLiteral("五月天"), 2);
    const struct
    {
        const char *number, *title;
        qint64 singer;
    } songs[] = {{"100001", "晴天", jay},   {"100002", "七里香", jay}, {"100003", "稻香", jay},
                 {"100004", "紅豆", faye},  {"100005", "匆匆那年", faye}, {"100006", "晴天娃娃", band},
                 {"100007", "倔強", band},  {"100008", "溫柔", band}};
    for (const auto &song : songs)
        catalogue.addSong(QString::fromLatin1(song.number), 1, QString::fromUtf8(song.title), song.singer);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home(fs, clock);
    if (!home.init.ok)
        return 1;
    fillCatalogue(home.catalogue);
    // What the room sang: the 熱門 tab lists it, the last song with its score.
    generateHistory(home.catalogue.database(),
                    {QStringLiteral("100003"), QStringLiteral("100007"), QStringLiteral("100001"), QStringLiteral("100005"),
                     QStringLiteral("100008"), QStringLiteral("100002")},
                    300, 40, QDateTime::currentSecsSinceEpoch());
    home.catalogue.database().ExecuteSql(
        QStringLiteral("UPDATE play_history SET song_name = (SELECT s.song_name FROM song AS s WHERE s.song_num = "
                       "play_history.song_num), singer_name = (SELECT g.singer_name FROM song AS s JOIN singer AS g "
                       "ON g.singer_code = s.song_singer_code WHERE s.song_num = play_history.song_num)"));
    home.catalogue.database().ExecuteSql(
        QStringLiteral("UPDATE play_history SET score = 88 WHERE play_id = (SELECT max(play_id) FROM play_history)"));

    QueueWriter writer(home.state.DbPath, std::vector<QueueRow>{});
    const auto keep = home.state.OrderedSongs.subscribe([&] { writer.save(home.state.OrderedSongs); });
    PhoneConfig config = PhoneConfig::of(home.state);
    config.listen = QHostAddress::LocalHost;
    config.port = 0;
    PhoneOrdering phone(home.state, config, &writer);
    // The queue plays: row 0 is the song playing.
    phone.desk().setPlayer(PhonePlayer{[] { return true; }, [] { return false; }, [] {}, [] {}});
    QSignalSpy address(&phone, &PhoneOrdering::urlChanged);
    if (!address.wait(5000))
        return 1;
    QTextStream(stdout) << phone.url() << Qt::endl;

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[64] = {};
        const ssize_t got = ::read(STDIN_FILENO, line, sizeof line - 1);
        if (got <= 0)
            QCoreApplication::quit();
        else if (QByteArray(line).trimmed() == "end")
            home.state.OrderedSongs.removeAt(0);
    });
    return QCoreApplication::exec();
}
