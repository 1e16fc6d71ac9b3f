#pragma once

#include "bulk/command_line_runs.h"
#include "manage/manage_fixture.h"

#include <QDir>
#include <QTextStream>

// A program folder with a catalogue and a folder "songs" of tiny media files.
class BulkFixture : public ManageFixture
{
protected:
    void SetUp() override
    {
        ManageFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(songs()));
    }

    QString songs() const { return home.file(QStringLiteral("songs")); }

    // The runs without a window on the folder "songs" and on a list written into it; what they
    // print is added to printed.
    int registerFolder(QString *printed)
    {
        QTextStream out(printed);
        return registerFolderWithoutWindow(state, fakes.fileSystem, fakes.clock, songs(), out);
    }
    int registerList(const QByteArray &list, QString *printed)
    {
        home.write(QStringLiteral("songs/list.txt"), list);
        QTextStream out(printed);
        return registerListWithoutWindow(state, fakes.fileSystem, fakes.clock, song(QStringLiteral("list.txt")), out);
    }
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

    // Answers an add-singer dialog: the name (as corrected, when given) with that sex, then "ok!".
    static ModalScript::Action addSinger(int sex, const QString &correctedName = QString())
    {
        return [sex, correctedName](QDialog &dialog) {
            if (!correctedName.isEmpty())
                dialog.findChild<QLineEdit *>(QStringLiteral("singer_name"))->setText(correctedName);
            dialog.findChild<QComboBox *>(QStringLiteral("singer_sex"))->setCurrentIndex(sex);
            dialog.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        };
    }
};
