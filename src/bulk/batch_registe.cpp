#include "bulk/batch_registe.h"

#include "bulk/batch_validation.h"
#include "bulk/manager_dialogs.h"
#include "bulk/window_progress.h"
#include "core/database_error.h"
#include "core/shared_state.h"
#include "platform/clock.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "widgets/manager_layout.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
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
        openBatchSingerAdd(m_window.m_state, m_window.m_services, m_window.m_screen, &m_window, m_window.m_record);
        record.singerName = m_window.m_record.singerName;
    }

    void similarTitle(BatchRecord &record, const QString &message) override
    {
        m_window.m_services.messageBoxes.ok(message);
        m_window.m_record = record;
        openBatchSame(m_window.m_state, m_window.m_services, m_window.m_screen, &m_window, m_window.m_record);
    }

private:
    BatchRegiste &m_window;
};

BatchRegiste::BatchRegiste(SharedState &state, Services &services, QSize screen, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_services(services)
    , m_screen(screen)
{
    setObjectName(QStringLiteral("batch_registe"));
    setWindowTitle(QStringLiteral("披次登錄功能"));
    resize(800, 230);
    setManagerFont(*this);
    buildControls();
    fitManagerWindow(*this, screen, 0.7);
}

BatchRegiste::~BatchRegiste() = default;

void BatchRegiste::buildControls()
{
    Label1 = addControl<QLabel>(this, "Label1", {20, 16, 600, 30});
    Label1->setText(QStringLiteral("請選定披次登錄檔"));
    reg_file_name = addControl<QLineEdit>(this, "reg_file_name", {20, 52, 600, 34});
    select_reg_file = addControl<QPushButton>(this, "select_reg_file", {630, 50, 150, 38});
    select_reg_file->setText(QStringLiteral("瀏覽"));
    batch_reg_do = addControl<QPushButton>(this, "batch_reg_do", {630, 100, 150, 50});
    batch_reg_do->setText(QStringLiteral("執行批次"));
    Label2 = addControl<QLabel>(this, "Label2", {20, 100, 600, 30});
    Label2->setStyleSheet(QStringLiteral("color: #0000a0;"));
    prgProgress = addControl<QProgressBar>(this, "prgProgress", {20, 140, 600, 22});
    cmdStop = addControl<QPushButton>(this, "cmdStop", {630, 170, 150, 40});
    cmdStop->setText(QStringLiteral("停止"));
    prgProgress->hide();
    cmdStop->hide();

    connect(select_reg_file, &QPushButton::clicked, this, &BatchRegiste::select_reg_file_Click);
    connect(batch_reg_do, &QPushButton::clicked, this, &BatchRegiste::batch_reg_do_Click);
}

void BatchRegiste::select_reg_file_Click()
{
    const QString chosen = m_services.fileDialogs.openFile(m_state.AppPath, QString());
    if (!chosen.isEmpty())
        reg_file_name->setText(chosen);
}

void BatchRegiste::batch_reg_do_Click()
{
    QString message;
    try {
        message = runList();
    } catch (const DatabaseError &e) {
        message = e.message();
    }
    m_services.messageBoxes.ok(message);
}

QString BatchRegiste::runList()
{
    WindowProgress progress(*Label2, *prgProgress, *cmdStop);
    const BatchCheck check =
        validateListFile(m_services.fileSystem, m_state.SongKindNames, reg_file_name->text().trimmed(), progress);
    if (!check.ok())
        return check.message;
    Decisions decisions(*this);
    const QString today = m_services.clock.now().date().toString(QStringLiteral("yyyy/MM/dd"));
    const BatchOutcome outcome = registerBatch(m_state, check.songs, today, decisions, progress);
    reg_file_name->clear();
    QString message = batchDoneMessage(outcome.linesDone);
    if (!outcome.problems.isEmpty())
        message += QLatin1Char('\n') + outcome.problems.join(QLatin1Char('\n'));
    return message;
}
