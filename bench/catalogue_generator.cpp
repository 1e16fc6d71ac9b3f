#include "catalogue_generator.h"

#include "core/database.h"
#include "platform/system_clock.h"
#include "core/init_system.h"
#include "platform/qt_file_system.h"
#include "core/shared_state.h"

#include <QDir>

#include <sqlite3.h>

#include <random>
#include <stdexcept>

namespace {

const QString kTitleCharacters = QStringLiteral(
    "愛你我他的心情人夢月光風雨花海天空星夜晚春秋冬夏思念回憶時間永遠相遇離別眼淚微笑青春歲月故鄉"
    "山河路走過等待幸福快樂寂寞孤單溫柔美麗一生一世朋友家鄉燈火城市街頭晴天雪落紅塵緣分約定承諾");
const QString kSurnames = QStringLiteral("陳林黃張李王吳劉蔡楊許鄭謝郭洪邱曾廖賴徐周葉蘇莊呂江何蕭羅高");
const QString kGivenNames = QStringLiteral("志明建宏家豪俊傑美玲雅婷心怡淑芬宗翰冠宇詩涵欣怡承恩子軒怡君佳穎");

// Title lengths peak at three to five characters, as real catalogues do.
const int kLengthWeights[20] = {3, 10, 14, 16, 13, 10, 8, 6, 5, 3, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1};

void check(int rc, sqlite3 *db, const char *what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

QString randomText(std::mt19937 &rng, const QString &pool, int length)
{
    QString text;
    std::uniform_int_distribution<int> pick(0, int(pool.size()) - 1);
    for (int i = 0; i < length; ++i)
        text += pool[pick(rng)];
    return text;
}

int songCount(Database &db)
{
    try {
        Recordset rs = db.OpenRecordset(QStringLiteral("SELECT count(*) AS n FROM song"));
        return rs.field(QStringLiteral("n")).toInt();
    } catch (...) {
        return -1;
    }
}

void fill(const QString &dbPath, int songs, int singers)
{
    sqlite3 *db = nullptr;
    // Written as any other program writes songs; the program makes their keys at its next start.
    check(sqlite3_open(QFile::encodeName(dbPath).constData(), &db), db, "open");
    check(sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr), db, "begin");
    std::mt19937 rng(20261205);

    sqlite3_stmt *singer = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO singer (singer_name, singer_sex) VALUES (?, ?)", -1, &singer, nullptr), db, "prep");
    std::uniform_int_distribution<int> givenLength(1, 2);
    for (int i = 0; i < singers; ++i) {
        const QByteArray name = (randomText(rng, kSurnames, 1) + randomText(rng, kGivenNames, givenLength(rng))).toUtf8();
        sqlite3_bind_text(singer, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(singer, 2, i % 3);
        check(sqlite3_step(singer), db, "singer");
        sqlite3_reset(singer);
    }
    sqlite3_finalize(singer);

    sqlite3_stmt *song = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO song (song_num, song_kind, song_name, song_text_count, song_singer_code, "
                             "song_build_date, song_location) VALUES (?, ?, ?, ?, ?, ?, ?)",
                             -1, &song, nullptr),
          db, "prep");
    std::discrete_distribution<int> length(std::begin(kLengthWeights), std::end(kLengthWeights));
    std::uniform_int_distribution<int> kind(0, 7);
    std::uniform_int_distribution<int> singerCode(1, singers);
    std::uniform_int_distribution<int> day(1, 28);
    std::map<std::pair<int, int>, int> serials;
    for (int i = 0; i < songs; ++i) {
        const int k = kind(rng);
        const int n = length(rng) + 1;
        const int serial = ++serials[{k, n}];
        const QByteArray num = QStringLiteral("%1%2%3").arg(k).arg(n, 2, 10, QLatin1Char('0')).arg(serial, 3, 10, QLatin1Char('0')).toUtf8();
        const QByteArray title = randomText(rng, kTitleCharacters, n).toUtf8();
        const QByteArray date = QStringLiteral("2026/%1/%2").arg(1 + i % 12, 2, 10, QLatin1Char('0')).arg(day(rng), 2, 10, QLatin1Char('0')).toUtf8();
        const QByteArray location = "/srv/songs/" + num + ".mpg";
        sqlite3_bind_text(song, 1, num.constData(), int(num.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(song, 2, k);
        sqlite3_bind_text(song, 3, title.constData(), int(title.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(song, 4, n);
        // Every tenth song goes to singer 1, so one singer has a long list.
        sqlite3_bind_int(song, 5, i % 10 == 0 ? 1 : singerCode(rng));
        sqlite3_bind_text(song, 6, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(song, 7, location.constData(), int(location.size()), SQLITE_TRANSIENT);
        check(sqlite3_step(song), db, "song");
        sqlite3_reset(song);
    }
    sqlite3_finalize(song);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

} // namespace

GeneratedCatalogue generateCatalogue(const QString &home, int songs, int singers)
{
    QDir().mkpath(home);
    static QtFileSystem fs;
    static SystemClock clock;
    SharedState state;
    const InitResult init = InitSystem(state, fs, clock, home);
    if (!init.ok)
        throw std::runtime_error(init.problem.toStdString());
    if (songCount(state.db()) != songs) {
        state.db().close();
        QFile::remove(state.DbPath);
        if (!InitSystem(state, fs, clock, home).ok)
            throw std::runtime_error("cannot create the benchmark catalogue");
        state.db().close();
        fill(state.DbPath, songs, singers);
        if (!InitSystem(state, fs, clock, home).ok)
            throw std::runtime_error("cannot start on the benchmark catalogue");
    }
    GeneratedCatalogue result{state.DbPath, {}, 1};
    Recordset rs = state.db().OpenRecordset(QStringLiteral("SELECT song_num FROM song WHERE rowid % 997 = 0"));
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        result.songNumbers.append(rs.text(QStringLiteral("song_num")));
    return result;
}
