#include "menu/media_browser.h"

#include "core/file_path.h"
#include "core/key_translation.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "menu/folder_listing.h"
#include "menu/menu_context.h"
#include "menu/underlined_list.h"
#include "platform/file_system.h"
#include "platform/media_player.h"
#include "widgets/drawing_surface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <cmath>

namespace {

const QString kCdRomEntry = QStringLiteral("光碟機");
const QString kParentEntry = QStringLiteral("上一層目錄");
const QString kSearching = QStringLiteral("搜尋中,請稍候...");

// Paints the waiting message before a folder that may be slow (a disc spinning up) is read.
// Keys wait for the folder, so that none arrives in the middle of reading it.
void paintPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

QSize fitPicture(QSize picture, QSize area)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return {};
    if (picture.width() > picture.height())
        return {area.width(), int(std::lround(double(picture.height()) * area.width() / picture.width()))};
    return {int(std::lround(double(picture.width()) * area.height() / picture.height())), area.height()};
}

MediaBrowser::MediaBrowser(MenuContext &menu, MediaPlayer &wmpMain, QLabel &Label3, QTimer &Timer2)
    : m_menu(menu)
    , m_player(wmpMain)
    , m_Label3(Label3)
    , m_Timer2(Timer2)
{
    QObject::connect(&m_player, &MediaPlayer::error, &m_player, [this] { onPlayerError(); });
}

bool MediaBrowser::inMusic() const
{
    return m_menu.MenuState.startsWith(QLatin1String("8_1"));
}

QString MediaBrowser::root() const
{
    return inMusic() ? m_menu.state.settings.pathMusic : m_menu.state.settings.pathPicture;
}

bool MediaBrowser::atCdRom() const
{
    const QString &cdRom = m_menu.state.settings.pathCDROM;
    return !cdRom.isEmpty() && (sameFolder(CurrentFolder, cdRom) || sameFolder(CurrentFolder, joinPath(cdRom, {})));
}

QString MediaBrowser::playingState() const
{
    return inMusic() ? QStringLiteral("8_1_2") : QStringLiteral("8_2_2");
}

void MediaBrowser::multimedia()
{
    m_menu.MenuState = QStringLiteral("8");
    clearInput(m_menu);
    m_menu.Picture1.ShowLines({"請輸入多媒體功能", "1.音樂欣賞", "2.圖片觀賞", "3.影片欣賞(施工中)", "", "9.上一目錄"});
    m_menu.Set_num_key();
}

void MediaBrowser::MultiMedia_do(int &KeyAscii)
{
    const QString &state = m_menu.MenuState;
    if (state == QLatin1String("8_1") || state == QLatin1String("8_2")) {
        MultiMedia_do_1_1(KeyAscii);
        return;
    }
    if (state != QLatin1String("8")) {
        MultiMedia_do_1_2(KeyAscii);
        return;
    }
    if (KeyAscii > 0)
        m_menu.InputBuffer += QChar(KeyAscii);
    m_menu.state.PageNo = 1;
    setEcho(m_menu, QString());
    const QString choice = m_menu.InputBuffer;
    if (choice == QLatin1String("1") || choice == QLatin1String("2")) {
        m_menu.InputBuffer.clear();
        const bool music = choice == QLatin1String("1");
        CurrentFolder = music ? m_menu.state.settings.pathMusic : m_menu.state.settings.pathPicture;
        m_menu.MenuState = music ? QStringLiteral("8_1") : QStringLiteral("8_2");
        MultiMedia_do_1();
    } else if (choice == QLatin1String("9")) {
        m_menu.show_main_menu();
    } else if (choice != QLatin1String("3")) {
        // Movies are under construction: "3" is kept, so the next key makes a choice of two
        // characters that matches nothing.
        m_menu.InputBuffer.clear();
    }
}

void MediaBrowser::addEntry(const QString &entry)
{
    FileList.append(entry);
}

void MediaBrowser::MultiMedia_do_1()
{
    FileList.clear();
    const Settings &settings = m_menu.state.settings;
    if (settings.pathCDROM.isEmpty() || !CurrentFolder.startsWith(settings.pathCDROM, Qt::CaseInsensitive))
        addEntry(kCdRomEntry);
    if (!sameFolder(CurrentFolder, root()))
        addEntry(kParentEntry);
    setEcho(m_menu, kSearching);
    paintPendingEvents();
    if (atCdRom() && !endsWithSeparator(CurrentFolder))
        CurrentFolder = joinPath(CurrentFolder, {});
    const qsizetype fixedEntries = FileList.size();
    readEntries();

    m_menu.setKeyCaptions(QStringLiteral("上頁"), QStringLiteral("下頁"), QStringLiteral("確定"), QStringLiteral("C"));
    m_menu.setPlayKeyCaptions(QStringLiteral("播放"), QStringLiteral("停止"), QStringLiteral("離開"));
    clearInput(m_menu);
    list_media_page(m_menu.state.PageNo);

    // The guest is told why a folder shows nothing; the list stays usable.
    const bool exists = m_menu.state.Fso->folderExists(CurrentFolder);
    if (atCdRom() && (!exists || FileList.size() == fixedEntries))
        setEcho(m_menu, QStringLiteral("光碟機內沒有光碟"));
    else if (!exists)
        setEcho(m_menu, QStringLiteral("找不到這個目錄"));
}

void MediaBrowser::readEntries()
{
    const FileSystem &fs = *m_menu.state.Fso;
    FileList += sortedByCode(fs.listFolders(CurrentFolder));
    QStringList playable;
    for (const QString &name : fs.listFiles(CurrentFolder)) {
        if (IsMenuMediaFile(m_menu.state, m_menu.MenuState, name))
            playable.append(name);
    }
    MediaFiles = sortedByCode(playable);
    FileList += MediaFiles;
}

void MediaBrowser::list_media_page(int page)
{
    const FileSystem &fs = *m_menu.state.Fso;
    auto rowText = [&](qint64 index) {
        const QString entry = FileList.value(index);
        if (entry.isEmpty() || !fs.folderExists(joinPath(CurrentFolder, entry)))
            return entry;
        return entry + QStringLiteral("<目錄>");
    };
    drawUnderlinedPage(m_menu.Picture1, page, m_menu.state.PageRows, rowText,
                       {QStringLiteral("第 %1 頁 音樂檔瀏覽").arg(page), QStringLiteral(" \"0\" 回主目錄 ")});
}

void MediaBrowser::MultiMedia_do_1_1(int &KeyAscii)
{
    const bool listKey = pagedListKey(m_menu, m_menu.state.PageNo, KeyAscii, [this] { chooseRow(); },
                                      [this] { list_media_page(m_menu.state.PageNo); });
    if (!listKey && KeyAscii == KeyCode::Multiply)
        startPlaying();
}

void MediaBrowser::chooseRow()
{
    if (m_menu.InputBuffer == QLatin1String("0")) {
        multimedia();
        return;
    }
    const std::optional<qint64> n = inputNumber(m_menu.InputBuffer);
    if (!n || *n < 1 || *n > m_menu.state.PageRows)
        return;
    const QString entry = FileList.value(qint64(m_menu.state.PageNo - 1) * m_menu.state.PageRows + *n - 1);
    if (entry == kCdRomEntry) {
        CurrentFolder = m_menu.state.settings.pathCDROM;
    } else if (entry == kParentEntry) {
        // The disc's own folder leads back to the browser's root, never to where the disc is mounted.
        CurrentFolder = atCdRom() ? root() : QFileInfo(QDir::cleanPath(CurrentFolder)).path();
    } else if (!entry.isEmpty() && m_menu.state.Fso->folderExists(joinPath(CurrentFolder, entry))) {
        CurrentFolder = joinPath(CurrentFolder, entry);
    }
    m_menu.state.PageNo = 1;
    MultiMedia_do_1();
}

void MediaBrowser::startPlaying()
{
    clearInput(m_menu, kSearching);
    paintPendingEvents();
    if (MediaFiles.isEmpty()) {
        setEcho(m_menu, QStringLiteral("無檔可播!"));
        return;
    }
    FileList = MediaFiles;
    setEcho(m_menu, QStringLiteral("播放中"));
    m_menu.state.PageNo = 1;
    m_menu.MenuState = playingState();
    if (inMusic())
        m_Timer2.start();
    int play = KeyCode::Multiply;
    MultiMedia_do_1_2(play);
}

void MediaBrowser::MultiMedia_do_1_2(int &KeyAscii)
{
    // Timer2 leaves the music alone while a key is being handled.
    PlayerBusy = true;
    m_Label3.clear();
    const int number = m_menu.state.PageNo;
    if (KeyAscii == KeyCode::Multiply)
        showCurrent();
    else if (KeyAscii == KeyCode::Plus && number < FileList.size())
        step(1);
    else if (KeyAscii == KeyCode::Minus && number > 1)
        step(-1);
    PlayerBusy = false;

    if (KeyAscii == KeyCode::Divide) {
        stopMusic();
        return;
    }
    if (KeyAscii == KeyCode::Digit0) {
        leavePlaying();
        return;
    }
    if (KeyAscii == '5')
        changeVolume(10);
    else if (KeyAscii == '4')
        changeVolume(-10);
    showPlayingLabels();
}

void MediaBrowser::showCurrent()
{
    if (inMusic()) {
        if (!isPlaying(m_player))
            playFile(m_player, currentPath());
        return;
    }
    m_menu.Picture1.Cls();
    if (IsMovieFile(m_menu.state, FileList.value(m_menu.state.PageNo - 1)))
        playMovie();
    else
        showPicture();
}

void MediaBrowser::showPicture()
{
    // A movie shown before would cover the picture.
    m_player.videoWidget()->hide();
    LoadObjPIC();
    if (LoadedPicture.isNull()) {
        m_menu.Picture1.Print(QStringLiteral("無法顯示這張圖片:"));
        m_menu.Picture1.Print(fileName(m_menu.state.PageNo));
        return;
    }
    m_menu.Picture1.PaintPicture(LoadedPicture, QRectF(QPointF(0, 0), QSizeF(Fitted)));
}

void MediaBrowser::playMovie()
{
    if (isPlaying(m_player))
        return;
    QWidget *video = m_player.videoWidget();
    video->show();
    video->raise();
    playFile(m_player, currentPath());
}

void MediaBrowser::LoadObjPIC()
{
    QImageReader reader(currentPath());
    const QSize size = reader.size();
    if (size.isValid()) {
        Fitted = fitPicture(size, m_menu.Picture1.size());
        // Decoding straight to the drawn size keeps a camera's photo small in memory.
        reader.setScaledSize(Fitted);
        LoadedPicture = reader.read();
        return;
    }
    LoadedPicture = reader.read();
    Fitted = fitPicture(LoadedPicture.size(), m_menu.Picture1.size());
}

void MediaBrowser::step(int delta)
{
    m_player.setUrl(QString());
    stopPlaying(m_player);
    m_menu.state.PageNo += delta;
    showCurrent();
}

void MediaBrowser::stopMusic()
{
    if (isPlaying(m_player)) {
        stopPlaying(m_player);
        setEcho(m_menu, QStringLiteral("停止"));
    }
    // Stopped for good: the music does not go on by itself until the next "*", "+" or "-".
    PlayerBusy = true;
}

void MediaBrowser::changeVolume(int delta)
{
    if (isPlaying(m_player))
        m_player.setVolume(qBound(0, m_player.volume() + delta, 100));
}

void MediaBrowser::leavePlaying()
{
    PlayerBusy = true;
    m_Timer2.stop();
    stopPlaying(m_player);
    m_menu.state.PageNo = 1;
    m_menu.MenuState = inMusic() ? QStringLiteral("8_1") : QStringLiteral("8_2");
    m_menu.Picture1.Cls();
    m_player.videoWidget()->hide();
    m_player.setUrl(QString());
    MultiMedia_do_1();
}

void MediaBrowser::showPlayingLabels()
{
    setEcho(m_menu, QStringLiteral("播放\n%1/%2").arg(m_menu.state.PageNo).arg(FileList.size()));
    if (inMusic())
        showMusicPlayControl();
    m_Label3.setText(QStringLiteral("檔名:\n") + QFileInfo(fileName(m_menu.state.PageNo)).completeBaseName());
}

void MediaBrowser::showMusicPlayControl()
{
    const qint64 number = m_menu.state.PageNo;
    setEcho(m_menu, QStringLiteral("播放\n%1/%2").arg(number).arg(FileList.size()));
    const QString previous = number > 1 ? fileName(number - 1) : QStringLiteral("無上一首");
    const QString next = number < FileList.size() ? fileName(number + 1) : QStringLiteral("無下一首");
    DrawingSurface &screen = m_menu.Picture1;
    screen.Cls();
    for (const QString &line : {QStringLiteral("*:播放"), QStringLiteral("/:暫停"), QStringLiteral("-:上一首 -> ") + previous,
                                QStringLiteral("+:下一首 -> ") + next, QStringLiteral("4:小聲"), QStringLiteral("5:大聲"),
                                QStringLiteral("0:離開"), QString(), QStringLiteral("目前播放 : ")})
        screen.Print(line);
    screen.Print(fileName(number));
}

void MediaBrowser::Timer2_Timer()
{
    if (m_menu.MenuState != QLatin1String("8_1_2") || isPlaying(m_player) || PlayerBusy)
        return;
    if (m_menu.state.PageNo < FileList.size())
        ++m_menu.state.PageNo;
    else if (!FileList.isEmpty())
        m_menu.state.PageNo = 1;
    else
        return;
    PlayerBusy = true;
    playFile(m_player, currentPath());
    showMusicPlayControl();
    PlayerBusy = false;
}

QString MediaBrowser::fileName(qint64 number) const
{
    return FileList.value(number - 1);
}

QString MediaBrowser::currentPath() const
{
    return joinPath(CurrentFolder, fileName(m_menu.state.PageNo));
}

void MediaBrowser::onPlayerError()
{
    if (m_menu.MenuState == QLatin1String("8_1_2") || m_menu.MenuState == QLatin1String("8_2_2"))
        setEcho(m_menu, QStringLiteral("無法播放:\n") + fileName(m_menu.state.PageNo));
}
