#pragma once

#include <QString>

// What the printers tell the owner.
namespace PrinterTexts {

inline QString savedAsPdf(const QString &path)
{
    return QStringLiteral("這台電腦沒有印表機, 文件已存成 PDF 檔: ") + path;
}

inline QString cannotWritePdf(const QString &path, const QString &reason)
{
    return QStringLiteral("無法寫入 PDF 檔 ") + path + QStringLiteral(" (") + reason + QStringLiteral(")");
}

inline QString printerFailed(const QString &printerName)
{
    return QStringLiteral("印表機 ") + printerName + QStringLiteral(" 發生錯誤, 文件沒有印出");
}

} // namespace PrinterTexts
