#pragma once

#include <QString>

// Listens to a player in this process as a sound card would: each piece of sound is taken at
// the moment it is due, and the sink notes how late it came and whether it follows the piece
// before without a hole. A card that holds kCardBufferMs of sound ahead plays a gap wherever a
// piece comes later than that, or wherever the pieces leave a hole.
class ListeningSink
{
public:
    // A generous card: on the shared two-core test machine, under the sanitizer and other
    // builds, a song at normal priority has come up to 0.4 s late, one left at the lowest
    // priority behind two busy loops 4 to 7 s.
    static constexpr double kCardBufferMs = 1000;

    struct Heard
    {
        double seconds = 0;      // of sound taken
        double latestMs = 0;     // the latest a piece came after its moment
        double widestHoleMs = 0; // between one piece's end and the next one's start
        bool gapless() const { return latestMs < kCardBufferMs && widestHoleMs < 1; }
    };

    ListeningSink();

    // The audio sink description for the player.
    QString playerSink() const;
    // What was heard so far.
    Heard heard() const;

private:
    int m_record;
};
