#pragma once

#include <QString>

#include <vector>

// One row of a list the menus page through: a key (song number or singer code) and a text.
struct ListRow
{
    QString key;
    QString text;
    bool isEmpty() const { return key.isEmpty(); }
};

// A list of fixed capacity whose filled rows are packed from row 0. Reading a row past the
// filled ones, or past the capacity, gives an empty row.
class ResultTable
{
public:
    explicit ResultTable(int capacity);

    int capacity() const { return m_capacity; }
    int count() const { return int(m_rows.size()); }
    const ListRow &row(qint64 index) const;

    void clear();
    // Adds a row after the filled ones; false when the table is full.
    bool append(ListRow row);

private:
    int m_capacity;
    std::vector<ListRow> m_rows;
};
