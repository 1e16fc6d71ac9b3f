#pragma once

#include "support/program_run.h"

#include <QStandardPaths>
#include <QString>

#include <gtest/gtest.h>

// The sqlite3 shell an owner fixes a catalogue with (Debian's sqlite3, installed by
// scripts/install-deps.sh), run on a file with statements separated by ";". It stops at the
// first failing statement (-bail) with a non-zero exit code.
inline ProgramRun sqliteShell(const QString &dbPath, const QString &sql)
{
    return runProgram(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), dbPath, sql});
}

// The tests that use the shell fail, rather than skip, when it is missing.
#define REQUIRE_SQLITE_SHELL()                                                                     \
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())                       \
    FAIL() << "the sqlite3 shell is missing (scripts/install-deps.sh installs it)"
