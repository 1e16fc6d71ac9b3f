#include "platform/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
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

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
