// Opens every manager-mode window on a program folder (the demo home), fills it as the owner
// would and saves a picture of each, and of one message box, for looking at under Xvfb.
//   manage_screenshots HOME OUTDIR        (screen size: the display's)
#include "core/database.h"
#include "core/init_system.h"
#include "platform/screen_fonts.h"
#include "core/shared_state.h"
#include "manage/add_singer_dialog.h"
#include "manage/duplicate_title_dialog.h"
#include "manage/manager_menu.h"
#include "manage/manager_song_statu.h"
#include "manage/singer_choice_dialog.h"
#include "manage/singer_modify.h"
#include "manage/song_add.h"
#include "manage/song_modify.h"
#include "platform/qt_message_boxes.h"
#include "platform/qt_translations.h"
#include "support/fake_services.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

namespace {

QString outDir;

void save(QWidget &window, const QString &name)
{
    window.show();
    QApplication::processEvents();
    const QString path = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    window.grab().save(path);
    QTextStream(stdout) << path << Qt::endl;
    window.hide();
}

QString firstSongFile(SharedState &state)
{
    Recordset rs = state.db().OpenRecordset(QStringLiteral("SELECT song_location FROM song ORDER BY rowid"), {}, 1);
    return rs.text(QStringLiteral("song_location"));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installScreenFonts();
    installQtTranslations(app);
    if (argc < 3) {
        QTextStream(stderr) << "usage: manage_screenshots HOME OUTDIR" << Qt::endl;
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(outDir);
    FakeServices fakes;
    SharedState state;
    if (!InitSystem(state, fakes.fileSystem, fakes.clock, QString::fromLocal8Bit(argv[1])).ok)
        return 1;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QString file = firstSongFile(state);

    ManagerMenu menu(state, fakes.services, screen);
    save(menu, QStringLiteral("manager_menu"));

    SongAdd songAdd(state, fakes.services, screen);
    songAdd.song_kind->setCurrentIndex(1);
    songAdd.song_text_count->setCurrentIndex(2);
    songAdd.song_kind_LostFocus();
    songAdd.song_name->setText(QStringLiteral("月光"));
    songAdd.singer_name->setText(QStringLiteral("王若琳"));
    songAdd.song_location->setText(file);
    save(songAdd, QStringLiteral("song_add"));

    SingerChoiceDialog choice(SingerChoiceDialog::Variant::song_add_check_singer_name, state, fakes.services, screen);
    choice.load(QString());
    choice.List1->setCurrentRow(1);
    save(choice, QStringLiteral("singer_choice"));

    AddSingerDialog addSinger(AddSingerDialog::Variant::singer_add, state, fakes.services, screen);
    addSinger.singer_name->setText(QStringLiteral("伍佰 & China Blue"));
    addSinger.singer_sex->setCurrentIndex(2);
    save(addSinger, QStringLiteral("singer_add"));

    const NewSong newSong{1, 3, QStringLiteral("月光"), {3}, QStringLiteral("2026/12/05"), file};
    const QString number = QStringLiteral("103009");
    DuplicateTitleDialog same(DuplicateTitleDialog::Variant::song_add_same, newSong, number, state, fakes.services,
                              screen);
    same.org_renew->setText(QStringLiteral("月光下的海"));
    save(same, QStringLiteral("song_add_same"));
    DuplicateTitleDialog batchSame(DuplicateTitleDialog::Variant::batch_same, newSong, number, state, fakes.services,
                                   screen);
    save(batchSame, QStringLiteral("batch_same"));

    SingerModify singers(state, fakes.services, screen);
    singers.singer_name->setText(QStringLiteral("星光合唱團"));
    singers.singer_sex->setCurrentIndex(2);
    save(singers, QStringLiteral("singer_modify"));

    SongModify songs(state, fakes.services, screen);
    songs.keyword_singer->setText(QStringLiteral("林"));
    songs.key_search_Click();
    songs.List1->setCurrentRow(0);
    songs.List1_Click();
    save(songs, QStringLiteral("song_modify"));

    ManagerSongStatu statistics(state, fakes.services, screen);
    save(statistics, QStringLiteral("manager_song_statu"));

    // A message box as the owner sees it, over the registration window (modal, as manager mode opens it).
    songAdd.setModal(true);
    songAdd.show();
    QTimer::singleShot(300, [] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            box->grab().save(outDir + QStringLiteral("/message_box.png"));
            QTextStream(stdout) << outDir << "/message_box.png" << Qt::endl;
            box->close();
        }
    });
    QtMessageBoxes().yesNo(QStringLiteral("是否要刪除編號104001,城裡的月光,這首歌?"));
    return 0;
}
