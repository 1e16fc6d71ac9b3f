// Setting.ini as any bytes: completing and reading it never fails, keeps the owner's bytes,
// and a completed file needs nothing more on the next start.
#include "fuzz_support.h"

#include "core/settings_file.h"
#include "platform/file_system.h"

namespace {

const QString kSettingsPath = QStringLiteral("/karaoke/Setting.ini");

// One Setting.ini in memory; the settings procedure reaches nothing else.
class SettingsOnlyFileSystem : public FileSystem
{
public:
    explicit SettingsOnlyFileSystem(const QByteArray &bytes)
        : bytes(bytes)
    {
    }
    QByteArray bytes;
    int writes = 0;

    Kind kindOf(const QString &path) const override { return path == kSettingsPath ? Kind::File : Kind::Missing; }
    bool fileExists(const QString &path) const override { return path == kSettingsPath; }
    bool folderExists(const QString &) const override { return false; }
    bool createFolder(const QString &) override { return false; }
    QByteArray readAll(const QString &path, bool *ok) const override
    {
        if (ok)
            *ok = path == kSettingsPath;
        return path == kSettingsPath ? bytes : QByteArray();
    }
    bool writeAll(const QString &path, const QByteArray &newBytes) override
    {
        fuzzCheck(path == kSettingsPath, "only Setting.ini is written");
        bytes = newBytes;
        ++writes;
        return true;
    }
    bool append(const QString &, const QByteArray &) override { return false; }
    bool deleteFile(const QString &) override { return false; }
    bool copyFile(const QString &, const QString &, bool) override { return false; }
    bool moveFile(const QString &, const QString &) override { return false; }
    bool canListFolder(const QString &) const override { return false; }
    QStringList listFiles(const QString &) const override { return {}; }
    QStringList listFolders(const QString &) const override { return {}; }
    QDateTime creationTime(const QString &) const override { return {}; }
    QString fileSystemType(const QString &) const override { return {}; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray owners = fuzzInput(data, size);
    SettingsOnlyFileSystem fs(owners);
    QString problem;
    SettingsFile::load(fs, kSettingsPath, QStringLiteral("/karaoke/"), &problem);
    fuzzCheck(problem.isEmpty(), "a readable file is completed without complaint");
    fuzzCheck(fs.bytes.startsWith(owners), "the owner's bytes stay as they were");
    fuzzCheck(fs.writes <= 1, "the file is written at most once");

    fuzzCheck(SettingsFile::completedBytes(fs.bytes) == fs.bytes, "a second start appends nothing");
    return 0;
}
