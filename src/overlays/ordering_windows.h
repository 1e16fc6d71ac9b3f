#pragma once

#include "playback/small_window.h"

#include <QSize>

#include <memory>

class PlaybackSession;
class QWidget;
struct SharedState;

// The in-song ordering window of that kind (Ordering, Insertion, OrderBySinger) over the
// session; nullptr for any other kind.
std::unique_ptr<SmallWindow> makeOrderingWindow(NextWindow kind, PlaybackSession &session, SharedState &state,
                                                QSize screen, QWidget *parent);
