#pragma once

#include <QtGlobal>

class QProcess;

// What a test reads of a process from /proc, and the hard limits that keep a process that
// could grow without bound (a picture read from /dev/zero) from taking the machine's memory:
// it fails at the limit instead. Without a sanitizer the limit is on the address space
// (RLIMIT_AS); a sanitizer reserves terabytes of address space, so there ASan's own limits
// on resident memory and on single allocations stand in.
namespace ProcessWatch {

// How many times longer this build takes than the release build for the same work: 1, or 4
// under the sanitizer; for a bound on how long something a user waits for may take.
int buildSlowdown();
// Resident memory (VmRSS) of the process, this one when pid is 0; -1 when it is gone.
qint64 residentBytes(qint64 pid = 0);
// Open sockets of this process (its files, the catalogue's among them, come and go with its work).
int openSockets();
// This process fails rather than grow past extraBytes more address space than it has now.
void limitOwnMemory(qint64 extraBytes);
// A child started after this call fails rather than grow past bytes.
void limitChildMemory(QProcess &process, qint64 bytes);

} // namespace ProcessWatch
