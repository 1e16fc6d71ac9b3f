#pragma once

#include <QString>

// Told how far a long scan or run has come. A window paints the line and its progress bar and
// handles its events between steps; the command line says nothing. step() returns false when
// the owner asked to stop.
class Progress
{
public:
    virtual ~Progress() = default;
    virtual bool step(int done, int total, const QString &line) = 0;
};

// Progress nobody watches: runs to the end.
class SilentProgress : public Progress
{
public:
    bool step(int, int, const QString &) override { return true; }
};
