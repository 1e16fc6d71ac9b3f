#pragma once

#include "platform/media_player.h"

#include <QString>
#include <QStringList>

#include <ostream>

// Lets GoogleTest print Qt strings in failure messages.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &list, std::ostream *os) { *os << '[' << list.join('|').toStdString() << ']'; }
inline void PrintTo(PlayState state, std::ostream *os) { *os << "PlayState " << int(state); }
