#pragma once

#include "platform/gst/gst_media_player.h"

#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>

// Runs the event loop until the player reports the state, or the time-out passes.
inline bool waitForState(MediaPlayer &player, PlayState state, int timeoutMs = 10000)
{
    if (player.playState() == state)
        return true;
    QEventLoop loop;
    QObject::connect(&player, &MediaPlayer::playStateChanged, &loop, [&](PlayState now) {
        if (now == state)
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return player.playState() == state;
}

// Times each play() of the song at url until the player says it plays, on a real player whose
// sinks keep time and show nothing (manual time).
inline void timePlayToPlaying(benchmark::State &state, const QString &url)
{
    GstMediaPlayer player({QStringLiteral("fakesink sync=true"), QStringLiteral("fakesink sync=true")});
    for (auto _ : state) {
        player.setUrl(url);
        const auto start = std::chrono::steady_clock::now();
        player.play();
        if (!waitForState(player, PlayState::Playing)) {
            state.SkipWithError("the song did not start");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        player.stop();
    }
}
