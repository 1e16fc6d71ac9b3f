#include "support/catalogue_builder.h"

#include <sqlite3.h>

#include <cstring>

namespace {

// The lists' indexes of versions 5 to 8, in the collation STROKE the program of those versions
// registered on its connections.
const char *const kStrokeIndexes = "CREATE INDEX song_by_kind_count ON song (song_kind, song_text_count, song_name COLLATE STROKE);"
                                   "CREATE INDEX song_by_singer ON song (song_singer_code, song_text_count, song_name COLLATE STROKE);"
                                   "CREATE INDEX singer_by_sex ON singer (singer_sex, singer_name COLLATE STROKE);";

// Any order will do to build them: the program of today only drops them.
int byteOrder(void *, int leftSize, const void *left, int rightSize, const void *right)
{
    const int common = std::memcmp(left, right, size_t(qMin(leftSize, rightSize)));
    return common != 0 ? common : leftSize - rightSize;
}

void addStrokeIndexes(const QString &dbPath)
{
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(dbPath).constData(), &db) == SQLITE_OK
        && sqlite3_create_collation(db, "STROKE", SQLITE_UTF8, nullptr, byteOrder) == SQLITE_OK
        && sqlite3_exec(db, kStrokeIndexes, nullptr, nullptr, nullptr) == SQLITE_OK;
    const std::string problem = sqlite3_errmsg(db);
    sqlite3_close(db);
    if (!ok)
        throw std::runtime_error("cannot add the stroke indexes: " + problem);
}

} // namespace

void CatalogueBuilder::createAtVersion(const QString &dbPath, int version, const std::function<void(Database &)> &fill)
{
    QFile file(dbPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot create " + dbPath.toStdString());
    file.close();
    {
        Database db(dbPath);
        for (int step = 1; step <= version; ++step) {
            for (const QString &statement : CatalogueFile::schemaStatements(step))
                db.ExecuteSql(statement);
        }
        if (version == CatalogueFile::kSchemaVersion) {
            for (const QString &statement : CatalogueFile::triggerStatements())
                db.ExecuteSql(statement);
        }
        db.ExecuteSql(QStringLiteral("PRAGMA user_version = %1").arg(version));
        if (fill)
            fill(db);
    }
    if (version >= 5 && version <= 8)
        addStrokeIndexes(dbPath);
}
