#include "manage/add_singer_dialog.h"

#include "catalogue/singer_records.h"
#include "core/shared_state.h"
#include "manage/singer_registry.h"
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

// The name goes back to the registration only once it is settled: a name the owner said No
// to, in a dialog then closed, does not replace what the registration holds.
void AddSingerDialog::Command1_Click()
{
    SingerRegistry registry(m_state, m_services.messageBoxes);
    if (!registry.confirmNewSinger(singer_name->text(), singer_sex->currentIndex()))
        return;
    m_settled = singer_name->text().trimmed();
    accept();
}

AddSingerAsker::AddSingerAsker(AddSingerDialog::Variant variant, SharedState &state, Services &services,
                               QSize screen, QWidget *parent)
    : m_variant(variant)
    , m_state(state)
    , m_services(services)
    , m_screen(screen)
    , m_parent(parent)
{
}

std::optional<QString> AddSingerAsker::addSinger(const QString &name)
{
    AddSingerDialog dialog(m_variant, m_state, m_services, m_screen, m_parent);
    dialog.singer_name->setText(name.trimmed());
    ModalRunner::exec(dialog);
    if (dialog.settledName().isEmpty())
        return std::nullopt;
    return dialog.settledName();
}
