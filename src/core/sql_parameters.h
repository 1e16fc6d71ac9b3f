#pragma once

#include <QString>
#include <QVariantList>

// A query text with its literal values taken out as parameters, so that one prepared
// statement serves every query that differs only in the values looked up.
struct ParameterizedSql
{
    QString text;        // the query with "?" in place of each literal taken out
    QVariantList values; // the literals in order
};

// Takes out the text literals ('...', with '' standing for one apostrophe) and the numbers
// that follow a comparison (=, <, >) of a SELECT. Other statements come back unchanged.
ParameterizedSql parameterize(const QString &sql);
