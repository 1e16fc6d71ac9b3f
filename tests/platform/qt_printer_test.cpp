#include "platform/print_preview_window.h"
#include "platform/qt_printer.h"
#include "support/fake_file_dialogs.h"
#include "support/fake_message_boxes.h"
#include "support/qt_printers.h"
#include "support/temp_home.h"
#include "platform/modal_runner.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

int pdfPages(const QString &path)
{
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {path});
    pdfinfo.waitForFinished();
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(pdfinfo.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A machine without a printer: every document is previewed, then saved as a PDF the owner names.
class QtPrinterWithoutPrinter : public ::testing::Test
{
protected:
    QtPrinterWithoutPrinter()
    {
        ModalRunner::setHook([this](QDialog &dialog) {
            auto *preview = qobject_cast<PrintPreviewWindow *>(&dialog);
            previewPages.append(preview ? preview->pageCount() : -1);
            if (acceptPreview)
                dialog.accept();
        });
    }
    ~QtPrinterWithoutPrinter() override { ModalRunner::setHook(nullptr); }

    // Three sheets: a page break right before the end adds no fourth, blank one.
    void drawThreeSheets()
    {
        for (int sheet = 1; sheet <= 3; ++sheet) {
            printer.setCurrentX(567);
            printer.setCurrentY(567);
            printer.print(QStringLiteral("第 %1頁").arg(sheet));
            printer.fillBox(567, 1134, 10000, 1200);
            printer.newPage();
        }
        printer.endDoc();
    }

    TempHome home;
    FakeMessageBoxes messages;
    FakeFileDialogs dialogs;
    QtPrinter printer{QString(), messages, dialogs, [this] { return home.path(); }};
    QList<int> previewPages;
    bool acceptPreview = true;
};

TEST_F(QtPrinterWithoutPrinter, PreviewsThenSavesThePdfTheOwnerNamesAndSaysWhereItWent)
{
    const QString pdf = home.file("歌本.pdf");
    dialogs.answers = {pdf};
    printer.setFontName(QStringLiteral("標楷體"));
    printer.setFontSize(24);

    EXPECT_TRUE(printer.printDocument(QStringLiteral("全部目錄"), [this] { drawThreeSheets(); }));

    EXPECT_EQ(previewPages, QList<int>{3});
    EXPECT_EQ(dialogs.asked, QStringList{home.path() + "|全部目錄.pdf|PDF (*.pdf)"});
    EXPECT_EQ(pdfPages(pdf), 3);
    EXPECT_EQ(messages.shown, QStringList{"這台電腦沒有印表機, 文件已存成 PDF 檔: " + pdf});
}

TEST_F(QtPrinterWithoutPrinter, NothingIsWrittenWhenTheOwnerStopsAnywhere)
{
    const QString pdf = home.file("out.pdf");

    // Preview closed (no font was set: the printer's default one is used).
    acceptPreview = false;
    dialogs.answers = {pdf};
    EXPECT_FALSE(printer.printDocument(QStringLiteral("x"), [this] { drawThreeSheets(); }));
    EXPECT_TRUE(dialogs.asked.isEmpty());

    // No file named.
    acceptPreview = true;
    dialogs.answers.clear();
    EXPECT_FALSE(printer.printDocument(QStringLiteral("x"), [this] { drawThreeSheets(); }));
    EXPECT_EQ(dialogs.asked.size(), 1);

    // The drawing stopped before the end of the document: no preview, no question.
    previewPages.clear();
    EXPECT_FALSE(printer.printDocument(QStringLiteral("x"), [this] { printer.print(QStringLiteral("半頁")); }));
    EXPECT_TRUE(previewPages.isEmpty());

    // A file that cannot be written is reported.
    dialogs.answers = {home.file("no/such/folder/out.pdf")};
    EXPECT_FALSE(printer.printDocument(QStringLiteral("x"), [this] { drawThreeSheets(); }));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].startsWith("無法寫入 PDF 檔 " + home.file("no/such/folder/out.pdf")));
    EXPECT_FALSE(QFile::exists(pdf));
}

} // namespace
