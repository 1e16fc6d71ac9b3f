// Manager mode's flows without any window: the checks, the questions and what is stored, with
// the owner's answers given by the test.
#include "manage/singer_registry.h"
#include "manage/song_add_flow.h"
#include "manage/song_edit_flow.h"
#include "catalogue/song_registration.h"
#include "support/catalogue_fixture.h"
#include "support/fake_message_boxes.h"

namespace {

// The owner's side of the flows: an add-singer dialog that settles on singerAnswer (nothing:
// closed), and a duplicate-title window that only notes what it was handed.
class ScriptedOwner : public SongAddDecisions
{
public:
    std::optional<QString> addSinger(const QString &name) override
    {
        askedSingers.append(name);
        return singerAnswer;
    }
    void resolveSimilarTitle(const NewSong &song, const QString &number) override
    {
        handedOver.append(song.title + QLatin1Char('|') + number);
    }

    std::optional<QString> singerAnswer;
    QStringList askedSingers;
    QStringList handedOver;
};

class ManagerFlows : public CatalogueFixture
{
protected:
    void SetUp() override
    {
        CatalogueFixture::SetUp();
        singer = catalogue.addSinger(QStringLiteral("江蕙"), 0);
        file = mediaFile(QStringLiteral("song.mpg"));
        catalogue.addSong("105001", 1, QStringLiteral("酒後的心聲"), singer, file);
    }
    SongAddForm form(const QString &title) const
    {
        return {QStringLiteral("2026/12/05"), 1, 5, QStringLiteral("105002"), title, QStringLiteral("江蕙"), file};
    }

    FakeMessageBoxes boxes;
    ScriptedOwner owner;
    qint64 singer = 0;
    QString file;
};

TEST_F(ManagerFlows, RegisteringASongChecksInOrderAndStoresNothingWhenRefused)
{
    const struct { std::function<void(SongAddForm &)> spoil; QString message; } cases[] = {
        {[](SongAddForm &f) { f.buildDate = "2026/13/01"; }, "請指定好日期"},
        {[](SongAddForm &f) { f.buildDate = "昨天"; }, "請指定好日期"},
        {[](SongAddForm &f) { f.number.clear(); }, "請輸入正確的曲目編號"},
        {[](SongAddForm &f) { f.number = "10500x"; }, "請輸入正確的曲目編號"},
        {[](SongAddForm &f) { f.number = "1234567890"; }, "請輸入正確的曲目編號"},
        {[](SongAddForm &f) { f.kind = -1; }, "請輸入正確的曲目編號"},
        {[](SongAddForm &f) { f.title.clear(); }, "請輸入正確的曲目名"},
        {[this](SongAddForm &f) { f.location = home.file("missing.mpg"); }, "您所指定的檔案並不存在ㄛ!"},
        {[this](SongAddForm &f) { f.location = home.path(); }, "您所指定的檔案並不存在ㄛ!"},
    };
    SongAddFlow flow(state, fileSystem, boxes, owner);
    QString settled;
    for (const auto &c : cases) {
        boxes.shown.clear();
        SongAddForm spoilt = form(QStringLiteral("新歌"));
        c.spoil(spoilt);
        EXPECT_EQ(flow.save(spoilt, &settled), SongAddFlow::Outcome::Refused);
        EXPECT_EQ(boxes.shown, QStringList{c.message});
    }
    // A singer the owner does not settle on stores nothing either.
    SongAddForm unknown = form(QStringLiteral("新歌"));
    unknown.singerName = QStringLiteral(" 江 ");
    EXPECT_EQ(flow.save(unknown, &settled), SongAddFlow::Outcome::Refused);
    EXPECT_EQ(owner.askedSingers, QStringList{"江"});
    EXPECT_EQ(count("SELECT count(*) FROM song"), 1);

    EXPECT_EQ(flow.save(form(QStringLiteral("酒後")), &settled), SongAddFlow::Outcome::HandedOver);
    EXPECT_EQ(owner.handedOver, QStringList{"酒後|105002"});
    EXPECT_EQ(flow.save(form(QStringLiteral("新歌")), &settled), SongAddFlow::Outcome::Stored);
    EXPECT_EQ(rows("SELECT song_num, song_name FROM song ORDER BY song_num"), (QStringList{"105001|酒後的心聲", "105002|新歌"}));
}

// A CD+G song is taken by its .cdg, its .mp3 or its zip file, but only when it has its sound
// and its pictures; the file is stored as the owner chose it.
TEST_F(ManagerFlows, RegisteringACdgSongTakesItOnlyWithItsSoundAndPictures)
{
    mediaFile(QStringLiteral("lone.cdg"));
    mediaFile(QStringLiteral("Pair.mp3"));
    mediaFile(QStringLiteral("PAIR.CDG"));
    mediaFile(QStringLiteral("empty.zip"));
    const struct
    {
        const char *file;
        const char *message; // refused with it; stored when null
    } cases[] = {
        {"lone.cdg", "CDG 檔旁沒有同名的 MP3 檔!"},
        {"empty.zip", "無法讀取壓縮檔"},
        {"PAIR.CDG", nullptr},
    };
    SongAddFlow flow(state, fileSystem, boxes, owner);
    QString settled;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        boxes.shown.clear();
        SongAddForm song = form(QStringLiteral("新歌"));
        song.location = home.file(QString::fromUtf8(c.file));
        EXPECT_EQ(flow.save(song, &settled), c.message ? SongAddFlow::Outcome::Refused : SongAddFlow::Outcome::Stored);
        ASSERT_EQ(boxes.shown.size(), 1);
        if (c.message) {
            EXPECT_TRUE(boxes.shown.first().startsWith(QString::fromUtf8(c.message))) << qPrintable(boxes.shown.first());
        }
    }
    EXPECT_EQ(rows("SELECT song_num, song_location FROM song WHERE song_num = '105002'"),
              QStringList{"105002|" + home.file("PAIR.CDG")});
}

// A CD+G pair deleted with its song goes whole; a .cdg another song is registered with stays.
TEST_F(ManagerFlows, DeletingACdgSongWithItsFileTakesBothFilesOfThePair)
{
    for (const char *name : {"Pair.mp3", "PAIR.cdg", "Shared.mp3", "Shared.cdg"})
        mediaFile(QString::fromUtf8(name));
    catalogue.addSong("105002", 1, QStringLiteral("一對"), singer, home.file("Pair.mp3"));
    catalogue.addSong("105003", 1, QStringLiteral("共用"), singer, home.file("Shared.mp3"));
    catalogue.addSong("105004", 1, QStringLiteral("共用二"), singer, home.file("Shared.cdg"));
    SongEditFlow flow(state, fileSystem, boxes, owner);
    EXPECT_TRUE(flow.remove("105002"));
    EXPECT_TRUE(flow.remove("105003"));
    for (const char *name : {"Pair.mp3", "PAIR.cdg", "Shared.mp3"})
        EXPECT_FALSE(QFile::exists(home.file(QString::fromUtf8(name)))) << name;
    EXPECT_TRUE(QFile::exists(home.file("Shared.cdg"))) << "song 105004 is registered with it";
}

TEST_F(ManagerFlows, ChangingASongRefusesWhatCannotBeStoredAndNeverItsNumber)
{
    SongEditFlow flow(state, fileSystem, boxes, owner);
    const std::optional<SongEditForm> picked = flow.pick(QStringLiteral("105001"));
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked->singerName, QStringLiteral("江蕙"));
    const struct { std::function<void(SongEditForm &)> spoil; QString message; } cases[] = {
        {[](SongEditForm &f) { f.buildDate = "2026/02/30"; }, "請指定好日期"},
        {[](SongEditForm &f) { f.title.clear(); }, "請輸入正確的曲目名"},
        {[](SongEditForm &f) { f.count = -1; }, "請選好曲目種類及字數"},
        {[](SongEditForm &f) { f.number = "105009"; }, "酒後的心聲與編號105001,江蕙,同一曲名. 請修改後再存一次!!"},
    };
    SongEditForm saved;
    for (const auto &c : cases) {
        boxes.shown.clear();
        SongEditForm spoilt = *picked;
        c.spoil(spoilt);
        EXPECT_FALSE(flow.save(QStringLiteral("105001"), spoilt, &saved));
        EXPECT_EQ(boxes.shown, QStringList{c.message});
    }
    EXPECT_EQ(rows("SELECT song_name FROM song WHERE song_num = '105001'"), QStringList{"酒後的心聲"});
    EXPECT_FALSE(flow.pick(QStringLiteral("999999")));
    EXPECT_EQ(boxes.shown.last(), QStringLiteral("找不到999999"));
}

// The checks of sex and name are the add-singer dialog's, and a pick before a change the singer
// window's: their tests pin them.
TEST_F(ManagerFlows, TheSingerRegistryRefusesADuplicateAndStoresTheNameTrimmed)
{
    SingerRegistry registry(state, boxes);
    const struct { const char *name; int sex; const char *message; } cases[] = {
        {"江蕙 ", 0, "歌手名有重覆, 請修正後再執行\"新增\"功能"},
        {" 陳綺貞's 樂團 ", 2, "新增歌手資料, 陳綺貞's 樂團 ,完成"},
    };
    for (const auto &c : cases) {
        boxes.shown.clear();
        registry.add(QString::fromUtf8(c.name), c.sex);
        EXPECT_EQ(boxes.shown, QStringList{QString::fromUtf8(c.message)});
    }
    EXPECT_EQ(rows("SELECT singer_name, singer_sex FROM singer ORDER BY singer_code"),
              (QStringList{"江蕙|0", "陳綺貞's 樂團|2"}));
}

} // namespace
