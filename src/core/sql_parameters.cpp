#include "core/sql_parameters.h"

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool followsComparison(const QString &out)
{
    qsizetype i = out.size() - 1;
    while (i >= 0 && out[i].isSpace())
        --i;
    return i >= 0 && (out[i] == QLatin1Char('=') || out[i] == QLatin1Char('<') || out[i] == QLatin1Char('>'));
}

// Reads a '...' literal starting at sql[i]; returns the index after it, or -1 if unterminated.
qsizetype readText(const QString &sql, qsizetype i, QString *value)
{
    for (qsizetype j = i + 1; j < sql.size(); ++j) {
        if (sql[j] != QLatin1Char('\'')) {
            *value += sql[j];
            continue;
        }
        if (j + 1 < sql.size() && sql[j + 1] == QLatin1Char('\'')) {
            *value += QLatin1Char('\'');
            ++j;
            continue;
        }
        return j + 1;
    }
    return -1;
}

qsizetype readNumber(const QString &sql, qsizetype i, QVariant *value)
{
    qsizetype j = i;
    bool fraction = false;
    while (j < sql.size() && (sql[j].isDigit() || (sql[j] == QLatin1Char('.') && !fraction))) {
        fraction = fraction || sql[j] == QLatin1Char('.');
        ++j;
    }
    if (j < sql.size() && isWordChar(sql[j]))
        return -1; // part of a name such as 1abc
    const QString digits = sql.mid(i, j - i);
    bool ok = false;
    if (fraction)
        *value = digits.toDouble(&ok);
    else
        *value = digits.toLongLong(&ok);
    return ok ? j : -1;
}

} // namespace

ParameterizedSql parameterize(const QString &sql)
{
    if (!sql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive))
        return {sql, {}};
    ParameterizedSql result;
    result.text.reserve(sql.size());
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'')) {
            QString text;
            const qsizetype end = readText(sql, i, &text);
            if (end < 0)
                return {sql, {}}; // let the engine report the broken literal
            result.text += QLatin1Char('?');
            result.values.append(text);
            i = end;
            continue;
        }
        if (c.isDigit() && (i == 0 || !isWordChar(sql[i - 1])) && followsComparison(result.text)) {
            QVariant number;
            const qsizetype end = readNumber(sql, i, &number);
            if (end > 0) {
                result.text += QLatin1Char('?');
                result.values.append(number);
                i = end;
                continue;
            }
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('"') ? QLatin1Char('"') : QLatin1Char(']');
            const qsizetype end = sql.indexOf(close, i + 1);
            if (end < 0)
                return {sql, {}};
            result.text += sql.mid(i, end - i + 1);
            i = end + 1;
            continue;
        }
        result.text += c;
        ++i;
    }
    return result;
}
