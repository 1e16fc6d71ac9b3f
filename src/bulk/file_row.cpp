#include "bulk/file_row.h"

#include "bulk/list_file.h"

namespace {

QString formatErrorMessage(FileNameError error)
{
    switch (error) {
    case FileNameError::UnknownKind:
        return QStringLiteral(" 找不到種類;請用:台語,國語,客語,英語,日語,兒歌,其它,粵語. 雙擊可改檔名!");
    case FileNameError::BadCount:
        return QStringLiteral(" 字數不對;字數應大於等於1 , 小於255. 雙擊可改檔名!");
    case FileNameError::NotFourFields:
        return QStringLiteral(" 參數不夠;請用:歌手1+歌手2,歌名,種類,字數.副檔名 , 共4個餐數值. 雙擊可改檔名!");
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
    return fileNameOf(path);
}

void FileRow::reconfirm()
{
    confirmed = command != RowCommand::NoCommand && singerState == SingerState::Known
        && formatError == FileNameError::None && (command != RowCommand::Replace || !replacedNumber.isEmpty());
}

QString lstFileContent(const FileRow &row)
{
    if (row.command == RowCommand::Registered)
        return QStringLiteral("檔案已登錄:") + row.fileName();
    if (row.formatError != FileNameError::None)
        return QStringLiteral("檔名格式有誤,請修正:") + row.fileName()
            + QStringLiteral(" <----請修正檔名<<<<<<<<<<<<<<<<<<<<<");
    if (row.confirmed && row.command == RowCommand::Ready)
        return QStringLiteral("準備登錄:%1,%2,%3,%4字部").arg(row.singerField, row.title, row.kindName).arg(row.count);
    const QString commandText = confirmedCommandText(row);
    if (row.confirmed && !commandText.isEmpty())
        return QStringLiteral("檔案已確認:") + row.fileName() + QStringLiteral("->") + commandText;
    return QStringLiteral("檔案需確認:") + row.fileName();
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
