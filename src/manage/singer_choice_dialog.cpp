#include "manage/singer_choice_dialog.h"

#include "core/shared_state.h"
#include "platform/screen_fonts.h"
#include "core/small_routines.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "core/key_translation.h"
#include "widgets/key_code.h"
#include "platform/modal_runner.h"

#include <QLineEdit>
#include <QListWidget>

namespace {

// Name and list size (-1: every match) of each variant, in the order of the Variant enum.
struct VariantShape
{
    const char *name;
    int capacity;
};
constexpr VariantShape kVariants[] = {
    {"song_add_check_singer_name", -1},
    {"singer_modify_check_singer", 2001},
    {"song_modify_check_singer", 1001},
};

} // namespace

QString noSingerFoundMessage(const QString &name)
{
    return QStringLiteral("找無 \"") + name + QStringLiteral("\" 字串的相關資料");
}

std::optional<SingerRecord> SingerChoiceDialog::choose(Variant variant, SharedState &state, Services &services,
                                                       QSize screen, const QString &name, QWidget *parent)
{
    SingerChoiceDialog dialog(variant, state, services, screen, parent);
    if (!dialog.load(name.trimmed())) {
        services.messageBoxes.ok(noSingerFoundMessage(name.trimmed()));
        return std::nullopt;
    }
    ModalRunner::exec(dialog);
    return dialog.chosen();
}

void SingerChoiceDialog::chooseInto(Variant variant, SharedState &state, Services &services, QSize screen,
                                    QLineEdit *nameBox, QWidget *parent)
{
    if (const std::optional<SingerRecord> singer = choose(variant, state, services, screen, nameBox->text(), parent))
        nameBox->setText(singer->singer_name);
}

SingerChoiceDialog::SingerChoiceDialog(Variant variant, SharedState &state, Services &services, QSize screen,
                                       QWidget *parent)
    : ManagerDialog(state, services, screen, QString::fromUtf8(kVariants[int(variant)].name), QStringLiteral("選擇歌手名"), QSize(), parent)
    , m_variant(variant)
{
    setFixedSize(int(screen.width() * 0.35), int(screen.height() * 0.5));
    centreOnScreen();
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(int(width() * 0.05), int(height() * 0.05), int(width() * 0.9), int(height() * 0.9));
    QFont font(kScreenFontName);
    font.setPixelSize(qMax(8, screen.width() * 18 / 640));
    List1->setFont(font);
    List1->installEventFilter(this);
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { guarded([this] { chooseSelected(); }); });
}

bool SingerChoiceDialog::load(const QString &name)
{
    List1->clear();
    m_codes.clear();
    const QList<SingerRecord> singers = findSingersByPrefix(m_state.db(), name, kVariants[int(m_variant)].capacity);
    for (const SingerRecord &singer : singers) {
        List1->addItem(singer.singer_name);
        m_codes.append(singer.singer_code);
    }
    return !singers.isEmpty();
}

void SingerChoiceDialog::chooseSelected()
{
    const int row = List1->currentRow();
    if (row < 0 || row >= m_codes.size())
        return;
    // The singer is read again: the list may be older than the catalogue.
    m_chosen = findSingerByCode(m_state.db(), m_codes[row]);
    accept();
}

bool SingerChoiceDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List1 && keyCodeOf(*event) == KeyCode::Enter) {
        guarded([this] { chooseSelected(); });
        return true;
    }
    return ManagerDialog::eventFilter(watched, event);
}
