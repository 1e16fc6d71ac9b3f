#include "fuzz_support.h"

#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// Every input stored for the target (seeds and the inputs of faults found and fixed) still
// runs through its entry function with every property holding.
TEST(FuzzCorpus, EveryStoredInputRunsWithItsPropertiesHolding)
{
    int replayed = 0;
    QDirIterator inputs(QStringLiteral(KARAOKE_FUZZ_CORPUS), QDir::Files, QDirIterator::Subdirectories);
    while (inputs.hasNext()) {
        const QString path = inputs.next();
        const QByteArray bytes = readFuzzFile(path);
        std::fprintf(stderr, "replaying %s\n", qPrintable(path)); // names the input if it stops the test
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size()));
        ++replayed;
    }
    EXPECT_GT(replayed, 0) << "no inputs in " << KARAOKE_FUZZ_CORPUS;
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
