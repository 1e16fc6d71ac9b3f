#include "platform/qt_message_boxes.h"
#include "platform/qt_translations.h"
#include "support/process_watch.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Answers the next message box with the given button, after checking it has no title.
void answerNextBox(QMessageBox::StandardButton button, QStringList *seen)
{
    QTimer::singleShot(0, [=] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen->append(box->windowTitle() + "|" + box->text());
        box->button(button)->click();
    });
}

TEST(QtMessageBoxes, ShowPlainBoxesWithoutTitleAndReturnTheAnswer)
{
    QtMessageBoxes boxes;
    QStringList seen;
    answerNextBox(QMessageBox::Ok, &seen);
    boxes.ok("已存檔");
    answerNextBox(QMessageBox::No, &seen);
    EXPECT_FALSE(boxes.yesNo("確定刪除?"));
    answerNextBox(QMessageBox::Yes, &seen);
    EXPECT_TRUE(boxes.yesNo("確定刪除?"));
    answerNextBox(QMessageBox::Cancel, &seen);
    EXPECT_EQ(boxes.yesNoCancel("雙面列印?"), MessageBoxes::Answer::Cancel);
    answerNextBox(QMessageBox::No, &seen);
    EXPECT_EQ(boxes.yesNoCancel("雙面列印?"), MessageBoxes::Answer::No);
    EXPECT_EQ(seen, QStringList({"|已存檔", "|確定刪除?", "|確定刪除?", "|雙面列印?", "|雙面列印?"}));
}

TEST(QtMessageBoxes, ShowASongsTitleOrAFileNameAsTyped)
{
    const qint64 before = ProcessWatch::residentBytes();
    for (const QString text : {"找不到檔案: <img src=/dev/zero>.mpg", "<b>粗</b> Tom & Jerry"}) {
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            shown = label->textFormat() == Qt::PlainText ? label->text() : QStringLiteral("read as markup");
            box->button(QMessageBox::Ok)->click();
        });
        QtMessageBoxes().ok(text);
        EXPECT_EQ(shown, text);
    }
    EXPECT_LT(ProcessWatch::residentBytes() - before, 16 << 20) << "no picture was read for the text";
}

// What the owner reads on a yes/no box over the window: its buttons and its text size.
QString yesNoBoxAsShown()
{
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QAbstractButton *button : box->buttons())
            shown += button->text() + QLatin1Char('|');
        shown += QString::number(box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))->font().pixelSize());
        box->button(QMessageBox::No)->click();
    });
    QtMessageBoxes().yesNo(QStringLiteral("確定刪除?"));
    return shown;
}

TEST(QtDialogs, SpeakTheInterfaceLanguageInTheWindowsFontAndEnglishWithoutTranslations)
{
    QDialog window;
    QFont font(QStringLiteral("標楷體"));
    font.setPixelSize(24);
    window.setFont(font);
    window.setModal(true);
    window.show();

    const QTemporaryDir noTranslations;
    EXPECT_FALSE(installQtTranslations(*qApp, noTranslations.path()));
    EXPECT_EQ(yesNoBoxAsShown(), QStringLiteral("&Yes|&No|24"));

    ASSERT_TRUE(installQtTranslations(*qApp)) << "Debian package qt6-translations-l10n";
    EXPECT_EQ(yesNoBoxAsShown(), QStringLiteral("是(&Y)|否(&N)|24"));
    QFileDialog save(&window);
    save.setOption(QFileDialog::DontUseNativeDialog);
    save.setAcceptMode(QFileDialog::AcceptSave);
    EXPECT_EQ(save.windowTitle(), QStringLiteral("另存新檔"));
    EXPECT_EQ(save.findChild<QLabel *>(QStringLiteral("fileNameLabel"))->text(), QStringLiteral("檔名(&N)："));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ProcessWatch::limitOwnMemory(qint64(2) << 30); // a box reading markup could load a picture without end
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
