#include "core/settings_file.h"

#include "core/file_path.h"

#include "platform/file_system.h"
#include "core/leading_number.h"
#include "core/text_encoding.h"

#include <QDir>
#include <QSet>

namespace {

const QString kKeyCommentPrefix = QStringLiteral("# 鍵盤定義 .. ");

QList<SettingsKey> buildKeyTable()
{
    QList<SettingsKey> table = {
        {"SmallScreenTop", "# 小視窗離上位置, 單位=twip, 1cm=567 twip", "SmallScreenTop = 200"},
        {"SmallScreenLeft", "# 小視窗離左位置, 單位=twip, 1cm=567 twip", "SmallScreenLeft = 700"},
        {"RecordPath", "# 錄音檔位置", "RecordPath = Record"},
        {"pathCDROM", "# CD-ROM / DVD-ROM 的路徑", "pathCDROM = /media/cdrom"},
        {"pathMusic", "# 音樂檔的路徑", "pathMusic = Music"},
        {"ExtMusic", "# 音樂檔的副檔名", "ExtMusic = mp3,wav,mid,cda"},
        {"pathPicture", "# 圖片檔的路徑", "pathPicture = Photo"},
        {"ExtPicture", "# 圖片檔的副檔名", "ExtPicture = jpg,bmp"},
        {"ExtPictureMov", "# 圖片檔的副檔名", "ExtPictureMov = avi,mpg,mpeg,dat"},
        {"keyDevide", kKeyCommentPrefix + "\"/\" ", "keyDevide = 47"},
        {"keyMultiplication", kKeyCommentPrefix + "\"*\" ", "keyMultiplication = 42"},
        {"keyMinus", kKeyCommentPrefix + "\"-\" ", "keyMinus = 45"},
        {"keyPlus", kKeyCommentPrefix + "\"+\" ", "keyPlus = 43"},
        {"keyEnter", kKeyCommentPrefix + "\"Enter\" ", "keyEnter = 13"},
        {"keyDot", kKeyCommentPrefix + "\".\" ", "keyDot = 46"},
    };
    for (int d = 0; d <= 9; ++d) {
        table.append({QStringLiteral("keyNum(%1)").arg(d),
                      kKeyCommentPrefix + QStringLiteral("\"%1\" ").arg(d),
                      QStringLiteral("keyNum(%1) = %2").arg(d).arg(48 + d)});
    }
    table.append({
        {"HotKeySoundChannel1", "# 熱鍵定義 聲道1 default=Q  ", "HotKeySoundChannel1 = 81"},
        {"HotKeySoundChannel2", "# 熱鍵定義 聲道2 default=W  ", "HotKeySoundChannel2 = 87"},
        {"HotKeySoundChannel3", "# 熱鍵定義 聲道3 default=E  ", "HotKeySoundChannel3 = 69"},
        {"HotKeyRecord", "# 熱鍵定義 錄音  default=R ", "HotKeyRecord = 82"},
        {"HotKeyPause", "# 熱鍵定義 暫停  default=P ", "HotKeyPause = 80"},
        {"HotKeyReplay", "# 熱鍵定義 重唱  default=A ", "HotKeyReplay = 65"},
        {"HotKeyVolIncrease", "# 熱鍵定義 大聲  default=X ", "HotKeyVolIncrease  = 88"},
        {"HotKeyVolDecrease", "# 熱鍵定義 小聲  default=Z ", "HotKeyVolDecrease  = 90"},
    });
    return table;
}

QString trimBlanks(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r'); };
    while (start < end && blank(text[start]))
        ++start;
    while (end > start && blank(text[end - 1]))
        --end;
    return text.mid(start, end - start);
}

QStringList splitLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

// The value: the trimmed text between the first and the second "=".
QString lineValue(const QString &line)
{
    const QStringList parts = line.split(QLatin1Char('='));
    return parts.size() < 2 ? QString() : trimBlanks(parts[1]);
}

// How each value-bearing key is read; keys not listed here (the hot keys) are never read back.
struct KeyReader
{
    const char *key; // upper case, as compared
    enum Kind { Folder, Text, Number, KeyCode } kind;
    QString Settings::*text = nullptr;
    int Settings::*number = nullptr;
};

const KeyReader kReaders[] = {
    {"RECORDPATH", KeyReader::Folder, &Settings::RecordPath},
    {"PATHCDROM", KeyReader::Folder, &Settings::pathCDROM},
    {"PATHMUSIC", KeyReader::Folder, &Settings::pathMusic},
    {"EXTMUSIC", KeyReader::Text, &Settings::ExtMusic},
    {"PATHPICTURE", KeyReader::Folder, &Settings::pathPicture},
    {"EXTPICTURE", KeyReader::Text, &Settings::ExtPicture},
    {"EXTPICTUREMOV", KeyReader::Text, &Settings::ExtPictureMov},
    {"SMALLSCREENTOP", KeyReader::Number, nullptr, &Settings::SmallScreenTop},
    {"SMALLSCREENLEFT", KeyReader::Number, nullptr, &Settings::SmallScreenLeft},
    {"KEYDEVIDE", KeyReader::KeyCode, &Settings::keyDevide},
    {"KEYMULTIPLICATION", KeyReader::KeyCode, &Settings::keyMultiplication},
    {"KEYMINUS", KeyReader::KeyCode, &Settings::keyMinus},
    {"KEYPLUS", KeyReader::KeyCode, &Settings::keyPlus},
    {"KEYENTER", KeyReader::KeyCode, &Settings::keyEnter},
    {"KEYDOT", KeyReader::KeyCode, &Settings::keyDot},
    {"MANAGERPIN", KeyReader::Text, &Settings::ManagerPin},
};

void applyLine(Settings &s, const QString &key, const QString &value, const QString &appPath)
{
    for (const KeyReader &reader : kReaders) {
        if (key != QLatin1String(reader.key))
            continue;
        switch (reader.kind) {
        case KeyReader::Folder:
            s.*reader.text = resolvePath(appPath, value);
            break;
        case KeyReader::Text:
            s.*reader.text = value;
            break;
        case KeyReader::Number:
            s.*reader.number = leadingInteger(value);
            break;
        case KeyReader::KeyCode:
            s.*reader.text = leadingNumberText(value);
            break;
        }
    }
    for (int d = 0; d <= 9; ++d) {
        if (key == QStringLiteral("KEYNUM(%1)").arg(d))
            s.keyNum[size_t(d)] = leadingNumberText(value);
    }
}

Settings defaultSettings(const QString &appPath)
{
    Settings s;
    for (const SettingsKey &entry : SettingsFile::keyTable())
        applyLine(s, settingsLineKey(entry.defaultLine), lineValue(entry.defaultLine), appPath);
    return s;
}

} // namespace

const QList<SettingsKey> &SettingsFile::keyTable()
{
    static const QList<SettingsKey> table = buildKeyTable();
    return table;
}

QString settingsLineKey(const QString &line)
{
    const QString trimmed = trimBlanks(line);
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
        return {};
    return trimBlanks(trimmed.section(QLatin1Char('='), 0, 0)).toUpper();
}

bool SettingsFile::complete(FileSystem &fs, const QString &path, QString *problem)
{
    if (!fs.fileExists(path) && !fs.writeAll(path, QByteArray())) {
        *problem = QStringLiteral("無法建立設定檔 %1").arg(path);
        return false;
    }
    bool readable = false;
    const QByteArray bytes = fs.readAll(path, &readable);
    if (!readable) {
        *problem = QStringLiteral("無法讀取設定檔 %1").arg(path);
        return false;
    }
    QSet<QString> present;
    for (const QString &line : splitLines(decodeText(bytes)))
        present.insert(settingsLineKey(line));

    QString blocks;
    for (const SettingsKey &entry : keyTable()) {
        if (!present.contains(entry.name.trimmed().toUpper()))
            blocks += entry.comment + QStringLiteral("\r\n") + entry.defaultLine + QStringLiteral("\r\n");
    }
    if (blocks.isEmpty())
        return true;
    // A last line without its line end would otherwise run into the first appended comment.
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        blocks.prepend(QStringLiteral("\r\n"));
    if (!fs.append(path, encodeText(blocks, detectEncoding(bytes)))) {
        *problem = QStringLiteral("無法寫入設定檔 %1").arg(path);
        return false;
    }
    return true;
}

Settings SettingsFile::parse(const QString &text, const QString &appPath)
{
    Settings s = defaultSettings(appPath);
    for (const QString &line : splitLines(text)) {
        const QString key = settingsLineKey(line);
        // A line naming a key but without "=" carries no value and is skipped.
        if (key.isEmpty() || !line.contains(QLatin1Char('=')))
            continue;
        applyLine(s, key, lineValue(line), appPath);
    }
    return s;
}
