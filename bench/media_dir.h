#pragma once

#include <QDir>
#include <QString>

// The folder of the clips of scripts/make-test-media.sh, as an absolute path: the program's
// first argument left after the benchmark flags, else $KARAOKE_TEST_MEDIA, else the build tree's.
inline QString benchMediaDir(int argc, char **argv)
{
    QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : qEnvironmentVariable("KARAOKE_TEST_MEDIA");
    if (dir.isEmpty())
        dir = QStringLiteral(KARAOKE_DEFAULT_TEST_MEDIA);
    return QDir(dir).absolutePath();
}
