#pragma once

#include <QSaveFile>
#include <QString>

class QFileDevice;

// A file the program writes for the owner (Setting.ini, a PDF, a spreadsheet). The new bytes
// go to a file beside it, which takes its place only once every byte is on the disk: on any
// failure (a full disk, a path that names a folder, a device or a pipe) the file that was
// there stays as it was, and error() says why.
class OutputFile
{
public:
    explicit OutputFile(const QString &path);

    // Starts the new file; false when the path is not a regular file or nothing can be
    // written beside it.
    bool open();
    // Where the new bytes go.
    QIODevice &device() { return m_writes; }
    // True once a write has failed: the file will not take its place.
    bool failed() const { return m_writes.failed() || m_file.error() != QFileDevice::NoError; }
    // Puts the new file in place; false when any of it did not reach the disk. A file never
    // committed is dropped.
    bool commit();
    // Why the file could not be opened or committed, or why a write has failed.
    QString error() const;

    // Writes bytes as the whole file.
    static bool write(const QString &path, const QByteArray &bytes, QString *error = nullptr);

private:
    // Gathers the writes and hands them on to the save file whole, a block at a time. The
    // file reports a write cut short by a full disk as done, without an error; writing the
    // rest makes the system say why.
    class WholeWrites : public QIODevice
    {
    public:
        explicit WholeWrites(QSaveFile &file) : m_file(file) {}
        bool isSequential() const override { return true; }
        bool failed() const { return m_failed; }
        // Hands on what is gathered; false once any write failed.
        bool send();

    protected:
        qint64 readData(char *, qint64) override { return -1; }
        qint64 writeData(const char *data, qint64 length) override;

    private:
        QSaveFile &m_file;
        QByteArray m_gathered;
        bool m_failed = false;
    };

    bool fail(const QString &reason);

    QSaveFile m_file;
    WholeWrites m_writes{m_file};
    QString m_error;
};

// Hands what Qt still buffers for file to the system and waits until it is on the disk.
// False, with the reason, when any write on the way failed: Qt's own close() would not say.
bool flushToDisk(QFileDevice &file, QString *error = nullptr);
