#include "bulk/file_row.h"

#include "core/text_encoding.h"
#include "platform/file_name_bytes.h"

namespace {

const QString kFixTheName = QStringLiteral(" <----請修正檔名<<<<<<<<<<<<<<<<<<<<<");

QString formatErrorMessage(FileNameError error)
{
    switch (error) {
    case FileNameError::UnknownKind:
        return QStringLiteral(" 找不到種類;請用:台語,國語,客語,英語,日語,兒歌,其它,粵語. 雙擊可改檔名!");
    case FileNameError::BadCount:
        return QStringLiteral(" 字數不對;字數應大於等於1 , 小於255. 雙擊可改檔名!");
    case FileNameError::NotFourFields:
        return QStringLiteral(" 參數不夠;請用:歌手1+歌手2,歌名,種類,字數.副檔名 , 共4個餐數值. 雙擊可改檔名!");
    case FileNameError::NotUtf8:
        return QStringLiteral(" 檔名不是 UTF-8 編碼,程式無法開啟本檔;列出的是依 Big5 讀出的檔名. 雙擊可改檔名!");
    case FileNameError::Backslash:
        return QStringLiteral(" 檔名不能有 \\ ;歌曲的路徑以 \\ 分隔資料夾. 雙擊可改檔名!");
    case FileNameError::None:
        break;
    }
    return {};
}

QString confirmedCommandText(const FileRow &row)
{
    switch (row.command) {
    case RowCommand::AddAnyway:
        return QStringLiteral("新增");
    case RowCommand::Replace:
        return QStringLiteral("取代") + row.replacedNumber;
    case RowCommand::DeleteFile:
        return QStringLiteral("刪除本檔");
    default:
        return {};
    }
}

} // namespace

QString FileRow::fileName() const
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString FileRow::folder() const
{
    return path.left(qMax<qsizetype>(0, path.lastIndexOf(QLatin1Char('/'))));
}

QString FileRow::shownName() const
{
    const QString name = fileName();
    return isUnreadableFileName(name) ? decodeBig5(fileNameBytes(name)) : name;
}

void FileRow::reconfirm()
{
    confirmed = command != RowCommand::NoCommand && singerState == SingerState::Known
        && formatError == FileNameError::None && (command != RowCommand::Replace || !replacedNumber.isEmpty());
}

QString lstFileContent(const FileRow &row)
{
    if (row.command == RowCommand::Registered)
        return QStringLiteral("檔案已登錄:") + row.shownName();
    if (row.formatError == FileNameError::NotUtf8)
        return QStringLiteral("檔名無法讀取,請修正:") + row.shownName() + kFixTheName;
    if (row.formatError != FileNameError::None)
        return QStringLiteral("檔名格式有誤,請修正:") + row.shownName() + kFixTheName;
    if (row.confirmed && row.command == RowCommand::Ready)
        return QStringLiteral("準備登錄:%1,%2,%3,%4字部").arg(row.singerField, row.title, row.kindName).arg(row.count);
    const QString commandText = confirmedCommandText(row);
    if (row.confirmed && !commandText.isEmpty())
        return QStringLiteral("檔案已確認:") + row.shownName() + QStringLiteral("->") + commandText;
    return QStringLiteral("檔案需確認:") + row.shownName();
}

QString similarTitleMessage(RowCommand command)
{
    switch (command) {
    case RowCommand::NoCommand:
        return QStringLiteral(" 曲目於資料庫中有類似的! 請指定指令");
    case RowCommand::AddAnyway:
        return QStringLiteral(" 曲目於資料庫中有類似的! 指令 : 新增此曲目");
    case RowCommand::Replace:
        return QStringLiteral(" 曲目於資料庫中有類似的! 指令 : 取代此曲目");
    case RowCommand::DeleteFile:
        return QStringLiteral(" 曲目於資料庫中有類似的! 指令 : 刪除本檔");
    default:
        return {};
    }
}

SelectionMessage selectionMessage(const FileRow &row)
{
    SelectionMessage message;
    if (row.command == RowCommand::Registered) {
        message.text = QStringLiteral(" 本檔已登錄");
        return message;
    }
    message.text = formatErrorMessage(row.formatError);
    if (row.singerState == SingerState::Missing) {
        message.text += QStringLiteral(" 歌手資料尚未建立!");
        message.showAddSinger = true;
    }
    if (row.hasSimilarTitle()) {
        message.text += similarTitleMessage(row.command);
        message.showRepeat = true;
    }
    if (row.command == RowCommand::Ready && row.confirmed)
        message.text = QStringLiteral("此檔已可準備登錄系統");
    return message;
}
