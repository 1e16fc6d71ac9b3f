#pragma once

#include "core/database.h"
#include "core/init_system.h"
#include "core/shared_state.h"
#include "support/catalogue_builder.h"
#include "support/fake_services.h"
#include "support/qt_printers.h"
#include "support/temp_home.h"
#include "platform/modal_runner.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <map>

// Manager-mode windows on a fresh program folder with fake dialogs and media. Modal windows
// opened on the way run through the hook: the test says what to do in each, by its name.
class ManageFixture : public ::testing::Test
{
protected:
    static constexpr QSize kScreen{1280, 720};

    void SetUp() override
    {
        const InitResult init = InitSystem(state, fakes.fileSystem, fakes.clock, home.path());
        ASSERT_TRUE(init.ok) << init.problem.toStdString();
        ModalRunner::setHook([this](QDialog &dialog) {
            opened.append(dialog.objectName());
            const auto action = onDialog.find(dialog.objectName());
            if (action != onDialog.end())
                action->second(dialog);
        });
    }
    void TearDown() override { ModalRunner::setHook({}); }

    // All rows of a query as "a|b|c" lines.
    QStringList rows(const QString &sql)
    {
        QStringList lines;
        state.db().forEachRow(sql, {}, [&](const RowView &row) {
            QStringList cells;
            for (int c = 0; c < row.columnCount(); ++c)
                cells.append(row.text(c));
            lines.append(cells.join(QLatin1Char('|')));
            return true;
        });
        return lines;
    }
    QStringList songs() { return rows(QStringLiteral("SELECT song_num, song_name, song_singer_code FROM song ORDER BY rowid")); }
    QStringList singers() { return rows(QStringLiteral("SELECT singer_code, singer_name, singer_sex FROM singer ORDER BY singer_code")); }

    // A real file in the program folder, for songs whose file must exist or be deleted.
    QString mediaFile(const QString &name)
    {
        home.write(name, QByteArray("media"));
        return home.file(name);
    }

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
    QStringList &shown() { return fakes.messageBoxes.shown; }
    void answer(std::initializer_list<MessageBoxes::Answer> answers) { fakes.messageBoxes.answers = answers; }

    TempHome home;
    FakeServices fakes;
    SharedState state;
    CatalogueBuilder catalogue{home.file("karaoke.mdb")};
    std::map<QString, std::function<void(QDialog &)>> onDialog;
    QStringList opened;
};

constexpr MessageBoxes::Answer kYes = MessageBoxes::Answer::Yes;
constexpr MessageBoxes::Answer kNo = MessageBoxes::Answer::No;
