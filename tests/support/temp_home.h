#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh program folder for one test, removed afterwards.
class TempHome
{
public:
    TempHome();
    QString path() const;            // without trailing "/"
    QString file(const QString &name) const;
    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;

private:
    QTemporaryDir m_dir;
};
