#include "menu/main_menu.h"

#include "core/database_error.h"
#include "core/key_translation.h"
#include "core/shared_state.h"
#include "menu/charts_list.h"
#include "menu/folder_listing.h"
#include "menu/manager_lock.h"
#include "menu/media_browser.h"
#include "menu/numbered_list.h"
#include "menu/order_by_singer.h"
#include "menu/order_by_text_count.h"
#include "menu/queue_editing.h"
#include "menu/recordings_browser.h"
#include "menu/shutdown_menu.h"
#include "platform/media_player.h"
#include "platform/mouse_pointer.h"
#include "platform/plain_text.h"
#include "platform/screen_fonts.h"
#include "platform/services.h"
#include "platform/shutdown.h"
#include "widgets/drawing_surface.h"
#include "widgets/key_code.h"
#include "widgets/phone_code_panel.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>

#include <cmath>

namespace {

const QString kCaption = QStringLiteral("Tolvek's Karaok 電腦點歌系統");

// The surface font: as large as the screen's width allows, but never so large that a list
// row (a fourteenth of the height) cannot hold a line, which wide screens would otherwise break.
QFont surfaceFont(QSize screen, int widthPx)
{
    QFont font(kScreenFontName);
    font.setPointSize(qMax(8, int(widthPx * 27 / 640)));
    const double rowHeight = screen.height() / kListRowsPerScreen;
    while (font.pointSize() > 8 && QFontMetricsF(font).lineSpacing() > rowHeight * 0.95)
        font.setPointSize(font.pointSize() - 1);
    return font;
}

} // namespace

MainMenu::MainMenu(SharedState &state, Services &services, QSize screen, QWidget *parent)
    : QWidget(parent)
    , Picture1(new DrawingSurface(this))
    , Label1(newTextLabel(this))
    , m_state(state)
    , m_services(services)
    , m_screen(screen)
    , m_menu(state, *Picture1, *Label1)
{
    setObjectName(QStringLiteral("main_menu"));
    setWindowTitle(kCaption);
    m_menu.show_main_menu = [this] { show_main_menu(); };
    m_menu.setKeyCaptions = [this](const QString &de, const QString &in, const QString &enter, const QString &dot) {
        number_de->setText(de);
        number_in->setText(in);
        number_enter->setText(enter);
        number_dot->setText(dot);
    };
    m_menu.setPlayKeyCaptions = [this](const QString &mul, const QString &div, const QString &zero) {
        number_mul->setText(mul);
        number_div->setText(div);
        number_key[0]->setText(zero);
    };
    m_menu.Set_num_key = [this] { Set_num_key(); };
    m_menu.powerOff = [this] { m_services.shutdown.powerOff(); };
    m_menu.endProgram = [] { QApplication::exit(0); };
    m_orderByTextCount = std::make_unique<OrderByTextCount>(m_menu);
    m_orderBySinger = std::make_unique<OrderBySinger>(state, *Picture1, m_menu, m_menu.MenuState,
                                                      OrderBySinger::kMenuPolicy, [this] { show_main_menu(); });
    m_queueEditing = std::make_unique<QueueEditing>(m_menu);
    m_chartsList = std::make_unique<ChartsList>(m_menu);
    m_shutdownMenu = std::make_unique<ShutdownMenu>(m_menu);
    m_managerLock = std::make_unique<ManagerLock>(m_menu, m_services.clock, [this] { runModal(openManager); });

    createControls();
    m_recordingsBrowser = std::make_unique<RecordingsBrowser>(m_menu, *wmpMain);
    m_mediaBrowser = std::make_unique<MediaBrowser>(m_menu, *wmpMain, *Label3, *Timer2);
    connect(Timer2, &QTimer::timeout, this, [this] { m_mediaBrowser->Timer2_Timer(); });
    layOut();
    Set_num_key();
    // A phone may change the queue while a guest reads it here: the page shown follows.
    m_queueChanges = state.OrderedSongs.subscribe([this] {
        QTimer::singleShot(0, this, [this] { m_queueEditing->queueChanged(); });
    });
    // Keep the pointer off the text.
    m_services.mousePointer.moveTo(m_screen.width() - 1, m_screen.height() / 2);
}

MainMenu::~MainMenu() = default;

void MainMenu::createControls()
{
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = newTextLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = newTextLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    for (QLabel *label : {Label1, Label2, Label3}) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setStyleSheet(QStringLiteral("color: #ffff80;"));
    }
    for (int i = 0; i <= 9; ++i)
        number_key[size_t(i)] = makeKey(KeyCode::Digit0 + i, true);
    number_dot = makeKey(KeyCode::Dot, false);
    number_enter = makeKey(KeyCode::Enter, true);
    number_in = makeKey(KeyCode::Plus, true);
    number_de = makeKey(KeyCode::Minus, true);
    number_mul = makeKey(KeyCode::Multiply, true);
    number_div = makeKey(KeyCode::Divide, true);
    manager = new QPushButton(QStringLiteral("管理模式"), this);
    manager->setObjectName(QStringLiteral("manager"));
    manager->setFocusPolicy(Qt::NoFocus);
    connect(manager, &QPushButton::pressed, this, &MainMenu::openManagerMode);
    phoneCode = new PhoneCodePanel(this);
    phoneCode->hide();

    wmpMain = m_services.mediaPlayers.create();
    QWidget *video = wmpMain->videoWidget();
    video->setParent(this);
    video->setObjectName(QStringLiteral("wmpMain"));
    video->hide();
    video->installEventFilter(this);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &MainMenu::Timer1_Timer);
    Timer2 = new QTimer(this);
    Timer2->setInterval(3000);

    installEventFilter(this);
    Picture1->installEventFilter(this);
    setStyleSheet(QStringLiteral("MainMenu { background: #101030; }"));
}

QPushButton *MainMenu::makeKey(int code, bool actOnPress)
{
    auto *key = new QPushButton(this);
    key->setFocusPolicy(Qt::NoFocus);
    // A press acts at once; "." acts on its click, as the keypad always had it.
    auto send = [this, code] {
        int k = code;
        Picture1_KeyPress(k);
    };
    if (actOnPress)
        connect(key, &QPushButton::pressed, this, send);
    else
        connect(key, &QPushButton::clicked, this, send);
    return key;
}

void MainMenu::layOut()
{
    const int tpp = m_state.TwipsPerPixel;
    const int width = m_screen.width();
    const int height = m_screen.height();
    setGeometry(0, 0, width, height);
    const int pictureWidth = int(width * 0.8);
    Picture1->setGeometry(width - pictureWidth, 0, pictureWidth, height);
    Picture1->setSurfaceFont(surfaceFont(m_screen, width));
    wmpMain->videoWidget()->setGeometry(Picture1->geometry());

    // The left strip: echo lines on top, the keypad grid, the manager button at the bottom.
    const int strip = width - pictureWidth;
    const int margin = strip / 20;
    const int keyWidth = (strip - 4 * margin) / 3;
    const int gridTop = height / 3;
    // Five rows of keys, Enter and the manager button share the space below the echo lines.
    const int keyHeight = qMin(keyWidth, (height - gridTop - 8 * margin) / 7);
    QFont labelFont(kScreenFontName);
    labelFont.setPixelSize(qMax(12, height / 22));
    for (QLabel *label : {Label1, Label2, Label3})
        label->setFont(labelFont);
    Label1->setGeometry(margin, margin, strip - 2 * margin, height / 8);
    Label2->setGeometry(margin, margin + height / 8, strip - 2 * margin, height / 16);
    // Two lines: "檔名:" and the name of the file shown.
    const int label3Top = margin + height * 3 / 16;
    Label3->setGeometry(margin, label3Top, strip - 2 * margin, gridTop - label3Top - margin);
    // The QR code fills the band between the echo line and the keypad.
    const int codeTop = margin + height / 8;
    phoneCode->setGeometry(margin, codeTop, strip - 2 * margin, gridTop - codeTop - margin);

    const std::array<std::array<QPushButton *, 3>, 5> grid = {{
        {number_div, number_mul, number_de},
        {number_key[7], number_key[8], number_key[9]},
        {number_key[4], number_key[5], number_key[6]},
        {number_key[1], number_key[2], number_key[3]},
        {number_key[0], number_dot, number_in},
    }};
    for (size_t row = 0; row < grid.size(); ++row) {
        for (size_t col = 0; col < 3; ++col) {
            KeyValueReset(grid[row][col], (margin + int(col) * (keyWidth + margin)) * tpp,
                          (gridTop + int(row) * (keyHeight + margin)) * tpp, keyWidth * tpp, keyHeight * tpp);
        }
    }
    const int enterTop = gridTop + 5 * (keyHeight + margin);
    KeyValueReset(number_enter, margin * tpp, enterTop * tpp, (strip - 2 * margin) * tpp, keyHeight * tpp);
    KeyValueReset(manager, margin * tpp, (height - keyHeight - margin) * tpp, (strip - 2 * margin) * tpp,
                  keyHeight * tpp);
}

void MainMenu::KeyValueReset(QPushButton *key, int left, int top, int width, int height)
{
    const int tpp = m_state.TwipsPerPixel;
    key->setGeometry(left / tpp, top / tpp, width / tpp, height / tpp);
    QFont font(kKeypadFontName);
    font.setPointSize(qMax(6, m_screen.width() * 12 / 640));
    key->setFont(font);
}

void MainMenu::Set_num_key()
{
    number_de->setText(QStringLiteral("-"));
    number_in->setText(QStringLiteral("+"));
    number_enter->setText(QStringLiteral("確定"));
    number_dot->setText(QStringLiteral("."));
    number_mul->setText(QStringLiteral("*"));
    number_div->setText(QStringLiteral("/"));
    for (int i = 0; i <= 9; ++i)
        number_key[size_t(i)]->setText(QString::number(i));
}

void MainMenu::Picture1_KeyPress(int &KeyAscii)
{
    const int incoming = KeyAscii;
    KeyAscii = translateKey(incoming, m_state.settings);
    try {
        dispatch(KeyAscii);
    } catch (const DatabaseError &e) {
        QTextStream(stderr) << e.message() << Qt::endl;
        show_main_menu();
        setEcho(m_menu, QStringLiteral("資料庫錯誤, 請通知管理者"));
    }
    showPhoneCode();
}

void MainMenu::dispatch(int &KeyAscii)
{
    const QString &state = m_menu.MenuState;
    const QChar flow = state.isEmpty() ? QChar() : state.at(0);
    if (flow == QLatin1Char('0'))
        show_main_menu_do(KeyAscii);
    else if (state == QLatin1String("M"))
        m_managerLock->pin_do(KeyAscii);
    else if (state == QLatin1String("10"))
        m_shutdownMenu->shutdown_set_do(KeyAscii);
    else if (flow == QLatin1Char('1'))
        m_orderByTextCount->order_by_text_count_do(KeyAscii);
    else if (flow == QLatin1Char('2'))
        m_orderBySinger->order_by_singer_do(KeyAscii);
    else if (flow == QLatin1Char('3'))
        m_queueEditing->order_by_song_num_do(KeyAscii);
    else if (flow == QLatin1Char('4'))
        m_queueEditing->delete_song_do(KeyAscii);
    else if (flow == QLatin1Char('5'))
        m_queueEditing->intter_song_do(KeyAscii);
    else if (flow == QLatin1Char('7'))
        m_recordingsBrowser->RecordFile_do(KeyAscii);
    else if (flow == QLatin1Char('8'))
        m_mediaBrowser->MultiMedia_do(KeyAscii);
    else if (flow == QLatin1Char('9'))
        m_chartsList->charts_do(KeyAscii);
}

void MainMenu::show_main_menu()
{
    Picture1->ShowLines({"   主目錄", "1.字數點歌", "2.歌星點歌", "3.曲目編號點歌", "4.刪除點歌", "5.插播", "6.開始唱歌",
                         "7.錄音檔", "8.多媒體", "0.關機"});
    // The charts appear once the room has sung something.
    m_chartsShown = m_chartsList->shown();
    if (m_chartsShown)
        Picture1->Print(QStringLiteral("9.熱門排行"));
    m_menu.MenuState = QStringLiteral("0");
    clearInput(m_menu);
    Set_num_key();
    showPhoneCode();
}

void MainMenu::show_main_menu_do(int &KeyAscii)
{
    if (isKeypadKey(KeyAscii)) {
        m_menu.InputBuffer += QChar(KeyAscii);
        setEcho(m_menu, m_menu.InputBuffer + QStringLiteral("\n\r"));
    }
    const QString choice = m_menu.InputBuffer;
    if (choice == QLatin1String("1"))
        m_orderByTextCount->order_by_text_count();
    else if (choice == QLatin1String("2"))
        m_orderBySinger->order_by_singer();
    else if (choice == QLatin1String("3"))
        m_queueEditing->order_by_song_num();
    else if (choice == QLatin1String("4"))
        m_queueEditing->delete_song();
    else if (choice == QLatin1String("5"))
        m_queueEditing->intter_song();
    else if (choice == QLatin1String("7"))
        m_recordingsBrowser->RecordFile();
    else if (choice == QLatin1String("8"))
        m_mediaBrowser->multimedia();
    else if (choice == QLatin1String("0"))
        m_shutdownMenu->shutdown_set();
    else if (choice == QLatin1String("6"))
        startSinging();
    else if (choice == QLatin1String("9") && m_chartsShown)
        m_chartsList->open();
    else
        m_menu.InputBuffer.clear(); // a wrong key is forgotten at once
}

void MainMenu::startSinging()
{
    clearInput(m_menu);
    runModal(openPlayer);
}

void MainMenu::openManagerMode()
{
    m_managerLock->manager_Click();
}

void MainMenu::runModal(const std::function<void()> &open)
{
    if (!open)
        return;
    // The menu's own music or recording must not go on under a song or the manager's windows.
    Timer2->stop();
    stopPlaying(*wmpMain);
    wmpMain->videoWidget()->hide();
    Timer1->stop();
    open();
    // Back from the modal window: the same as the window becoming active again, which a
    // desktop without a window manager never reports.
    Form_Activate();
}

void MainMenu::Form_Activate()
{
    Timer1->start();
    show_main_menu();
    Picture1->setFocus();
}

void MainMenu::Timer1_Timer()
{
    if (isActiveWindow())
        Picture1->setFocus();
    Label2->setText(wmpMain->playState() == PlayState::Playing ? wmpMain->positionText() : QString());
    showPhoneCode();
}

void MainMenu::setPhoneAddress(const QString &url, const QString &problem)
{
    m_phoneOrdering = true;
    phoneCode->setAddress(url, problem);
    showPhoneCode();
}

void MainMenu::showPhoneCode()
{
    const QChar flow = m_menu.MenuState.isEmpty() ? QChar() : m_menu.MenuState.at(0);
    phoneCode->setVisible(m_phoneOrdering && flow != QLatin1Char('7') && flow != QLatin1Char('8'));
}

bool MainMenu::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

bool MainMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    if (std::optional<int> code = keyCodeOf(*event))
        Picture1_KeyPress(*code);
    return true;
}
