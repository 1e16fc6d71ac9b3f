#include "platform/cdg/cdg_song.h"

#include "platform/cdg/zip_archive.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <mutex>

namespace {

const QString kCdg = QStringLiteral("cdg");
const QString kMp3 = QStringLiteral("mp3");
const QString kZip = QStringLiteral("zip");

QString extensionOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

QString baseOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

// The extension a partner of a file of this extension has; empty when it has none.
QString partnerExtension(const QString &extension)
{
    if (extension == kCdg)
        return kMp3;
    if (extension == kMp3)
        return kCdg;
    return {};
}

QString folded(const QString &base, const QString &extension)
{
    return (base + QLatin1Char('.') + extension).toCaseFolded();
}

CdgSong pairBeside(const QString &path, const QString &extension)
{
    const QString partner = cdgPartnerPath(path);
    CdgSong song;
    song.isCdg = extension == kCdg || !partner.isEmpty();
    if (!song.isCdg)
        return song;
    const QString cdg = extension == kCdg ? path : partner;
    const QString mp3 = extension == kCdg ? partner : path;
    song.pictures = {cdg, -1};
    song.sound = {mp3, -1};
    if (mp3.isEmpty()) {
        song.problem = QStringLiteral("CDG 檔旁沒有同名的 MP3 檔");
        song.fileMissing = true;
    }
    return song;
}

// Members a packing program adds beside the real ones: folders, and the resource copies
// ("__MACOSX/._song.mp3") some systems put in every zip file they make.
bool isPackingLeftover(const QString &name)
{
    const QString last = name.section(QLatin1Char('/'), -1);
    return name.endsWith(QLatin1Char('/')) || name.startsWith(QLatin1String("__MACOSX/")) || last.startsWith(QLatin1String("._"));
}

CdgSong pairInZip(const QString &path)
{
    CdgSong song;
    song.isCdg = true;
    ZipArchive zip(path);
    if (!zip.isOpen()) {
        song.problem = QStringLiteral("無法讀取壓縮檔 (%1)").arg(zip.errorText());
        song.fileMissing = !QFileInfo(path).isFile();
        return song;
    }
    int cdgCount = 0;
    int mp3Count = 0;
    const QStringList names = zip.memberNames();
    for (int i = 0; i < names.size(); ++i) {
        if (isPackingLeftover(names[i]))
            continue;
        const QString extension = extensionOf(names[i]);
        if (extension == kCdg && cdgCount++ == 0)
            song.pictures = {path, i};
        else if (extension == kMp3 && mp3Count++ == 0)
            song.sound = {path, i};
    }
    if (cdgCount != 1 || mp3Count != 1)
        song.problem = QStringLiteral("壓縮檔裡要有一個 CDG 檔和一個 MP3 檔");
    return song;
}

} // namespace

CdgSong findCdgSong(const QString &path)
{
    const QString extension = extensionOf(path);
    if (extension == kZip)
        return pairInZip(path);
    if (extension == kCdg || extension == kMp3)
        return pairBeside(path, extension);
    return {};
}

bool hasCdgSongExtension(const QString &fileName)
{
    const QString extension = extensionOf(fileName);
    return extension == kCdg || extension == kZip;
}

CdgPartners::CdgPartners(const QStringList &names)
{
    for (const QString &name : names) {
        const QString extension = extensionOf(name);
        if (extension == kCdg || extension == kMp3)
            m_byFoldedName.insert(name.toCaseFolded(), name);
    }
}

QString CdgPartners::partnerOf(const QString &name) const
{
    const QString extension = partnerExtension(extensionOf(name));
    if (extension.isEmpty())
        return {};
    return m_byFoldedName.value(folded(baseOf(name), extension));
}

namespace {

// The names of the folders read for partners, kept while each stays as it was, so a scan or a
// run of registrations in one folder reads it once. A folder changed less than a tick of the
// coarsest file-system clock (FAT's two seconds) before it was read is read again next time.
class PartnerCache
{
public:
    QString partnerOf(const QDir &folder, const QString &name)
    {
        const QString path = folder.absolutePath();
        const QDateTime modified = QFileInfo(path).lastModified();
        std::lock_guard lock(m_mutex);
        auto found = m_folders.find(path);
        if (found == m_folders.end() || found->modified != modified) {
            if (m_folders.size() >= kFolders)
                m_folders.clear();
            const bool settled = modified.isValid() && modified.secsTo(QDateTime::currentDateTime()) > kTickSeconds;
            Entry entry{settled ? modified : QDateTime(), CdgPartners(folder.entryList(QDir::Files))};
            found = m_folders.insert(path, entry);
        }
        return found->partners.partnerOf(name);
    }

private:
    static constexpr int kFolders = 16;
    static constexpr int kTickSeconds = 2;
    struct Entry
    {
        QDateTime modified; // invalid: read again next time
        CdgPartners partners;
    };
    std::mutex m_mutex;
    QHash<QString, Entry> m_folders;
};

PartnerCache &partnerCache()
{
    static PartnerCache cache;
    return cache;
}

} // namespace

QString cdgPartnerPath(const QString &path)
{
    const QFileInfo file(path);
    const QString extension = partnerExtension(extensionOf(file.fileName()));
    if (extension.isEmpty())
        return {};
    const QString base = baseOf(file.fileName());
    // The usual spellings first; the folder's names only when neither is there.
    for (const QString &candidate : {base + QLatin1Char('.') + extension, base + QLatin1Char('.') + extension.toUpper()}) {
        const QFileInfo beside(file.dir(), candidate);
        if (beside.isFile())
            return beside.filePath();
    }
    const QString name = partnerCache().partnerOf(file.dir(), file.fileName());
    if (name.isEmpty() || !QFileInfo(file.dir(), name).isFile())
        return {};
    return file.dir().filePath(name);
}
