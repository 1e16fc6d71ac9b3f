// 200 simulated phones on 127.0.0.1 against the catalogue of 100 000 songs, each keeping the
// live queue open, searching as a title is typed and ordering a song, with the menu
// benchmark run beside them on the window thread. Prints the phones' search times (median,
// 99th percentile), whether every accepted order is in the queue exactly once (in memory and
// on disk), the keypad's key-to-redraw without and during the load, and the page's size.
#include "catalogue_generator.h"
#include "menu_presses.h"
#include "phone_load.h"
#include "silent_services.h"

#include "core/init_system.h"
#include "core/queue_store.h"
#include "core/queue_writer.h"
#include "core/shared_state.h"
#include "phone/phone_ordering.h"
#include "platform/screen_fonts.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QHash>
#include <QThread>

#include <cstdio>

namespace {

// Characters of the generated titles and singers' names, as guests type them.
const QString kTyped = QStringLiteral("愛你我心情人夢月光風雨花海天空星夜晚春秋冬夏思念回憶陳林黃張李王吳劉");

double percentile(std::vector<double> ms, double p)
{
    std::sort(ms.begin(), ms.end());
    return ms.empty() ? 0 : ms[std::min(ms.size() - 1, size_t(p * double(ms.size())))];
}

// Every accepted id once among rows, and no id twice.
bool eachOnce(const QSet<qint64> &accepted, const std::vector<QueueRow> &rows)
{
    QHash<qint64, int> seen;
    for (const QueueRow &row : rows)
        ++seen[row.id];
    for (qint64 id : accepted) {
        if (seen.value(id) != 1)
            return false;
    }
    return std::all_of(seen.cbegin(), seen.cend(), [](int n) { return n == 1; });
}

QString waitForAddress(PhoneOrdering &phone)
{
    QEventLoop loop;
    QObject::connect(&phone, &PhoneOrdering::urlChanged, &loop, &QEventLoop::quit);
    QObject::connect(&phone, &PhoneOrdering::failed, &loop, &QEventLoop::quit);
    if (phone.url().isEmpty() && phone.problem().isEmpty())
        loop.exec();
    return phone.url();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installScreenFonts();
    // Its own folder: the queue's table must not reach the catalogue other benchmarks share.
    const QString home =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + QStringLiteral("/karaoke-bench-phone");
    const GeneratedCatalogue catalogue = generateCatalogue(home, 100000, 10000);

    SilentServices quiet;
    SharedState state;
    if (!InitSystem(state, quiet.fs, quiet.clock, home).ok)
        return 1;
    QueueWriter writer(state.DbPath, QueueStore::load(state.db()).rows);
    const auto keep = state.OrderedSongs.subscribe([&] { writer.save(state.OrderedSongs); });
    state.OrderedSongs.clear();
    PhoneConfig config = PhoneConfig::of(state);
    config.listen = QHostAddress::LocalHost;
    config.port = 0;
    PhoneOrdering phone(state, config, &writer);
    const QString url = waitForAddress(phone);
    if (url.isEmpty())
        return 1;
    MainMenu menu(state, quiet.services, QSize(1280, 720));
    menu.show();
    menu.Form_Activate();

    MenuPresses alone;
    for (int i = 0; i < 100; ++i) {
        alone.round(menu, i);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    state.OrderedSongs.clear();

    QThread loadThread;
    PhoneLoad load(url, catalogue.songNumbers, 200, kTyped);
    load.moveToThread(&loadThread);
    bool loadDone = false;
    QObject::connect(&loadThread, &QThread::started, &load, &PhoneLoad::run);
    QObject::connect(&load, &PhoneLoad::finished, &menu, [&] { loadDone = true; });
    loadThread.start();
    MenuPresses beside;
    for (int i = 0; !loadDone; ++i) {
        beside.round(menu, i);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    loadThread.quit();
    loadThread.wait();
    writer.flush(10000);

    const PhoneLoad::Result r = load.result();
    std::printf("200 phones on 127.0.0.1, 100 000 songs, 10 000 singers\n");
    std::printf("search answered: median %.2f ms, 99th percentile %.2f ms, worst %.2f ms (%zu searches)\n",
                percentile(r.searchMs, 0.5), percentile(r.searchMs, 0.99), percentile(r.searchMs, 1.0),
                r.searchMs.size());
    std::printf("orders accepted %lld, refused %d; each in the queue once: %s; on disk once: %s\n",
                qint64(r.ordered.size()), r.refused, eachOnce(r.ordered, state.OrderedSongs.rows()) ? "yes" : "NO",
                eachOnce(r.ordered, QueueStore::load(state.db()).rows) ? "yes" : "NO");
    std::printf("phones whose live queue showed their own song: %d of 200\n", r.sawOwnOrder);
    std::printf("the page's first load: %lld bytes (index.html, app.js, style.css)\n", r.pageBytes);
    std::printf("\nkeypad, key press to finished redraw, without the phones:\n");
    alone.report();
    std::printf("\nkeypad during the load:\n");
    beside.report();
    std::printf("targets: search median <= 10 ms, 99th percentile <= 50 ms; keypad median under 5 ms "
                "during the load; page under 150 KB\n");
    return 0;
}
