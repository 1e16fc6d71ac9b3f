#include "manage/add_singer_dialog.h"

#include "core/shared_state.h"
#include "manage/singer_records.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "platform/modal_runner.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

// Name and caption of each variant, in the order of AddSingerDialog::Variant.
struct VariantText
{
    const char *name;
    const char *caption;
};
constexpr VariantText kVariants[] = {
    {"singer_add", "歌手新增"},
    {"batch_singer_add", "批次登錄--新增歌手資料"},
    {"reg_by_filename_addSinger", "新增歌手"},
};

} // namespace

AddSingerDialog::AddSingerDialog(Variant variant, SharedState &state, Services &services, QSize screen,
                                 QWidget *parent)
    : ManagerDialog(state, services, screen, QString::fromUtf8(kVariants[int(variant)].name),
                    QString::fromUtf8(kVariants[int(variant)].caption), QSize(400, 160), parent)
{
    singer_name = addLabelledTextBox(this, QStringLiteral("Label2"), QStringLiteral("歌手名稱"),
                                     QStringLiteral("singer_name"), 20, 20, 100, 255);
    addLabel(this, QStringLiteral("Label3"), QStringLiteral("歌手性別"), QRect(20, 65, 100, 30));
    singer_sex = addList(this, QStringLiteral("singer_sex"), kSingerSexEntries, QRect(125, 65, 255, 30));
    Command1 = addButton(this, QStringLiteral("Command1"), QStringLiteral("ok!"), QRect(150, 112, 100, 36),
                         [this] { Command1_Click(); });
    fitToScreen(0.4);
    if (variant == Variant::reg_by_filename_addSinger)
        centreOnScreen();
    else
        move(int(screen.width() * 0.3), int(screen.height() * 0.3));
}

std::optional<qint64> AddSingerDialog::findOrAdd(Variant variant, SharedState &state, Services &services,
                                                 QSize screen, const QString &name,
                                                 const std::function<void(const QString &)> &writeBack,
                                                 QWidget *parent)
{
    if (const std::optional<SingerRecord> singer = findSingerByName(state.db(), name.trimmed()))
        return singer->singer_code;
    AddSingerDialog dialog(variant, state, services, screen, parent);
    QString lookUp = name.trimmed();
    dialog.writeBack = [&](const QString &corrected) {
        if (!writeBack)
            return;
        writeBack(corrected);
        lookUp = corrected;
    };
    dialog.singer_name->setText(name.trimmed());
    ModalRunner::exec(dialog);
    if (const std::optional<SingerRecord> singer = findSingerByName(state.db(), lookUp))
        return singer->singer_code;
    return std::nullopt;
}

std::optional<qint64> AddSingerDialog::findOrAddFromBox(SharedState &state, Services &services, QSize screen,
                                                        QLineEdit *nameBox, QWidget *parent)
{
    return findOrAdd(Variant::singer_add, state, services, screen, nameBox->text(),
                     [nameBox](const QString &name) { nameBox->setText(name); }, parent);
}

void AddSingerDialog::Command1_Click()
{
    const QString name = singer_name->text().trimmed();
    if (singer_sex->currentIndex() < 0) {
        m_services.messageBoxes.ok(QStringLiteral("請選好歌手性別"));
        return;
    }
    if (name.isEmpty()) {
        m_services.messageBoxes.ok(QStringLiteral("請輸入合法的歌手名"));
        return;
    }
    if (!findSingerByName(m_state.db(), name)) {
        insertSinger(m_state.db(), name, singer_sex->currentIndex());
        confirm(name);
        return;
    }
    if (m_services.messageBoxes.yesNo(QStringLiteral("您所修正後的歌手名稱在資料庫中已經有同名的人了! "
                                                     "請問這是不是本來您所要輸入的歌手名?")))
        confirm(name);
}

// The name goes back to the registration only once it is settled: a name the owner said No
// to, in a dialog then closed, does not replace what the registration window holds.
void AddSingerDialog::confirm(const QString &name)
{
    if (writeBack)
        writeBack(name);
    accept();
}
