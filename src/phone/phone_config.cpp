#include "phone/phone_config.h"

#include "core/shared_state.h"
#include "platform/open_files.h"

#include <QRandomGenerator>
#include <QRegularExpression>

namespace {

// Letters and digits a guest cannot confuse when typing the address from the screen.
const QLatin1String kTokenAlphabet("ABCDEFGHJKLMNPQRSTUVWXYZ23456789");
constexpr int kTokenLength = 14; // 70 bits

QString settingProblem(const QString &line, const QString &why)
{
    return QStringLiteral("手機點歌無法啟動: Setting.ini 的 %1 %2").arg(line, why);
}

} // namespace

PhoneConfig PhoneConfig::of(const SharedState &state)
{
    const Settings &settings = state.settings;
    PhoneConfig config;
    config.dbPath = state.DbPath;
    config.managerPin = settings.ManagerPin;
    if (!settings.ManagerPin.isEmpty())
        config.ownerActions = OwnerActions::Pin;
    else if (settings.PhoneOwnerActions.trimmed() == QLatin1String("1"))
        config.ownerActions = OwnerActions::Open;
    config.kindNames = state.SongKindNames;
    config.limits = ConnectionLimits::forOpenFiles(OpenFiles::limit());
    config.enabled = settings.PhoneOrdering.trimmed() != QLatin1String("0");
    config.token = settings.PhoneToken.isEmpty() ? randomToken() : settings.PhoneToken;
    static const QRegularExpression tokenForm(QStringLiteral("^[A-Za-z0-9_-]{4,64}$"));
    if (!tokenForm.match(config.token).hasMatch())
        config.problem = settingProblem(QStringLiteral("PhoneToken"), QStringLiteral("只能是 4 到 64 個英文字母、數字、- 或 _"));
    if (!settings.PhonePort.isEmpty()) {
        bool number = false;
        const uint port = settings.PhonePort.toUInt(&number);
        if (!number || port < 1 || port > 65535)
            config.problem = settingProblem(QStringLiteral("PhonePort"), QStringLiteral("必須是 1 到 65535 的數字"));
        else
            config.port = quint16(port);
    }
    if (!settings.PhoneListen.isEmpty() && !config.listen.setAddress(settings.PhoneListen))
        config.problem = settingProblem(QStringLiteral("PhoneListen"), QStringLiteral("不是這台電腦的網路位址"));
    return config;
}

QString PhoneConfig::randomToken()
{
    QString token;
    for (int i = 0; i < kTokenLength; ++i)
        token += kTokenAlphabet[int(QRandomGenerator::system()->bounded(quint32(kTokenAlphabet.size())))];
    return token;
}
