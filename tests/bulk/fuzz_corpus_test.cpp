// Replays the fuzz corpora of the two parsers, so an input that once failed keeps passing.
#include "bulk/fuzz/bulk_fuzz_targets.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

int replay(const QString &target, int (*entry)(const uint8_t *, size_t))
{
    const QDir corpus(QStringLiteral(KARAOKE_FUZZ_CORPUS) + QLatin1Char('/') + target);
    int inputs = 0;
    for (const QString &name : corpus.entryList(QDir::Files)) {
        QFile file(corpus.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(entry(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
        ++inputs;
    }
    return inputs;
}

TEST(FuzzCorpusTest, ParsersAcceptEveryKeptInput)
{
    EXPECT_GT(replay(QStringLiteral("song_file_name"), fuzzSongFileName), 0);
    EXPECT_GT(replay(QStringLiteral("list_file"), fuzzListFile), 0);
}

} // namespace
