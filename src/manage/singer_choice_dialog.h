#pragma once

#include "manage/manager_dialog.h"
#include "catalogue/singer_records.h"

#include <QList>

#include <optional>


// "選擇歌手名": the singers whose name begins with what the owner typed, picked with a
// double-click or Enter. Three windows open it, each as its own variant; they differ in how
// many singers the list holds at most and in what they do with the singer chosen.
class SingerChoiceDialog : public ManagerDialog
{
    Q_OBJECT

public:
    enum class Variant {
        song_add_check_singer_name, // song registration: every match
        singer_modify_check_singer, // singer management: up to 2001
        song_modify_check_singer,   // song modification: up to 1001
    };

    // Looks up the singers whose name begins with name (trimmed). None: says so and returns
    // nothing. Otherwise runs the dialog modally and returns the singer chosen, read again by
    // its code, or nothing when the dialog was closed without a choice. Throws DatabaseError.
    static std::optional<SingerRecord> choose(Variant variant, SharedState &state, Services &services, QSize screen,
                                              const QString &name, QWidget *parent = nullptr);

    // choose with the name in nameBox; the name of the singer chosen goes into nameBox.
    static void chooseInto(Variant variant, SharedState &state, Services &services, QSize screen, QLineEdit *nameBox,
                           QWidget *parent);

    SingerChoiceDialog(Variant variant, SharedState &state, Services &services, QSize screen, QWidget *parent = nullptr);

    // Fills List1 with the singers whose name begins with name; false when there is none.
    bool load(const QString &name);
    // Chooses the selected entry, as a double-click or Enter does.
    void chooseSelected();
    const std::optional<SingerRecord> &chosen() const { return m_chosen; }

    QListWidget *List1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Variant m_variant;
    QList<qint64> m_codes; // parallel to List1
    std::optional<SingerRecord> m_chosen;
};

// The message when no singer begins with name.
QString noSingerFoundMessage(const QString &name);
