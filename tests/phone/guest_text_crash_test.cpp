// The jukebox itself with real windows on a display of its own: a phone orders under names
// that look like markup, and the notice strip, the next-up card (after a restart, with such a
// song next) and the phones' queue show them as typed, while the program's memory stays put.
#include "phone/jukebox_process.h"
#include "support/process_watch.h"
#include "support/virtual_display.h"

#include <QJsonArray>
#include <QTest>

#include <optional>

#include <gtest/gtest.h>

namespace {

const QStringList kNames = {QStringLiteral("<img src=/dev/zero>"), QStringLiteral("<b>粗</b>"),
                            QStringLiteral("Tom & Jerry")};

// How much the program grew in the two seconds after act and settleMs more (a window opened
// by act takes its memory first; a page given back makes it negative); nothing when it stopped.
std::optional<qint64> growthAfter(JukeboxProcess &jukebox, const std::function<void()> &act, int settleMs)
{
    QTest::qWait(1500); // the start picture gives way to the menu
    act();
    QTest::qWait(settleMs);
    const qint64 before = ProcessWatch::residentBytes(jukebox.pid());
    QTest::qWait(2000);
    const qint64 after = ProcessWatch::residentBytes(jukebox.pid());
    if (!jukebox.running() || before <= 0 || after <= 0)
        return std::nullopt;
    return after - before;
}

QStringList orderedBy(const QJsonObject &queue)
{
    QStringList names;
    for (const QJsonValue &song : queue["songs"].toArray())
        names.append(song["by"].toString());
    return names;
}

TEST(GuestText, NamesThatLookLikeMarkupAreShownAsTypedAndNeverLoadAPicture)
{
    const VirtualDisplay display;
    ASSERT_TRUE(display.started()) << display.whyNot().toStdString();
    JukeboxHome folder;
    ASSERT_TRUE(folder.home.init.ok);
    {
        JukeboxProcess jukebox(folder.path(), folder.port, display.environment());
        ASSERT_TRUE(jukebox.queue()) << "the jukebox serves";
        const std::optional<qint64> grown = growthAfter(jukebox, [&] {
            for (const QString &name : kNames)
                EXPECT_TRUE(jukebox.orderNow("100001", name)["ok"].toBool()) << name.toStdString();
        }, 0);
        ASSERT_TRUE(grown.has_value()) << "the jukebox still runs while the notices are up";
        EXPECT_LT(*grown, 16 << 20) << "no name was read as a picture";
        EXPECT_EQ(orderedBy(jukebox.queue().value_or(QJsonObject())), kNames);
        jukebox.killNine();
    }
    // After a crash the queue comes back, the first song's name on the next-up card.
    JukeboxProcess jukebox(folder.path(), folder.port, display.environment());
    ASSERT_TRUE(jukebox.queue());
    const std::optional<qint64> grown = growthAfter(jukebox, [&] {
        // "6" on the keypad once the menu is up (a slow start may still show the start picture).
        const auto plays = [&] { return jukebox.queue().value_or(QJsonObject())["playing"].toBool(); };
        for (int tries = 0; tries < 20 && jukebox.running() && !plays(); ++tries) {
            ASSERT_TRUE(display.press(QStringLiteral("6"))) << "xdotool (scripts/install-deps.sh installs it)";
            (void)QTest::qWaitFor(plays, 1000);
        }
        EXPECT_TRUE(plays()) << "the queue plays";
    }, 1000);
    ASSERT_TRUE(grown.has_value()) << "the jukebox still runs with that song next";
    EXPECT_LT(*grown, 16 << 20);
}

} // namespace
