#include "xlsx_reader.h"

#include <QProcess>
#include <QXmlStreamReader>

namespace {

QByteArray unzipPart(const QString &path, const QString &part, QString *problem)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, part});
    if (!unzip.waitForFinished(30000) || unzip.exitCode() != 0) {
        *problem += QStringLiteral("cannot unzip %1 from %2; ").arg(part, path);
        return QByteArray();
    }
    return unzip.readAllStandardOutput();
}

QStringList readSharedStrings(const QByteArray &xml)
{
    QStringList strings;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.name() == QLatin1String("si"))
            strings.append(QString());
        else if (reader.name() == QLatin1String("t") && !strings.isEmpty())
            strings.last() += reader.readElementText();
    }
    return strings;
}

int rowOf(const QString &cellRef)
{
    qsizetype digits = 0;
    while (digits < cellRef.size() && !cellRef[digits].isDigit())
        ++digits;
    return cellRef.mid(digits).toInt();
}

} // namespace

XlsxReader::XlsxReader(const QString &path)
{
    const QStringList sharedStrings = readSharedStrings(unzipPart(path, QStringLiteral("xl/sharedStrings.xml"), &m_problem));
    readStyles(unzipPart(path, QStringLiteral("xl/styles.xml"), &m_problem));
    readSheet(unzipPart(path, QStringLiteral("xl/worksheets/sheet1.xml"), &m_problem), sharedStrings);
}

void XlsxReader::readStyles(const QByteArray &xml)
{
    QList<QString> fonts;
    QList<QString> borders;
    QString section;
    QXmlStreamReader reader(xml);
    QString fontName;
    QString fontSize;
    QStringList lines;
    while (!reader.atEnd()) {
        reader.readNext();
        const QStringView name = reader.name();
        if (reader.isEndElement()) {
            if (name == QLatin1String("font") && section == QLatin1String("fonts"))
                fonts.append(fontName + QLatin1Char(' ') + fontSize);
            if (name == QLatin1String("border"))
                borders.append(QStringList{lines.value(0), lines.value(2), lines.value(1), lines.value(3)}.join(' '));
            continue;
        }
        if (!reader.isStartElement())
            continue;
        const QXmlStreamAttributes a = reader.attributes();
        if (name == QLatin1String("fonts") || name == QLatin1String("borders") || name == QLatin1String("cellXfs")
            || name == QLatin1String("cellStyleXfs")) {
            section = name.toString();
        } else if (name == QLatin1String("name") && section == QLatin1String("fonts")) {
            fontName = a.value(QLatin1String("val")).toString();
        } else if (name == QLatin1String("sz") && section == QLatin1String("fonts")) {
            fontSize = a.value(QLatin1String("val")).toString();
        } else if (name == QLatin1String("border")) {
            lines.clear();
        } else if (section == QLatin1String("borders")
                   && (name == QLatin1String("left") || name == QLatin1String("right") || name == QLatin1String("top")
                       || name == QLatin1String("bottom"))) {
            const QString style = a.value(QLatin1String("style")).toString();
            lines.append(style.isEmpty() ? QStringLiteral("none") : style);
        } else if (name == QLatin1String("xf") && section == QLatin1String("cellXfs")) {
            m_styleBorders.append(borders.value(a.value(QLatin1String("borderId")).toInt()));
            m_styleFonts.append(fonts.value(a.value(QLatin1String("fontId")).toInt()));
        }
    }
}

void XlsxReader::readSheet(const QByteArray &xml, const QStringList &sharedStrings)
{
    QXmlStreamReader reader(xml);
    QString cellRef;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        const QStringView name = reader.name();
        const QXmlStreamAttributes a = reader.attributes();
        if (name == QLatin1String("c")) {
            cellRef = a.value(QLatin1String("r")).toString();
            Cell &cell = m_cells[cellRef];
            cell.style = a.value(QLatin1String("s")).toInt();
            m_lastRow = qMax(m_lastRow, rowOf(cellRef));
            if (a.value(QLatin1String("t")) == QLatin1String("s")) {
                reader.readNextStartElement();
                cell.text = sharedStrings.value(reader.readElementText().toInt());
            }
        } else if (name == QLatin1String("brk")) {
            m_breaksBefore.append(a.value(QLatin1String("id")).toInt() + 1);
        } else if (name == QLatin1String("oddHeader")) {
            m_header = reader.readElementText();
        } else if (name == QLatin1String("oddFooter")) {
            m_footer = reader.readElementText();
        } else if (name == QLatin1String("pageSetup") || name == QLatin1String("printOptions")) {
            for (const QXmlStreamAttribute &attribute : a)
                m_pageSetup.insert(attribute.name().toString(), attribute.value().toString());
        } else if (name == QLatin1String("col")) {
            for (int c = a.value(QLatin1String("min")).toInt(); c <= a.value(QLatin1String("max")).toInt(); ++c)
                m_columnWidths.insert(c, a.value(QLatin1String("width")).toDouble());
        }
    }
    if (reader.hasError())
        m_problem += reader.errorString();
}

QString XlsxReader::text(const QString &cell) const
{
    return m_cells.value(cell).text;
}

QString XlsxReader::borders(const QString &cell) const
{
    if (!m_cells.contains(cell))
        return QStringLiteral("none none none none");
    return m_styleBorders.value(m_cells.value(cell).style);
}

QString XlsxReader::font(const QString &cell) const
{
    return m_styleFonts.value(m_cells.value(cell).style);
}
