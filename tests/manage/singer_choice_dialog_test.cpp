// The singer-choice dialogs: a prefix search on the singer's name, picked by double-click or Enter.
#include "core/scoped_transaction.h"
#include "manage/singer_choice_dialog.h"
#include "manage_fixture.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

using Variant = SingerChoiceDialog::Variant;

class SingerChoice : public ManageFixture
{
protected:
    std::optional<SingerRecord> choose(Variant variant, const QString &name)
    {
        return SingerChoiceDialog::choose(variant, state, fakes.services, kScreen, name);
    }
    static QStringList entries(QDialog &dialog) { return ManageFixture::entries(child<QListWidget>(dialog, "List1")); }
};

TEST_F(SingerChoice, ListsTheNamesThatBeginWithWhatWasTypedAndGivesThePick)
{
    catalogue.addSinger(QStringLiteral("王菲"), 0);
    const qint64 wang = catalogue.addSinger(QStringLiteral("王力宏"), 1);
    catalogue.addSinger(QStringLiteral("汪峰"), 1);
    catalogue.addSinger(QStringLiteral("王_團"), 2);
    QStringList listed;
    modals.on("song_add_check_singer_name", [&](QDialog &dialog) {
        listed = entries(dialog);
        auto &list = child<QListWidget>(dialog, "List1");
        list.setCurrentRow(int(listed.indexOf(QStringLiteral("王力宏"))));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(&list, &enter);
    });
    const std::optional<SingerRecord> picked = choose(Variant::song_add_check_singer_name, QStringLiteral(" 王 "));
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(picked->singer_code, wang);
    EXPECT_EQ(picked->singer_sex, 1);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"王_團", "王力宏", "王菲"}));

    modals.on("song_modify_check_singer", [&](QDialog &dialog) {
        listed = entries(dialog);
        auto &list = child<QListWidget>(dialog, "List1");
        list.setCurrentRow(0);
        emit list.itemDoubleClicked(list.item(0));
    });
    EXPECT_EQ(choose(Variant::song_modify_check_singer, QStringLiteral("王_"))->singer_name, QStringLiteral("王_團"));
    EXPECT_EQ(listed, QStringList{"王_團"}) << "\"_\" is itself, not any character";

    modals.clear("singer_modify_check_singer"); // closed without a pick
    EXPECT_FALSE(choose(Variant::singer_modify_check_singer, QStringLiteral("汪")).has_value());

    // No match says so without opening.
    const qsizetype opened = modals.opened.size();
    EXPECT_FALSE(choose(Variant::song_add_check_singer_name, QStringLiteral("李")).has_value());
    EXPECT_EQ(shown(), QStringList{"找無 \"李\" 字串的相關資料"});
    EXPECT_EQ(modals.opened.size(), opened);

    // Each variant holds its number of singers.
    {
        ScopedTransaction many(catalogue.database());
        for (int i = 0; i < 2100; ++i)
            catalogue.addSinger(QStringLiteral("林%1").arg(i), i % 3);
        many.commit();
    }
    std::map<QString, qsizetype> held;
    for (const char *name : {"song_add_check_singer_name", "singer_modify_check_singer", "song_modify_check_singer"})
        modals.on(name, [&](QDialog &dialog) { held[dialog.objectName()] = entries(dialog).size(); });
    for (Variant v : {Variant::song_add_check_singer_name, Variant::singer_modify_check_singer,
                      Variant::song_modify_check_singer})
        choose(v, QStringLiteral("林"));
    EXPECT_EQ(held["song_add_check_singer_name"], 2100);
    EXPECT_EQ(held["singer_modify_check_singer"], 2001);
    EXPECT_EQ(held["song_modify_check_singer"], 1001);
}

} // namespace
