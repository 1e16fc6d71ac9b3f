// Every file the program writes for the owner (Setting.ini, a PDF, a spreadsheet) is on the
// disk before it takes the earlier file's place, and a sync that fails keeps the earlier file.
// The system's fsync is stood in for here: it notes what each sync found and fails when told.
#include "platform/pdf_file_printer.h"
#include "platform/qt_file_system.h"
#include "platform/xlsx_spreadsheet.h"
#include "support/fake_message_boxes.h"
#include "support/temp_home.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// What the syncs of one write found: the size of the file synced, and the file it was to
// replace as it was at that moment.
struct SyncWatch
{
    QString target;
    bool fail = false;
    QList<qint64> syncedSizes;
    QList<QByteArray> targetAtSync;
};

SyncWatch watch;

} // namespace

extern "C" int fsync(int fd)
{
    if (!watch.target.isEmpty()) {
        struct stat st {};
        ::fstat(fd, &st);
        watch.syncedSizes.append(st.st_size);
        QFile target(watch.target);
        watch.targetAtSync.append(target.open(QIODevice::ReadOnly) ? target.readAll() : QByteArray());
        if (watch.fail) {
            errno = EIO;
            return -1;
        }
    }
    return int(::syscall(SYS_fsync, fd));
}

namespace {

const QByteArray kEarlier = "the earlier file";

struct Writer
{
    const char *what;
    QString name;
    std::function<bool(const QString &path)> write;
};

bool writePdf(const QString &path)
{
    FakeMessageBoxes boxes;
    PdfFilePrinter printer(path, boxes);
    return printer.printDocument(QStringLiteral("歌本"), [&] {
        printer.setCurrentX(567);
        printer.setCurrentY(567);
        printer.print(QStringLiteral("晴天"));
        printer.endDoc();
    });
}

bool writeSpreadsheet(const QString &path)
{
    XlsxSpreadsheet sheet;
    sheet.setCell(1, 1, QStringLiteral("晴天"));
    QString error;
    return sheet.saveAs(path, &error);
}

TEST(OutputFiles, AreOnTheDiskBeforeTheyReplaceTheEarlierFileAndAFailedSyncKeepsIt)
{
    const Writer writers[] = {
        {"Setting.ini", QStringLiteral("Setting.ini"),
         [](const QString &path) { return QtFileSystem().writeAll(path, "RecordPath = Record\r\n"); }},
        {"a PDF", QStringLiteral("book.pdf"), writePdf},
        {"a spreadsheet", QStringLiteral("new.xlsx"), writeSpreadsheet},
    };
    for (const Writer &writer : writers) {
        for (const bool failing : {false, true}) {
            SCOPED_TRACE(std::string(writer.what) + (failing ? ", the sync failing" : ""));
            TempHome home;
            home.write(writer.name, kEarlier);
            watch = {home.file(writer.name), failing, {}, {}};

            const bool written = writer.write(home.file(writer.name));
            const SyncWatch seen = std::exchange(watch, {});

            ASSERT_FALSE(seen.syncedSizes.isEmpty()) << "never synced";
            EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{writer.name}) << "nothing left beside it";
            if (failing) {
                EXPECT_FALSE(written);
                EXPECT_EQ(home.read(writer.name), kEarlier);
                continue;
            }
            EXPECT_TRUE(written);
            const QByteArray bytes = home.read(writer.name);
            EXPECT_NE(bytes, kEarlier);
            EXPECT_EQ(seen.syncedSizes.last(), bytes.size()) << "the whole new file was synced";
            EXPECT_EQ(seen.targetAtSync.last(), kEarlier) << "while the earlier file was still in place";
        }
    }
}

} // namespace
