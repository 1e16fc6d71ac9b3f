// karaoke.mdb as any bytes: a file the program refuses is left byte for byte as it was, and a
// file it accepts is a catalogue of the newest schema afterwards.
#include "fuzz_support.h"

#include "core/catalogue_file.h"
#include "core/database.h"
#include "core/database_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    const QString path = fuzzFolder().filePath(QStringLiteral("karaoke.mdb"));
    for (const char *beside : {"-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(beside));
    writeFuzzFile(path, bytes);
    Database db(path);
    QString problem;
    const bool accepted = CatalogueFile::openOrCreate(db, &problem);
    if (!accepted) {
        db.close();
        fuzzCheck(!problem.isEmpty(), "a refusal says why");
        fuzzCheck(readFuzzFile(path) == bytes, "a refused file is left as it was");
        return 0;
    }
    try {
        Recordset rs = db.OpenRecordset(QStringLiteral("PRAGMA user_version"));
        fuzzCheck(rs.value(0).toInt() == CatalogueFile::kSchemaVersion, "an accepted file has the newest schema");
    } catch (const DatabaseError &) {
        // A file damaged beyond its schema pages may still fail a later read; that read reports it.
    }
    return 0;
}
