#pragma once

#include "bulk/file_row.h"
#include "catalogue/song_files.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class FileSystem;
class Progress;
struct SharedState;

// The table of a folder registered by file name: each supported file with what its name says
// and how it stands against the catalogue.
class FileTable
{
public:
    FileTable(SharedState &state, FileSystem &fs);

    // Reads the folder afresh, checking each supported file as it is listed, and calls
    // onRowAdded with each new row's index. False when the owner stopped the scan (the rows
    // read so far stay).
    bool scan(const QString &folder, Progress &progress, const std::function<void(int)> &onRowAdded = {});

    // Checks one row against its name and the catalogue (setArySong); true when its file is
    // registered already.
    bool setArySong(int i);
    // Moves the row's file to a new name in the same folder and checks it again; the .cdg of a
    // pair goes along. Refused (false, nothing changed) when a file of that name exists, the
    // extension is not supported, or the name would change the kind of file.
    bool rename(int i, const QString &newFileName);

    int size() const { return int(m_rows.size()); }
    FileRow &row(int i) { return m_rows[size_t(i)]; }
    const FileRow &row(int i) const { return m_rows[size_t(i)]; }
    const std::vector<FileRow> &rows() const { return m_rows; }
    // The first row that cannot be registered yet, or -1.
    int firstUnconfirmed() const;

private:
    void checkAgainstCatalogue(FileRow &row);
    RegisteredFiles &registeredFiles();

    SharedState &m_state;
    FileSystem &m_fs;
    std::vector<FileRow> m_rows;
    // Read afresh at each scan: songs registered meanwhile elsewhere are seen.
    std::optional<RegisteredFiles> m_registered;
};
