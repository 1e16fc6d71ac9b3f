#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <stdexcept>

// A fresh program folder for one test, removed afterwards.
class TempHome
{
public:
    TempHome()
        : m_dir(QDir::tempPath() + QStringLiteral("/karaoke-test-XXXXXX"))
    {
        if (!m_dir.isValid())
            throw std::runtime_error("cannot create a temporary folder");
    }
    QString path() const { return m_dir.path(); } // without trailing "/"
    QString file(const QString &name) const { return m_dir.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(file(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write test file");
    }
    QByteArray read(const QString &name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};
