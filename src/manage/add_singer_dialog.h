#pragma once

#include "manage/manager_dialog.h"
#include "manage/singer_settling.h"

// The small dialog that adds a singer a registration met without knowing: name, sex and
// "ok!". Three windows open it, each as its own variant with its own caption and place.
class AddSingerDialog : public ManagerDialog
{
    Q_OBJECT

public:
    enum class Variant {
        singer_add,                // from song registration and song modification
        batch_singer_add,          // from batch registration
        reg_by_filename_addSinger, // from registration by file name: centred on the screen
    };

    AddSingerDialog(Variant variant, SharedState &state, Services &services, QSize screen, QWidget *parent = nullptr);

    void Command1_Click();
    // The name "ok!" settled: a new singer stored, or one of that name confirmed.
    const QString &settledName() const { return m_settled; }

    QLineEdit *singer_name = nullptr; // label Label2
    QComboBox *singer_sex = nullptr;  // label Label3
    QPushButton *Command1 = nullptr;

private:
    QString m_settled;
};

// The owner asked about a missing singer through the add-singer dialog of one variant.
class AddSingerAsker : public MissingSingerDecision
{
public:
    AddSingerAsker(AddSingerDialog::Variant variant, SharedState &state, Services &services, QSize screen,
                   QWidget *parent);
    std::optional<QString> addSinger(const QString &name) override;

private:
    AddSingerDialog::Variant m_variant;
    SharedState &m_state;
    Services &m_services;
    QSize m_screen;
    QWidget *m_parent;
};
