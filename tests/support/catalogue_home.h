#pragma once

#include "core/database.h"
#include "core/init_system.h"
#include "core/shared_state.h"
#include "support/catalogue_builder.h"
#include "support/fake_clock.h"
#include "support/fake_file_system.h"
#include "support/temp_home.h"

#include <QStringList>

// A fresh program folder started as the program starts it, with its catalogue: songs and
// singers are written in by the builder, and read back through a connection of its own, as
// another program would see them.
struct CatalogueHome
{
    CatalogueHome();

    // All rows of a query as "a|b|c" lines.
    QStringList rows(const QString &sql, SqlValues values = {});
    // The first column of the first row, as a number.
    int count(const QString &sql, SqlValues values = {});
    // A real file in the program folder.
    QString mediaFile(const QString &name);

    TempHome home;
    FakeFileSystem fileSystem;
    FakeClock clock;
    SharedState state;
    InitResult init;
    CatalogueBuilder catalogue{home.file(QStringLiteral("karaoke.mdb"))};
    Database reader{home.file(QStringLiteral("karaoke.mdb"))};
};
