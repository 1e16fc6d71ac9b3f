#include "manage/singer_choice_dialog.h"

#include "core/shared_state.h"
#include "core/small_routines.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "core/key_translation.h"
#include "widgets/key_code.h"
#include "widgets/modal_runner.h"

#include <QListWidget>

namespace {

QString objectNameOf(SingerChoiceDialog::Variant variant)
{
    switch (variant) {
    case SingerChoiceDialog::Variant::song_add_check_singer_name:
        return QStringLiteral("song_add_check_singer_name");
    case SingerChoiceDialog::Variant::singer_modify_check_singer:
        return QStringLiteral("singer_modify_check_singer");
    case SingerChoiceDialog::Variant::song_modify_check_singer:
        break;
    }
    return QStringLiteral("song_modify_check_singer");
}

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

int SingerChoiceDialog::capacity(Variant variant)
{
    switch (variant) {
    case Variant::song_add_check_singer_name:
        return -1;
    case Variant::singer_modify_check_singer:
        return 2001;
    case Variant::song_modify_check_singer:
        break;
    }
    return 1001;
}

SingerChoiceDialog::SingerChoiceDialog(Variant variant, SharedState &state, Services &services, QSize screen,
                                       QWidget *parent)
    : ManagerDialog(state, services, screen, objectNameOf(variant), QStringLiteral("選擇歌手名"), QSize(), parent)
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
    const QList<SingerRecord> singers = findSingersByPrefix(m_state.db(), name, capacity(m_variant));
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
