#pragma once

#include "playback/small_view.h"
#include "support/jukebox_fixture.h"
#include "support/modal_script.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

// Manager-mode windows on a fresh program folder with fake dialogs and media. Modal windows
// opened on the way are answered by the script, by their names.
class ManageFixture : public JukeboxFixture
{
protected:
    static constexpr QSize kScreen{1280, 720};

    QStringList songLines() { return rows(QStringLiteral("SELECT song_num, song_name, song_singer_code FROM song ORDER BY rowid")); }
    QStringList singers() { return rows(QStringLiteral("SELECT singer_code, singer_name, singer_sex FROM singer ORDER BY singer_code")); }

    // Another program is writing: reads go on, writes wait, until the returned database commits or closes.
    std::unique_ptr<Database> lockCatalogue()
    {
        auto other = std::make_unique<Database>(state.DbPath);
        other->ExecuteSql(QStringLiteral("BEGIN IMMEDIATE"));
        state.db().setBusyWait(20);
        return other;
    }

    template<class T> static T &child(QWidget &window, const QString &name)
    {
        T *found = window.findChild<T *>(name);
        if (!found)
            throw std::runtime_error("no control " + name.toStdString());
        return *found;
    }
    static void click(QWidget &window, const QString &button) { child<QPushButton>(window, button).click(); }
    static void setText(QWidget &window, const QString &box, const QString &text)
    {
        child<QLineEdit>(window, box).setText(text);
    }
    static void choose(QWidget &window, const QString &list, int index)
    {
        child<QComboBox>(window, list).setCurrentIndex(index);
    }
    static QStringList entries(QListWidget &list)
    {
        QStringList texts;
        for (int i = 0; i < list.count(); ++i)
            texts.append(list.item(i)->text());
        return texts;
    }
    // Notes the caption and file of each of the next previews opened, as "caption|url".
    void notePreviews(int times)
    {
        for (int i = 0; i < times; ++i)
            modals.on("small_view", [this](QDialog &dialog) {
                previews.append(dialog.windowTitle() + '|' + static_cast<SmallView &>(dialog).WMP_SMALL().url());
            });
    }
    // The window of that type on the program folder, made and shown the first time.
    template <class Window> Window &window()
    {
        if (!m_window) {
            m_window = std::make_unique<Window>(state, fakes.services, kScreen);
            m_window->show();
        }
        return static_cast<Window &>(*m_window);
    }
    QStringList &shown() { return fakes.messageBoxes.shown; }
    void answer(std::initializer_list<MessageBoxes::Answer> answers) { fakes.messageBoxes.answers = answers; }

    ModalScript modals;
    QStringList previews;

private:
    std::unique_ptr<QWidget> m_window;
};

constexpr MessageBoxes::Answer kYes = MessageBoxes::Answer::Yes;
constexpr MessageBoxes::Answer kNo = MessageBoxes::Answer::No;
