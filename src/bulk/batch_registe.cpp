#include "bulk/batch_registe.h"

#include "bulk/batch_validation.h"
#include "core/shared_state.h"
#include "manage/add_singer_dialog.h"
#include "manage/duplicate_title_dialog.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "platform/modal_runner.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The owner decides through manager mode's dialogs, over the window's current record.
class BatchRegiste::Decisions : public BatchDecisions
{
public:
    explicit Decisions(BatchRegiste &window)
        : m_window(window)
    {
    }

    void missingSinger(BatchRecord &record) override
    {
        m_window.m_record = record;
        AddSingerAsker asker(AddSingerDialog::Variant::batch_singer_add, m_window.m_state, m_window.m_services,
                             m_window.m_screen, &m_window);
        if (const std::optional<QString> settled = asker.addSinger(record.singerName))
            record.singerName = m_window.m_record.singerName = *settled;
    }

    bool similarTitle(BatchRecord &record, const QString &message) override
    {
        m_window.m_services.messageBoxes.ok(message);
        m_window.m_record = record;
        DuplicateTitleDialog same(DuplicateTitleDialog::Variant::batch_same, newSongOf(record), record.newSongNum,
                                  m_window.m_state, m_window.m_services, m_window.m_screen, &m_window);
        ModalRunner::exec(same);
        return same.resolution().outcome() == DuplicateResolution::Outcome::Registered;
    }

private:
    BatchRegiste &m_window;
};

BatchRegiste::BatchRegiste(SharedState &state, Services &services, QSize screen, QWidget *parent)
    : BulkWindow(state, services, screen, QStringLiteral("batch_registe"), QStringLiteral("披次登錄功能"),
                    QSize(800, 230), parent)
{
    buildControls();
    fitToScreen(0.7);
    centreOnScreen();
}

BatchRegiste::~BatchRegiste() = default;

void BatchRegiste::buildControls()
{
    Label1 = addLabel(this, QStringLiteral("Label1"), QStringLiteral("請選定披次登錄檔"), {20, 16, 600, 30});
    reg_file_name = addTextBox(this, QStringLiteral("reg_file_name"), {20, 52, 600, 34});
    select_reg_file = addButton(this, QStringLiteral("select_reg_file"), QStringLiteral("瀏覽"), {630, 50, 150, 38},
                                [this] { select_reg_file_Click(); });
    batch_reg_do = addButton(this, QStringLiteral("batch_reg_do"), QStringLiteral("執行批次"), {630, 100, 150, 50},
                             [this] { batch_reg_do_Click(); });
    Label2 = addProgressLine(QStringLiteral("Label2"), {20, 100, 600, 30});
    addProgressStrip(QRect{20, 170, 760, 40});
}

void BatchRegiste::select_reg_file_Click()
{
    const QString chosen = m_services.fileDialogs.openFile(m_state.AppPath, QString());
    if (!chosen.isEmpty())
        reg_file_name->setText(chosen);
}

void BatchRegiste::batch_reg_do_Click()
{
    m_services.messageBoxes.ok(runList());
}

// A run that stopped keeps the list's path, so the same list can simply be run again.
QString BatchRegiste::runList()
{
    const auto progress = showProgress();
    const BatchCheck check =
        validateListFile(m_services.fileSystem, m_state.SongKindNames, reg_file_name->text().trimmed(), *progress);
    if (!check.ok())
        return check.message;
    Decisions decisions(*this);
    const BatchOutcome outcome =
        registerBatch(m_state, m_services.fileSystem, check.songs, todayText(m_services), decisions, *progress);
    if (!outcome.stopped)
        reg_file_name->clear();
    QString message = outcome.stopped ? batchStoppedMessage(outcome) : batchDoneMessage(outcome.linesDone);
    if (!outcome.problems.isEmpty())
        message += QLatin1Char('\n') + outcome.problems.join(QLatin1Char('\n'));
    return message;
}
