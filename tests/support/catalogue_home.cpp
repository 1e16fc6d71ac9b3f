#include "support/catalogue_home.h"

CatalogueHome::CatalogueHome(FileSystem &fs, Clock &clock)
    : init(InitSystem(state, fs, clock, home.path()))
{
}

QStringList CatalogueHome::rows(const QString &sql, SqlValues values)
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

int CatalogueHome::count(const QString &sql, SqlValues values)
{
    return reader.OpenRecordset(sql, values).value(0).toInt();
}

QString CatalogueHome::mediaFile(const QString &name)
{
    home.write(name, QByteArray("media"));
    return home.file(name);
}
