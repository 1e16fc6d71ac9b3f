#pragma once

#include "platform/mci_device.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

// Stops the program when a property of the code under test does not hold: libFuzzer keeps
// the input as a crash, and the replay test fails on it.
inline void fuzzCheck(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

inline QByteArray fuzzInput(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A folder for the run's files, in TMPDIR (scripts/fuzz.sh points it at memory).
inline const QTemporaryDir &fuzzFolder()
{
    static const QTemporaryDir folder;
    return folder;
}

inline QByteArray readFuzzFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFuzzFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    fuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
              "the input can be written to a file");
}

// The WAV reader needs a device only for playing and recording; this one does nothing.
class SilentMciDevice : public MciDevice
{
public:
    QString sendString(const QString &) override { return {}; }
};
