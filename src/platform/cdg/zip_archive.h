#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

struct zip;
struct zip_file;

// A zip file opened for reading its members in place, never unpacked to disk (libzip).
// One archive is used by one thread at a time.
class ZipArchive
{
public:
    explicit ZipArchive(const QString &path);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    // Why the file could not be opened as a zip file.
    QString errorText() const { return m_error; }
    // Every member's name, by index.
    QStringList memberNames() const;
    // The member's size once unpacked; -1 when it cannot be read.
    std::int64_t memberSize(int index) const;

    // One member read from its start.
    class Member
    {
    public:
        Member(ZipArchive &archive, int index);
        ~Member();
        Member(const Member &) = delete;
        Member &operator=(const Member &) = delete;

        bool isOpen() const { return m_file != nullptr; }
        // Up to size bytes; 0 at the end, -1 on an error (a damaged member).
        std::int64_t read(void *buffer, std::uint64_t size);

    private:
        zip_file *m_file = nullptr;
    };

private:
    zip *m_zip = nullptr;
    QString m_error;
};
