#include "core/history_options.h"

#include "core/settings_file.h"

namespace {

bool lineIsOn(const QString &text, const QString &key)
{
    return SettingsFile::lineValueOf(text, key).trimmed() == QLatin1String("1");
}

} // namespace

HistoryOptions HistoryOptions::fromSettingsText(const QString &text, QString *notice)
{
    HistoryOptions options;
    options.rememberKey = lineIsOn(text, QStringLiteral("REMEMBERKEY"));
    options.fairTurns = lineIsOn(text, QStringLiteral("FAIRTURNS"));
    const QString days = SettingsFile::lineValueOf(text, QStringLiteral("HISTORYDAYS")).trimmed();
    if (days.isEmpty())
        return options;
    bool ok = false;
    const int value = days.toInt(&ok);
    if (ok && value >= 1 && value <= 36500)
        options.keepDays = value;
    else if (notice)
        *notice = QStringLiteral("Setting.ini 的 HistoryDays = %1 不是 1 到 36500 的天數, 點唱紀錄保留 %2 天")
                      .arg(days)
                      .arg(kDefaultDays);
    return options;
}
