#pragma once

#include "manage/manager_dialog.h"

#include <functional>
#include <optional>

// The small dialog that adds a singer a registration met without knowing: name, sex and
// "ok!". Three windows open it, each as its own variant with its own caption; they differ in
// where the confirmed name is written back (writeBack) and where the dialog stands.
class AddSingerDialog : public ManagerDialog
{
    Q_OBJECT

public:
    enum class Variant {
        singer_add,                // from song registration and song modification
        batch_singer_add,          // from batch registration
        reg_by_filename_addSinger, // from registration by file name: centred, writes nothing back
    };

    AddSingerDialog(Variant variant, SharedState &state, Services &services, QSize screen, QWidget *parent = nullptr);

    // The code of the singer named name (trimmed). When the catalogue has none, the dialog
    // opens modally with the name filled in; afterwards the singer is looked up again by the
    // name writeBack received (the name as corrected in the dialog), or by the original name
    // when writeBack is not set. Nothing when there is still no such singer (the dialog was
    // closed without "ok!"). Throws DatabaseError.
    static std::optional<qint64> findOrAdd(Variant variant, SharedState &state, Services &services, QSize screen,
                                           const QString &name,
                                           const std::function<void(const QString &)> &writeBack = {},
                                           QWidget *parent = nullptr);

    // findOrAdd as the song windows use it: singer_add with the name in nameBox, the name as
    // settled in the dialog written back into nameBox.
    static std::optional<qint64> findOrAddFromBox(SharedState &state, Services &services, QSize screen,
                                                  QLineEdit *nameBox, QWidget *parent);

    // Receives the trimmed name when "ok!" settles it: a new singer stored, or one of that
    // name confirmed.
    std::function<void(const QString &)> writeBack;

    void Command1_Click();

    QLineEdit *singer_name = nullptr; // label Label2
    QComboBox *singer_sex = nullptr;  // label Label3
    QPushButton *Command1 = nullptr;

private:
    void confirm(const QString &name);
};
