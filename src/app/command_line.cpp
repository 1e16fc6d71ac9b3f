#include "app/command_line.h"

CommandLine parseCommandLine(const QStringList &arguments, const QString &executableFolder)
{
    CommandLine options;
    options.home = executableFolder;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == QLatin1String("--init-only")) {
            options.initOnly = true;
        } else if (arg == QLatin1String("--statistics")) {
            options.statistics = true;
        } else if (arg == QLatin1String("--home") && i + 1 < arguments.size()) {
            options.home = arguments[++i];
        } else if (arg == QLatin1String("--clock-speed") && i + 1 < arguments.size()) {
            bool ok = false;
            options.clockSpeed = arguments[++i].toDouble(&ok);
            if (!ok || !(options.clockSpeed > 0)) {
                options.error = QStringLiteral("--clock-speed needs a number above 0, not %1").arg(arguments[i]);
                return options;
            }
        } else if (arg == QLatin1String("--register-folder") && i + 1 < arguments.size()) {
            options.registerFolder = arguments[++i];
        } else if (arg == QLatin1String("--register-list") && i + 1 < arguments.size()) {
            options.registerList = arguments[++i];
        } else {
            options.error = QStringLiteral("unknown option %1 (use --home DIR, --init-only, --statistics, --clock-speed N, "
                                           "--register-folder FOLDER, --register-list FILE)")
                                .arg(arg);
            return options;
        }
    }
    return options;
}

bool needsNoWindow(const CommandLine &options)
{
    return !options.error.isEmpty() || options.initOnly || options.statistics || !options.registerFolder.isEmpty()
        || !options.registerList.isEmpty();
}
