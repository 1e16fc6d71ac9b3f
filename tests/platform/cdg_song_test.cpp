// Where a CD+G song's pictures and sound are, on real files: the .mp3 and .cdg beside each
// other in any letter case, one pair in a zip file, and what is said when a part is missing;
// then reading a part in place, from a file or a zip member, packed or stored.
#include "platform/cdg/cdg_song.h"
#include "platform/cdg/song_part_reader.h"
#include "support/zip_writer.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

void touch(const QString &path, const QByteArray &bytes = QByteArray("x"))
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    file.write(bytes);
}

QByteArray readAll(SongPartReader &reader, std::size_t chunk)
{
    QByteArray bytes;
    std::vector<std::uint8_t> buffer(chunk);
    while (const std::size_t got = reader.read(buffer.data(), buffer.size()))
        bytes.append(reinterpret_cast<const char *>(buffer.data()), qsizetype(got));
    return bytes;
}

QByteArray someBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + i / 7) & 0xFF);
    return bytes;
}

} // namespace

TEST(CdgSongTest, APairIsFoundBesideEachOtherInAnyLetterCaseAndAZipMustHoldOnePair)
{
    QTemporaryDir dir;
    const QString d = dir.path() + '/';
    for (const char *name : {"a.mp3", "a.cdg", "B.MP3", "b.cdg", "c.Cdg", "C.mP3", "[Karaoke] d*.mp3", "[karaoke] D*.CDG",
                             "plain.mp3", "lone.cdg", "clip.mpg", "clip.cdg"})
        touch(d + name);
    ASSERT_TRUE(writeZip(d + "good.zip", {{"Artist - Title.cdg", "c"}, {"other name.MP3", "m"}, {"readme.txt", "t"}}));
    ASSERT_TRUE(writeZip(d + "mac.zip", {{"__MACOSX/._song.mp3", "r"}, {"__MACOSX/._song.cdg", "r"}, {"song/", ""},
                                         {"song/song.mp3", "m"}, {"song/._song.cdg", "r"}, {"song/song.cdg", "c"}}));
    ASSERT_TRUE(writeZip(d + "two.zip", {{"1.cdg", "c"}, {"2.cdg", "c"}, {"1.mp3", "m"}}));
    ASSERT_TRUE(writeZip(d + "nosound.zip", {{"1.cdg", "c"}}));
    touch(d + "broken.zip", "PK\x03\x04 not really a zip file");

    const struct
    {
        const char *file;
        bool isCdg;
        const char *pictures; // a file name, or "#N" for the zip member N
        const char *sound;
        const char *problem;
    } cases[] = {
        {"a.mp3", true, "a.cdg", "a.mp3", ""},
        {"a.cdg", true, "a.cdg", "a.mp3", ""},
        {"B.MP3", true, "b.cdg", "B.MP3", ""},
        {"b.cdg", true, "b.cdg", "B.MP3", ""},
        {"c.Cdg", true, "c.Cdg", "C.mP3", ""},
        {"[Karaoke] d*.mp3", true, "[karaoke] D*.CDG", "[Karaoke] d*.mp3", ""},
        {"plain.mp3", false, "", "", ""},
        {"lone.cdg", true, "lone.cdg", "", "CDG 檔旁沒有同名的 MP3 檔"},
        {"clip.mpg", false, "", "", ""},
        {"good.zip", true, "#0", "#1", ""},
        {"mac.zip", true, "#5", "#3", ""},
        {"two.zip", true, nullptr, nullptr, "壓縮檔裡要有一個 CDG 檔和一個 MP3 檔"},
        {"nosound.zip", true, nullptr, nullptr, "壓縮檔裡要有一個 CDG 檔和一個 MP3 檔"},
        {"broken.zip", true, nullptr, nullptr, "無法讀取壓縮檔"},
        {"missing.zip", true, nullptr, nullptr, "無法讀取壓縮檔"},
    };
    const auto expectPart = [&](const CdgSongPart &part, const char *wanted, const QString &file) {
        if (!wanted)
            return;
        if (wanted[0] == '#') {
            EXPECT_EQ(part.file, file);
            EXPECT_EQ(part.member, QByteArray(wanted + 1).toInt());
        } else {
            EXPECT_EQ(part.file, *wanted ? d + wanted : QString());
            EXPECT_FALSE(part.inZip());
        }
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const CdgSong song = findCdgSong(d + c.file);
        EXPECT_EQ(song.isCdg, c.isCdg);
        if (*c.problem) {
            EXPECT_TRUE(song.problem.startsWith(QString::fromUtf8(c.problem))) << qPrintable(song.problem);
        } else {
            EXPECT_EQ(song.problem, QString());
        }
        EXPECT_EQ(song.playable(), c.isCdg && !*c.problem);
        expectPart(song.pictures, c.pictures, d + c.file);
        expectPart(song.sound, c.sound, d + c.file);
    }
}

TEST(CdgSongTest, PartnersArePairedByNameAloneAsAFolderListsThem)
{
    const CdgPartners partners({"a.mp3", "a.cdg", "B.MP3", "b.cdg", "lone.cdg", "plain.mp3", "x.mpg", "x.cdg", "y.cdg.mp3"});
    const struct
    {
        const char *name;
        const char *partner;
    } cases[] = {
        {"a.mp3", "a.cdg"}, {"a.cdg", "a.mp3"}, {"B.MP3", "b.cdg"}, {"b.cdg", "B.MP3"}, {"lone.cdg", ""},
        {"plain.mp3", ""},  {"x.mpg", ""},      {"x.cdg", ""},      {"y.cdg.mp3", ""},  {"noext", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(partners.partnerOf(c.name), QString::fromUtf8(c.partner)) << c.name;
    EXPECT_TRUE(hasCdgSongExtension("a.CDG"));
    EXPECT_TRUE(hasCdgSongExtension("a.Zip"));
    EXPECT_FALSE(hasCdgSongExtension("a.mp3"));
    EXPECT_FALSE(hasCdgSongExtension("zip"));
}

TEST(CdgSongTest, APartIsReadWholeAndFromAnyPlaceInAFileOrAZipMember)
{
    QTemporaryDir dir;
    const QByteArray bytes = someBytes(300000);
    touch(dir.filePath("song.mp3"), bytes);
    ASSERT_TRUE(writeZip(dir.filePath("packed.zip"), {{"x.cdg", "c"}, {"x.mp3", bytes}}, true));
    ASSERT_TRUE(writeZip(dir.filePath("stored.zip"), {{"x.cdg", "c"}, {"x.mp3", bytes}}, false));
    const struct
    {
        const char *what;
        CdgSongPart part;
    } cases[] = {
        {"file", {dir.filePath("song.mp3"), -1}},
        {"packed member", {dir.filePath("packed.zip"), 1}},
        {"stored member", {dir.filePath("stored.zip"), 1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SongPartReader reader(c.part);
        ASSERT_TRUE(reader.isOpen()) << qPrintable(reader.problem());
        EXPECT_EQ(reader.size(), bytes.size());
        EXPECT_EQ(readAll(reader, 4096), bytes);
        for (const std::uint64_t offset : {std::uint64_t(123456), std::uint64_t(7), std::uint64_t(299999)}) {
            ASSERT_TRUE(reader.seek(offset)) << offset;
            EXPECT_EQ(readAll(reader, 1000), bytes.mid(qsizetype(offset))) << offset;
        }
        EXPECT_TRUE(reader.problem().isEmpty());
    }
}

TEST(CdgSongTest, APartThatCannotBeReadSaysWhy)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.mp3"));
    touch(dir.filePath("broken.zip"), "PK\x03\x04 not really a zip file");
    const struct
    {
        const char *what;
        CdgSongPart part;
        const char *problem;
    } cases[] = {
        {"missing file", {dir.filePath("none.mp3"), -1}, "找不到這個檔案"},
        {"a folder", {dir.filePath("folder.mp3"), -1}, "找不到這個檔案"},
        {"a zip file that is not one", {dir.filePath("broken.zip"), 0}, "無法讀取壓縮檔"},
        {"a member that is not there", {dir.filePath("broken.zip"), 9}, "無法讀取壓縮檔"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SongPartReader reader(c.part);
        EXPECT_FALSE(reader.isOpen());
        EXPECT_TRUE(reader.problem().startsWith(QString::fromUtf8(c.problem))) << qPrintable(reader.problem());
        std::uint8_t buffer[16];
        EXPECT_EQ(reader.read(buffer, sizeof buffer), 0u);
        EXPECT_FALSE(reader.seek(3));
    }
}
