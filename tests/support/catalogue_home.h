#pragma once

#include "catalogue/local_catalogue.h"
#include "core/database.h"
#include "core/init_system.h"
#include "core/shared_state.h"
#include "support/catalogue_builder.h"
#include "support/temp_home.h"

#include <QStringList>

// A fresh program folder started as the program starts it (on the file system and clock the
// test gives), with its catalogue and the catalogue file as its store: songs and singers are
// written in by the builder and read back through a connection of its own, as another program
// would see them.
struct CatalogueHome
{
    CatalogueHome(FileSystem &fs, Clock &clock)
        : init(InitSystem(state, fs, clock, home.path()))
    {
        if (state.database) {
            local = std::make_unique<LocalCatalogue>(state.db());
            state.catalogueStore = local.get();
        }
    }

    // All rows of a query as "a|b|c" lines, or as a record set.
    QStringList rows(const QString &sql, SqlValues values = {})
    {
        QStringList lines;
        reader.forEachRow(sql, values, [&](const RowView &row) {
            QStringList cells;
            for (int c = 0; c < row.columnCount(); ++c)
                cells.append(row.text(c));
            lines.append(cells.join(QLatin1Char('|')));
            return true;
        });
        return lines;
    }
    Recordset query(const QString &sql, SqlValues values = {}) { return reader.OpenRecordset(sql, values); }
    // The first column of the first row, as a number.
    int count(const QString &sql, SqlValues values = {}) { return reader.OpenRecordset(sql, values).value(0).toInt(); }
    int songRows() { return count(QStringLiteral("SELECT count(*) FROM song")); }
    // A real file in the program folder.
    QString mediaFile(const QString &name)
    {
        home.write(name, QByteArray("media"));
        return home.file(name);
    }

    TempHome home;
    SharedState state;
    InitResult init;
    std::unique_ptr<LocalCatalogue> local;
    CatalogueBuilder catalogue{home.file(QStringLiteral("karaoke.mdb"))};
    Database reader{home.file(QStringLiteral("karaoke.mdb"))};
};
