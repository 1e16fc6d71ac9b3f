// The three add-singer dialogs that registration opens for a singer it does not know.
#include "manage/add_singer_dialog.h"
#include "manage/singer_settling.h"
#include "manage_fixture.h"

namespace {

using Variant = AddSingerDialog::Variant;

class AddSinger : public ManageFixture
{
protected:
    // The dialog, when it opens, gets this name and sex and "ok!" is pressed.
    void confirmWith(const QString &dialogName, const QString &name, int sex)
    {
        modals.on(dialogName, [=, this](QDialog &dialog) {
            seenName = child<QLineEdit>(dialog, "singer_name").text();
            seenCaption = dialog.windowTitle();
            seenPosition = dialog.pos();
            setText(dialog, "singer_name", name);
            choose(dialog, "singer_sex", sex);
            click(dialog, "Command1");
            leftOpen = dialog.isVisible();
        });
    }

    // The singer of that name, asking through the dialog of the variant; the name settled on
    // is kept in settledName.
    std::optional<qint64> findOrAdd(Variant variant, const QString &name)
    {
        AddSingerAsker asker(variant, state, fakes.services, kScreen, nullptr);
        const std::optional<SettledSinger> singer = settleSinger(state.db(), asker, name);
        settledName = singer ? singer->name : QString();
        return singer ? std::optional(singer->code) : std::nullopt;
    }

    QString seenName;
    QString seenCaption;
    QPoint seenPosition;
    bool leftOpen = false;
    QString settledName;
};

TEST_F(AddSinger, EachVariantCreatesTheSingerWithItsCaptionAndPlace)
{
    const struct { Variant variant; QString name; QString caption; QPoint position; } cases[] = {
        {Variant::singer_add, "singer_add", "歌手新增", QPoint(384, 216)},
        {Variant::batch_singer_add, "batch_singer_add", "批次登錄--新增歌手資料", QPoint(384, 216)},
        {Variant::reg_by_filename_addSinger, "reg_by_filename_addSinger", "新增歌手", QPoint(384, 257)},
    };
    int sex = 0;
    for (const auto &c : cases) {
        const QString singer = QStringLiteral("新人'%1_%").arg(sex);
        confirmWith(c.name, singer, sex);
        const std::optional<qint64> code = findOrAdd(c.variant, QStringLiteral(" ") + singer);
        ASSERT_TRUE(code.has_value()) << c.name.toStdString();
        EXPECT_EQ(seenName, singer);
        EXPECT_EQ(seenCaption, c.caption);
        EXPECT_EQ(seenPosition, c.position) << c.name.toStdString();
        EXPECT_EQ(settledName, singer);
        EXPECT_EQ(singers().last(), QStringLiteral("%1|%2|%3").arg(*code).arg(singer).arg(sex));
        ++sex;
    }
}

// A singer whose name only begins another's is a new singer: 張三 is not 張三豐.
TEST_F(AddSinger, ANameCorrectedInTheDialogIsTheOneLookedUpAndAnExistingOneUsedOnlyWhenTheOwnerSaysSo)
{
    catalogue.addSinger(QStringLiteral("張三豐"), 1);
    confirmWith("singer_add", QStringLiteral("張三"), 1);
    const std::optional<qint64> zhang = findOrAdd(Variant::singer_add, QStringLiteral("張三"));
    ASSERT_TRUE(zhang.has_value());
    EXPECT_EQ(modals.opened, QStringList{"singer_add"});

    confirmWith("singer_add", QStringLiteral("蔡依林"), 0);
    const std::optional<qint64> code = findOrAdd(Variant::singer_add, QStringLiteral("菜依林"));
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(settledName, QStringLiteral("蔡依林"));
    EXPECT_EQ(singers(), (QStringList{"1|張三豐|1", QStringLiteral("%1|張三|1").arg(*zhang),
                                      QStringLiteral("%1|蔡依林|0").arg(*code)}));

    // A corrected name that exists is used only when the owner says so.
    const qint64 existing = catalogue.addSinger(QStringLiteral("張學友"), 1);
    confirmWith("singer_add", QStringLiteral("張學友"), 1);
    confirmWith("singer_add", QStringLiteral("張學友"), 1);

    answer({kNo});
    EXPECT_FALSE(findOrAdd(Variant::singer_add, QStringLiteral("張學有")).has_value());
    EXPECT_TRUE(leftOpen) << "No leaves the dialog open for another name";

    answer({kYes});
    EXPECT_EQ(findOrAdd(Variant::singer_add, QStringLiteral("張學有")), existing);
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(singers().size(), 4);
    EXPECT_EQ(shown().last(),
              QStringLiteral("您所修正後的歌手名稱在資料庫中已經有同名的人了! 請問這是不是本來您所要輸入的歌手名?"));
}

TEST_F(AddSinger, RefusesNoSexOrNoNameAndAClosedDialogAddsNothing)
{
    confirmWith("singer_add", QStringLiteral("無性別"), -1);
    EXPECT_FALSE(findOrAdd(Variant::singer_add, QStringLiteral("無性別")).has_value());
    confirmWith("singer_add", QStringLiteral("   "), 2);
    EXPECT_FALSE(findOrAdd(Variant::singer_add, QStringLiteral("無名")).has_value());
    modals.clear("singer_add"); // closed with the close box
    EXPECT_FALSE(findOrAdd(Variant::singer_add, QStringLiteral("關掉")).has_value());
    EXPECT_EQ(shown(), (QStringList{"請選好歌手性別", "請輸入合法的歌手名"}));
    EXPECT_TRUE(singers().isEmpty());
}

TEST_F(AddSinger, ABusyCatalogueKeepsTheDialogAndItsInput)
{
    std::unique_ptr<Database> other;
    modals.on("singer_add", [&](QDialog &dialog) {
        setText(dialog, "singer_name", QStringLiteral("鄧麗君"));
        choose(dialog, "singer_sex", 0);
        other = lockCatalogue();
        click(dialog, "Command1");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(child<QLineEdit>(dialog, "singer_name").text(), QStringLiteral("鄧麗君"));
        other.reset();
        click(dialog, "Command1"); // the lock is gone: now it goes in
    });
    EXPECT_TRUE(findOrAdd(Variant::singer_add, QStringLiteral("鄧麗君")).has_value());
    ASSERT_EQ(shown().size(), 1);
    EXPECT_TRUE(shown()[0].contains(QStringLiteral("資料庫沒有被更動"))) << shown()[0].toStdString();
    EXPECT_EQ(singers().size(), 1);
}

} // namespace
