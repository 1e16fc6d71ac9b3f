#include "menu/manager_lock.h"

#include "core/key_translation.h"
#include "core/shared_state.h"
#include "menu/menu_context.h"
#include "platform/clock.h"
#include "widgets/drawing_surface.h"

ManagerLock::ManagerLock(MenuContext &menu, Clock &clock, std::function<void()> openManager)
    : m_menu(menu)
    , m_clock(clock)
    , m_openManager(std::move(openManager))
{
}

// Only digits can be typed on the keypad: any other PIN would lock the owner out, so it
// counts as no PIN.
QString ManagerLock::pin() const
{
    const QString &pin = m_menu.state.settings.ManagerPin;
    for (QChar c : pin) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {};
    }
    return pin;
}

void ManagerLock::manager_Click()
{
    if (pin().isEmpty()) {
        m_openManager();
        return;
    }
    if (m_lockedUntil.isValid() && m_clock.now() < m_lockedUntil)
        return;
    m_menu.MenuState = QStringLiteral("M");
    clearInput(m_menu);
    m_menu.Picture1.ShowLines({"請輸入管理密碼", "按 Enter 確定", "0 再按 Enter 回主選單"});
}

void ManagerLock::pin_do(int &KeyAscii)
{
    if (KeyAscii == KeyCode::Enter) {
        confirm();
        return;
    }
    if (isDigitKey(KeyAscii))
        m_menu.InputBuffer += QChar(KeyAscii);
    else if (KeyAscii == KeyCode::Dot)
        m_menu.InputBuffer.chop(1);
    setEcho(m_menu, QString(m_menu.InputBuffer.size(), QLatin1Char('*')));
}

void ManagerLock::confirm()
{
    const QString typed = m_menu.InputBuffer;
    m_menu.InputBuffer.clear();
    if (typed == QLatin1String("0") && pin() != typed) {
        m_menu.show_main_menu();
        return;
    }
    if (typed == pin()) {
        m_wrongTries = 0;
        m_menu.show_main_menu();
        m_openManager();
        return;
    }
    if (++m_wrongTries >= kTriesBeforeLockOut) {
        m_wrongTries = 0;
        m_lockedUntil = m_clock.now().addSecs(kLockOutSeconds);
    }
    m_menu.show_main_menu();
    setEcho(m_menu, QStringLiteral("密碼錯誤!"));
}
