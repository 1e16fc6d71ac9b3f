#pragma once

#include "core/play_queue.h"
#include "menu/menu_context.h"

#include <QSize>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class DrawingSurface;
class ManagerLock;
class MediaBrowser;
class MediaPlayer;
class OrderBySinger;
class OrderByTextCount;
class PhoneCodePanel;
class ChartsList;
class QueueEditing;
class RecordingsBrowser;
class QLabel;
class QPushButton;
class QTimer;
class ShutdownMenu;
struct Services;
struct SharedState;

// The full-screen jukebox menu the guests see whenever no song plays. Every key, from the
// keyboard, a keypad, a remote or the on-screen keys, ends in Picture1_KeyPress, which
// translates it and hands it to the flow of the current menu state.
class MainMenu : public QWidget
{
    Q_OBJECT

public:
    MainMenu(SharedState &state, Services &services, QSize screen, QWidget *parent = nullptr);
    ~MainMenu() override;

    void Picture1_KeyPress(int &KeyAscii);
    void show_main_menu();
    void show_main_menu_do(int &KeyAscii);
    void Set_num_key();
    void KeyValueReset(QPushButton *key, int left, int top, int width, int height);
    // What happens when the window becomes active: the main menu, drawn afresh.
    void Form_Activate();

    MenuContext &menu() { return m_menu; }

    // Phone ordering's address for the QR code above the keypad (empty while there is none),
    // or why it does not run. Without a call the band stays empty.
    void setPhoneAddress(const QString &url, const QString &problem = QString());

    // Windows of their own that the menu opens; each runs modally and returns here.
    std::function<void()> openPlayer;
    std::function<void()> openManager;

    DrawingSurface *Picture1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    std::array<QPushButton *, 10> number_key{};
    QPushButton *number_dot = nullptr;
    QPushButton *number_enter = nullptr;
    QPushButton *number_in = nullptr;
    QPushButton *number_de = nullptr;
    QPushButton *number_mul = nullptr;
    QPushButton *number_div = nullptr;
    QPushButton *manager = nullptr;
    PhoneCodePanel *phoneCode = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    std::unique_ptr<MediaPlayer> wmpMain;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void layOut();
    QPushButton *makeKey(int code, bool actOnPress);
    void dispatch(int &KeyAscii);
    void startSinging();
    void openManagerMode();
    void runModal(const std::function<void()> &open);
    void Timer1_Timer();
    // The QR code stands where the multimedia and recordings flows write their labels.
    void showPhoneCode();

    SharedState &m_state;
    Services &m_services;
    QSize m_screen;
    MenuContext m_menu;
    std::unique_ptr<OrderByTextCount> m_orderByTextCount;
    std::unique_ptr<OrderBySinger> m_orderBySinger;
    std::unique_ptr<QueueEditing> m_queueEditing;
    std::unique_ptr<ChartsList> m_chartsList;
    bool m_chartsShown = false;
    std::unique_ptr<RecordingsBrowser> m_recordingsBrowser;
    std::unique_ptr<MediaBrowser> m_mediaBrowser;
    std::unique_ptr<ShutdownMenu> m_shutdownMenu;
    std::unique_ptr<ManagerLock> m_managerLock;
    std::unique_ptr<PlayQueue::Subscription> m_queueChanges;
    bool m_phoneOrdering = false;
};
