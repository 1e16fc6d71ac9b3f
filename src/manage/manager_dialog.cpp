#include "manage/manager_dialog.h"

#include "core/database_error.h"
#include "platform/plain_text.h"
#include "platform/screen_fonts.h"
#include "core/small_routines.h"
#include "core/shared_state.h"
#include "platform/clock.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "playback/small_view.h"
#include "platform/modal_runner.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {
constexpr int kDesignFontPixels = 16;
} // namespace

const QStringList &songKindEntries()
{
    static const QStringList entries = {"0.台語", "1.國語", "2.客語", "3.英語", "4.日語", "5.兒歌", "6.其它", "7.粵語"};
    return entries;
}

const QStringList &textCountEntries()
{
    static const QStringList entries = [] {
        QStringList counts;
        for (int i = 1; i <= 30; ++i)
            counts.append(QString::number(i));
        return counts;
    }();
    return entries;
}

QString todayText(const Services &services)
{
    return services.clock.now().date().toString(QStringLiteral("yyyy/MM/dd"));
}

ManagerDialog::ManagerDialog(SharedState &state, Services &services, QSize screen, const QString &name,
                             const QString &caption, QSize designSize, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_services(services)
    , m_screen(screen)
{
    setObjectName(name);
    setWindowTitle(caption);
    QFont font(kScreenFontName);
    font.setPixelSize(kDesignFontPixels);
    setFont(font);
    resize(designSize);
}

bool ManagerDialog::guarded(const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const DatabaseError &e) {
        m_services.messageBoxes.ok(e.message() + QStringLiteral("\n資料庫沒有被更動."));
    }
    return false;
}

template<class Control> Control *ManagerDialog::place(Control *control, const QString &name, QRect geometry)
{
    control->setObjectName(name);
    control->setGeometry(geometry);
    m_controls.append(control);
    return control;
}

QLabel *ManagerDialog::addLabel(QWidget *parent, const QString &name, const QString &text, QRect geometry)
{
    return place(newTextLabel(parent, text), name, geometry);
}

QLineEdit *ManagerDialog::addTextBox(QWidget *parent, const QString &name, QRect geometry)
{
    return place(new QLineEdit(parent), name, geometry);
}

QPushButton *ManagerDialog::addButton(QWidget *parent, const QString &name, const QString &caption, QRect geometry,
                                      std::function<void()> click)
{
    auto *button = place(new QPushButton(caption, parent), name, geometry);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, click = std::move(click)] { guarded(click); });
    return button;
}

QComboBox *ManagerDialog::addList(QWidget *parent, const QString &name, const QStringList &entries, QRect geometry)
{
    auto *list = place(new QComboBox(parent), name, geometry);
    list->addItems(entries);
    list->setCurrentIndex(-1);
    return list;
}

QGroupBox *ManagerDialog::addFrame(const QString &name, const QString &caption, QRect geometry)
{
    return place(new QGroupBox(caption, this), name, geometry);
}

QListWidget *ManagerDialog::addListBox(QWidget *parent, const QString &name, QRect geometry)
{
    return place(new QListWidget(parent), name, geometry);
}

QLineEdit *ManagerDialog::addLabelledTextBox(QWidget *parent, const QString &labelName, const QString &label,
                                             const QString &name, int x, int y, int labelWidth, int fieldWidth, int h)
{
    addLabel(parent, labelName, label, QRect(x, y, labelWidth, h));
    return addTextBox(parent, name, QRect(x + labelWidth + 5, y, fieldWidth, h));
}

void ManagerDialog::fitToScreen(double widthShare)
{
    const double factor = widthShare * m_screen.width() / width();
    // Children before their parents: a control takes its parent's font until it is scaled, and
    // must not be scaled a second time through a parent scaled before it.
    for (auto it = m_controls.crbegin(); it != m_controls.crend(); ++it)
        ScaleControl(*it, factor);
    ScaleControl(this, factor);
    setFixedSize(size());
}

void ManagerDialog::chooseFileInto(QLineEdit *box)
{
    const QString current = box->text().trimmed();
    const QString start = current.isEmpty() ? m_state.AppPath : QFileInfo(current).absolutePath();
    const QString chosen = m_services.fileDialogs.openFile(start, QString());
    if (!chosen.isEmpty())
        box->setText(chosen);
}

void ManagerDialog::previewFile(const QString &path, const QString &caption)
{
    SmallView view(m_services.mediaPlayers, m_screen, this);
    view.setWindowTitle(caption);
    view.setFilePath(path);
    ModalRunner::exec(view);
}

void ManagerDialog::centreOnScreen()
{
    move((m_screen.width() - width()) / 2, (m_screen.height() - height()) / 2);
}
