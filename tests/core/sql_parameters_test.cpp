#include "support/qt_printers.h"
#include "core/sql_parameters.h"

#include <gtest/gtest.h>

namespace {

TEST(SqlParameters, LiteralsOfSelectsBecomeParametersAndNothingElseChanges)
{
    struct Case
    {
        const char *sql;
        const char *text;
        QVariantList values;
    } cases[] = {
        {"SELECT * FROM song WHERE song_num = 'it''s'", "SELECT * FROM song WHERE song_num = ?", {QString("it's")}},
        {"SELECT * FROM song WHERE song_kind = 1 AND song_text_count > 9  ORDER BY song_text_count, song_name",
         "SELECT * FROM song WHERE song_kind = ? AND song_text_count > ?  ORDER BY song_text_count, song_name",
         {qlonglong(1), qlonglong(9)}},
        {"select * from singer where singer_name like '%王_'", "select * from singer where singer_name like ?",
         {QString("%王_")}},
        {"SELECT a FROM t WHERE x IN (1,2) ORDER BY 1", "SELECT a FROM t WHERE x IN (1,2) ORDER BY 1", {}},
        {"SELECT \"it's\" FROM t WHERE c1=2.5", "SELECT \"it's\" FROM t WHERE c1=?", {2.5}},
        {"SELECT * FROM t WHERE a = '' AND b >= 10", "SELECT * FROM t WHERE a = ? AND b >= ?", {QString(""), qlonglong(10)}},
        {"INSERT INTO t VALUES ('a', 1)", "INSERT INTO t VALUES ('a', 1)", {}},
        {"SELECT * FROM t WHERE a = 'unterminated", "SELECT * FROM t WHERE a = 'unterminated", {}},
    };
    for (const Case &c : cases) {
        const ParameterizedSql p = parameterize(QString::fromUtf8(c.sql));
        EXPECT_EQ(p.text, QString::fromUtf8(c.text)) << c.sql;
        EXPECT_EQ(p.values, c.values) << c.sql;
    }
}

} // namespace
