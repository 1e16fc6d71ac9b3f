#include "menu/recordings_browser.h"

#include "core/key_translation.h"
#include "core/shared_state.h"
#include "menu/folder_listing.h"
#include "menu/menu_context.h"
#include "menu/underlined_list.h"
#include "platform/file_system.h"
#include "platform/media_player.h"
#include "widgets/drawing_surface.h"

namespace {

const QString kListHeading = QStringLiteral("錄音檔瀏覽 選 \"0\" 可回主目錄");

} // namespace

RecordingsBrowser::RecordingsBrowser(MenuContext &menu, MediaPlayer &wmpMain)
    : m_menu(menu)
    , m_player(wmpMain)
{
    QObject::connect(&m_player, &MediaPlayer::error, &m_player, [this] { onPlayerError(); });
}

void RecordingsBrowser::readFolder()
{
    // A missing or unreadable folder lists as an empty one.
    FileList = m_menu.state.Fso->listFiles(m_menu.state.settings.RecordPath);
}

void RecordingsBrowser::RecordFile()
{
    readFolder();
    m_menu.setKeyCaptions(QStringLiteral("上頁"), QStringLiteral("下頁"), QStringLiteral("確定"), QStringLiteral("C"));
    m_menu.MenuState = QStringLiteral("7");
    clearInput(m_menu);
    m_menu.state.PageNo = 1;
    redrawList();
}

void RecordingsBrowser::redrawList()
{
    list_record_page(m_menu.state.PageNo);
    m_menu.Picture1.CurrentX = 0;
    m_menu.Picture1.Print(kListHeading);
}

void RecordingsBrowser::list_record_page(int page)
{
    drawUnderlinedPage(m_menu.Picture1, page, m_menu.state.PageRows,
                       [this](qint64 index) { return FileList.value(index); },
                       {QStringLiteral("第 %1 頁").arg(page)});
}

void RecordingsBrowser::RecordFile_do(int &KeyAscii)
{
    editInput(m_menu, KeyAscii, true);
    if (m_menu.MenuState != QLatin1String("7")) {
        RecordFile_do_1(KeyAscii);
        return;
    }
    readFolder();
    if (turnPage(m_menu.state.PageNo, KeyAscii)) {
        redrawList();
        return;
    }
    if (KeyAscii != KeyCode::Enter)
        return;
    if (m_menu.InputBuffer == QLatin1String("0")) {
        m_menu.show_main_menu();
        return;
    }
    chooseRow();
}

void RecordingsBrowser::chooseRow()
{
    const std::optional<qint64> n = inputNumber(m_menu.InputBuffer);
    if (!n || *n < 1 || *n > m_menu.state.PageRows)
        return;
    const qint64 index = qint64(m_menu.state.PageNo - 1) * m_menu.state.PageRows + *n - 1;
    if (index >= FileList.size()) {
        clearInput(m_menu);
        return;
    }
    showFile(index);
}

void RecordingsBrowser::showFile(qint64 index)
{
    SelectedFile = index;
    clearInput(m_menu);
    const QDateTime recorded = m_menu.state.Fso->creationTime(selectedPath());
    DrawingSurface &screen = m_menu.Picture1;
    screen.Cls();
    screen.Print(QStringLiteral("您選定的音訊檔資訊如下:"));
    screen.Print();
    screen.Print(FileList.at(index));
    screen.Print();
    screen.Print(QStringLiteral("錄製時間:"));
    screen.Print(recorded.isValid() ? recorded.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) : QString());
    screen.Print();
    for (const char *line : {"1: 播放", "2: 停止", "3: 刪除檔案", "0: 離開"})
        screen.Print(QString::fromUtf8(line));
    m_menu.MenuState = QStringLiteral("7_1");
}

QString RecordingsBrowser::selectedPath() const
{
    return joinPath(m_menu.state.settings.RecordPath, FileList.value(SelectedFile));
}

void RecordingsBrowser::RecordFile_do_1(int &KeyAscii)
{
    if (KeyAscii != KeyCode::Enter)
        return;
    const QString choice = m_menu.InputBuffer;
    clearInput(m_menu);
    const QString path = selectedPath();
    m_player.setVolume(100);
    if (choice == QLatin1String("1")) {
        if (isPlaying(m_player))
            return;
        if (!m_menu.state.Fso->fileExists(path)) {
            setEcho(m_menu, QStringLiteral("找不到這個檔案"));
            return;
        }
        playFile(m_player, path);
        setEcho(m_menu, QStringLiteral("播放中"));
    } else if (choice == QLatin1String("2")) {
        if (!isPlaying(m_player))
            return;
        stopPlaying(m_player);
        setEcho(m_menu, QStringLiteral("停止"));
    } else if (choice == QLatin1String("3")) {
        stopPlaying(m_player);
        // Someone else may have deleted it already; the list shows what is left either way.
        m_menu.state.Fso->deleteFile(path);
        RecordFile();
    } else if (choice == QLatin1String("0")) {
        stopPlaying(m_player);
        RecordFile();
    }
}

void RecordingsBrowser::onPlayerError()
{
    if (m_menu.MenuState == QLatin1String("7_1"))
        setEcho(m_menu, QStringLiteral("無法播放這個檔案"));
}
