#pragma once

#include <QString>

// Figures of the catalogue file measured once, not in a loop, on copies of the benchmark
// catalogue at dbPath (which stays as it is).

// Opening the catalogue at start when nothing changed since the last start (the part of the
// program's start the catalogue file takes; target for the whole start 20 ms).
void printOpening(const QString &dbPath);

// A start on a catalogue whose 100 000 songs and 10 000 singers another program wrote: every
// stroke-order key made (target 2 s, once).
void printKeyFilling(const QString &dbPath);

// A connection holding a long read of the catalogue while 100 songs are ordered (every other one
// as a phone orders): each order's look-up and its way to the disk (target: none waits more
// than 50 ms for the file), and the same order with the file kept as before (rollback journal).
void printOrdersBesideALongReader(const QString &dbPath);
