#pragma once

#include "core/database.h"
#include "core/init_system.h"
#include "core/shared_state.h"
#include "support/catalogue_builder.h"
#include "support/fake_services.h"
#include "support/temp_home.h"
#include "platform/modal_runner.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

// A program folder with a catalogue and a folder "songs" of tiny media files. Modal dialogs
// are answered by the steps in onModal, in the order they open.
class BulkFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const InitResult init = InitSystem(state, fakes.fileSystem, fakes.clock, home.path());
        ASSERT_TRUE(init.ok) << init.problem.toStdString();
        ASSERT_TRUE(QDir().mkpath(songs()));
        ModalRunner::setHook([this](QDialog &dialog) {
            opened.append(dialog.objectName() + QLatin1Char('|') + dialog.windowTitle());
            if (!onModal.isEmpty())
                onModal.takeFirst()(dialog);
        });
    }
    void TearDown() override { ModalRunner::setHook({}); }

    QString songs() const { return home.file(QStringLiteral("songs")); }
    QString song(const QString &name) const { return songs() + QLatin1Char('/') + name; }

    // A short silent WAV under the given name (players only read it when a preview opens).
    QString addFile(const QString &name, const QString &folder = QString()) const
    {
        const QString path = (folder.isEmpty() ? songs() : folder) + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(tinyWav());
        return path;
    }

    static QByteArray tinyWav()
    {
        const quint32 dataBytes = 441 * 4;
        QByteArray wav("RIFF");
        auto u32 = [&wav](quint32 v) { wav.append(reinterpret_cast<const char *>(&v), 4); };
        auto u16 = [&wav](quint16 v) { wav.append(reinterpret_cast<const char *>(&v), 2); };
        u32(36 + dataBytes);
        wav.append("WAVEfmt ");
        u32(16);
        u16(1);
        u16(2);
        u32(44100);
        u32(44100 * 4);
        u16(4);
        u16(16);
        wav.append("data");
        u32(dataBytes);
        wav.append(QByteArray(int(dataBytes), '\0'));
        return wav;
    }

    // The catalogue read through a connection of its own, as another program would see it.
    Recordset query(const QString &sql, SqlValues values = {}) { return reader.OpenRecordset(sql, values); }
    int count(const QString &sql, SqlValues values = {}) { return query(sql, values).value(0).toInt(); }
    int songRows() { return count(QStringLiteral("SELECT count(*) FROM song")); }

    // Answers an add-singer dialog: the name (as corrected, when given) with that sex, then "ok!".
    static std::function<void(QDialog &)> addSinger(int sex, const QString &correctedName = QString())
    {
        return [sex, correctedName](QDialog &dialog) {
            if (!correctedName.isEmpty())
                dialog.findChild<QLineEdit *>(QStringLiteral("singer_name"))->setText(correctedName);
            dialog.findChild<QComboBox *>(QStringLiteral("singer_sex"))->setCurrentIndex(sex);
            dialog.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        };
    }

    TempHome home;
    FakeServices fakes;
    SharedState state;
    CatalogueBuilder catalogue{home.file(QStringLiteral("karaoke.mdb"))};
    Database reader{home.file(QStringLiteral("karaoke.mdb"))};
    QList<std::function<void(QDialog &)>> onModal;
    QStringList opened; // "objectName|caption" of each modal dialog
};
