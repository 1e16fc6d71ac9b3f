#pragma once

#include "bulk/batch_run.h"
#include "bulk/bulk_window.h"

// Batch registration from a list file (披次登錄功能): the whole list is validated first, then
// every line is registered under a new song number; missing singers and similar titles are
// handed to manager mode's dialogs one line at a time.
class BatchRegiste : public BulkWindow
{
    Q_OBJECT

public:
    BatchRegiste(SharedState &state, Services &services, QSize screen, QWidget *parent = nullptr);
    ~BatchRegiste() override;

    QLabel *Label1 = nullptr;
    QLineEdit *reg_file_name = nullptr;
    QPushButton *select_reg_file = nullptr;
    QPushButton *batch_reg_do = nullptr;
    QLabel *Label2 = nullptr;

    void select_reg_file_Click();
    void batch_reg_do_Click();

    // The line being registered, while the run waits for a dialog.
    BatchRecord &currentRecord() { return m_record; }

private:
    class Decisions;
    void buildControls();
    // Validates and registers the list: the closing message, or the one that refused the list.
    QString runList();

    BatchRecord m_record;
};
