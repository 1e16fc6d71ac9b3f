#include "support/temp_home.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

TempHome::TempHome()
    : m_dir(QDir::tempPath() + QStringLiteral("/karaoke-test-XXXXXX"))
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempHome::path() const
{
    return m_dir.path();
}

QString TempHome::file(const QString &name) const
{
    return m_dir.filePath(name);
}

void TempHome::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

QByteArray TempHome::read(const QString &name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
