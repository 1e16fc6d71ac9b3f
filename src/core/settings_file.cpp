#include "core/settings_file.h"

#include "core/file_path.h"
#include "core/leading_number.h"
#include "core/text_encoding.h"
#include "platform/file_system.h"

#include <QRegularExpression>
#include <QSet>

#include <optional>

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

// Lines end in CR LF, LF or a lone CR (as older editors save).
QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    lines.append(text.mid(start));
    return lines;
}

bool endsWithLineEnd(const QString &text)
{
    return text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
}

bool isUtf16(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
}

// The default blocks of the keys the text lacks, in table order, each followed by CR LF.
QString missingBlocks(const QString &text)
{
    QSet<QString> present;
    for (const QString &line : splitLines(text))
        present.insert(settingsLineKey(line));
    QString blocks;
    for (const SettingsKey &entry : SettingsFile::keyTable()) {
        if (!present.contains(entry.name.trimmed().toUpper()))
            blocks += entry.comment + QStringLiteral("\r\n") + entry.defaultLine + QStringLiteral("\r\n");
    }
    return blocks;
}

// The value: the trimmed text between the first and the second "=".
QString lineValue(const QString &line)
{
    const qsizetype first = line.indexOf(QLatin1Char('='));
    if (first < 0)
        return {};
    const qsizetype second = line.indexOf(QLatin1Char('='), first + 1);
    return trimBlanks(line.mid(first + 1, second < 0 ? -1 : second - first - 1));
}

// Everything after the first "=", trimmed: a connection string holds "=" of its own.
QString restOfLine(const QString &line)
{
    const qsizetype first = line.indexOf(QLatin1Char('='));
    return first < 0 ? QString() : trimBlanks(line.mid(first + 1));
}

// The digit d of a key "KEYNUM(d)", or -1.
int keyNumDigit(const QString &key)
{
    if (key.size() != 9 || !key.startsWith(QLatin1String("KEYNUM(")) || key[8] != QLatin1Char(')'))
        return -1;
    const QChar digit = key[7];
    return digit >= QLatin1Char('0') && digit <= QLatin1Char('9') ? digit.unicode() - '0' : -1;
}

// How each value-bearing key is read; keys not listed here (the hot keys) are never read back.
struct KeyReader
{
    const char *key; // upper case, as compared
    enum Kind { Folder, Text, Number, KeyCode, LoudnessTarget, WholeText } kind;
    QString Settings::*text = nullptr;
    int Settings::*number = nullptr;
    double Settings::*decimal = nullptr;
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
    {"PHONEORDERING", KeyReader::Text, &Settings::PhoneOrdering},
    {"PHONEPORT", KeyReader::Text, &Settings::PhonePort},
    {"PHONELISTEN", KeyReader::Text, &Settings::PhoneListen},
    {"PHONETOKEN", KeyReader::Text, &Settings::PhoneToken},
    {"PHONEOWNERACTIONS", KeyReader::Text, &Settings::PhoneOwnerActions},
    {"LOUDNESSTARGET", KeyReader::LoudnessTarget, nullptr, nullptr, &Settings::LoudnessTarget},
    {"EVENLOUDNESS", KeyReader::Number, nullptr, &Settings::EvenLoudness},
    {"CATALOGUESERVER", KeyReader::WholeText, &Settings::CatalogueServer},
    {"MEDIAROOT", KeyReader::Text, &Settings::MediaRoot},
};

// A target the owner wrote: a number of LUFS between -30 and -10, with an ASCII or a Unicode
// minus and "LUFS" after it or not. Anything else would play every song far too loud or quiet.
std::optional<double> loudnessTarget(QString value)
{
    value.replace(QChar(0x2212), QLatin1Char('-'));
    if (value.endsWith(QLatin1String("LUFS"), Qt::CaseInsensitive))
        value.chop(4);
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    value = value.trimmed();
    if (!number.match(value).hasMatch())
        return std::nullopt;
    const double target = value.toDouble();
    if (target < -30 || target > -10)
        return std::nullopt;
    return target;
}

void readLoudnessTarget(double &target, const QString &value, QStringList *notices)
{
    const std::optional<double> read = loudnessTarget(value);
    target = read.value_or(Settings().LoudnessTarget);
    if (!read && notices)
        notices->append(QStringLiteral("Setting.ini 的 LoudnessTarget「%1」無法使用 (要 -30 到 -10 之間的 LUFS), 以 %2 LUFS 播放")
                            .arg(value)
                            .arg(target));
}

void applyLine(Settings &s, const QString &key, const QString &line, const QString &appPath,
               QStringList *notices = nullptr)
{
    const QString value = lineValue(line);
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
        case KeyReader::LoudnessTarget:
            readLoudnessTarget(s.*reader.decimal, value, notices);
            break;
        case KeyReader::WholeText:
            s.*reader.text = restOfLine(line);
            break;
        }
    }
    if (const int d = keyNumDigit(key); d >= 0)
        s.keyNum[size_t(d)] = leadingNumberText(value);
}

Settings defaultSettings(const QString &appPath)
{
    Settings s;
    for (const SettingsKey &entry : SettingsFile::keyTable())
        applyLine(s, settingsLineKey(entry.defaultLine), entry.defaultLine, appPath);
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

QByteArray SettingsFile::completedBytes(const QByteArray &bytes)
{
    const QString text = decodeText(bytes);
    QString blocks = missingBlocks(text);
    if (blocks.isEmpty())
        return bytes;
    // A last line without its line end would otherwise run into the first appended comment.
    if (!text.isEmpty() && !endsWithLineEnd(text))
        blocks.prepend(QStringLiteral("\r\n"));
    const TextEncoding encoding = detectEncoding(bytes);
    QByteArray completed = bytes;
    // UTF-16 goes on at a whole code unit: a stray last byte would shift every appended character.
    if (isUtf16(encoding) && completed.size() % 2 != 0)
        completed.append('\0');
    return completed + encodeText(blocks, encoding);
}

QString SettingsFile::complete(FileSystem &fs, const QString &path, QString *problem)
{
    QByteArray bytes;
    const FileSystem::Kind kind = fs.kindOf(path);
    if (kind == FileSystem::Kind::File) {
        bool readable = false;
        bytes = fs.readAll(path, &readable);
        if (!readable) {
            *problem = QStringLiteral("無法讀取設定檔 %1，以預設值啟動，檔案保持原樣").arg(path);
            return {};
        }
    } else if (kind != FileSystem::Kind::Missing) {
        *problem = QStringLiteral("設定檔 %1 不是一般檔案，以預設值啟動").arg(path);
        return {};
    }
    const QByteArray completed = completedBytes(bytes);
    if (completed.size() != bytes.size() && !fs.writeAll(path, completed)) {
        *problem = kind == FileSystem::Kind::Missing
            ? QStringLiteral("無法建立設定檔 %1，以預設值啟動").arg(path)
            : QStringLiteral("無法寫入設定檔 %1，缺少的設定以預設值啟動").arg(path);
    }
    return decodeText(completed);
}

Settings SettingsFile::load(FileSystem &fs, const QString &path, const QString &appPath, QString *problem,
                            QStringList *notices)
{
    return parse(complete(fs, path, problem), appPath, notices);
}

QString SettingsFile::lineValueOf(const QString &text, const QString &key)
{
    QString value;
    for (const QString &line : splitLines(text)) {
        if (settingsLineKey(line) == key)
            value = lineValue(line);
    }
    return value;
}

Settings SettingsFile::parse(const QString &text, const QString &appPath, QStringList *notices)
{
    Settings s = defaultSettings(appPath);
    for (const QString &line : splitLines(text)) {
        const QString key = settingsLineKey(line);
        // A line naming a key but without "=" carries no value and is skipped.
        if (key.isEmpty() || !line.contains(QLatin1Char('=')))
            continue;
        applyLine(s, key, line, appPath, notices);
    }
    return s;
}
