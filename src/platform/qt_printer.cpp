#include "platform/qt_printer.h"

#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/plain_text.h"
#include "platform/print_preview_window.h"
#include "platform/printer_texts.h"
#include "platform/modal_runner.h"

#include <QApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>

namespace {

// A4 portrait, drawn from the corner of the sheet: the song book's positions are measured
// from there, and stay well inside any printer's margins.
void setUpSheet(QPrinter &printer, const QString &title)
{
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(title);
}

} // namespace

QtPrinter::QtPrinter(QString printerName, MessageBoxes &messageBoxes, FileDialogs &fileDialogs,
                     std::function<QString()> pdfFolder)
    : m_printerName(std::move(printerName))
    , m_messageBoxes(messageBoxes)
    , m_fileDialogs(fileDialogs)
    , m_pdfFolder(std::move(pdfFolder))
{
}

QtPrinter::~QtPrinter() = default;

QString QtPrinter::defaultPrinterName()
{
    return QPrinterInfo::defaultPrinterName();
}

bool QtPrinter::printDocument(const QString &title, const std::function<void()> &draw)
{
    if (!preview(title, draw))
        return false;
    return m_printerName.isEmpty() ? saveAsPdf(title, draw) : printOnPaper(title, draw);
}

bool QtPrinter::progress(int done, int total)
{
    if (documentFailed())
        return false;
    if (!m_progress)
        return true;
    m_progress->setMaximum(total);
    m_progress->setValue(done);
    return !m_progress->wasCanceled();
}

void QtPrinter::showProgress(const QString &label)
{
    m_progress = std::make_unique<QProgressDialog>(QString(), QStringLiteral("取消"), 0, 0, QApplication::activeWindow());
    m_progress->setLabel(newTextLabel(m_progress.get(), label)); // a document's name, shown as typed
    m_progress->setWindowModality(Qt::ApplicationModal);
    m_progress->setMinimumDuration(500);
}

bool QtPrinter::drawOn(QPrinter &printer, const QString &label, const std::function<void()> &draw)
{
    showProgress(label);
    startDocument(&printer);
    draw();
    m_progress.reset();
    return documentEnded() && !documentFailed();
}

bool QtPrinter::preview(const QString &title, const std::function<void()> &draw)
{
    QPrinter printer(QPrinter::HighResolution);
    setUpSheet(printer, title);
    PrintPreviewWindow window(printer, title,
                              m_printerName.isEmpty() ? QStringLiteral("存成 PDF") : QStringLiteral("列印"));
    bool complete = true;
    QObject::connect(&window, &PrintPreviewWindow::paintRequested, [&](QPrinter *target) {
        complete = drawOn(*target, QStringLiteral("正在準備預覽..."), draw);
        stopDocument();
    });
    // Drawn before the window shows, so a preview cancelled half-way is never shown.
    window.updatePreview();
    if (!complete)
        return false;
    return ModalRunner::exec(window) == QDialog::Accepted;
}

bool QtPrinter::printOnPaper(const QString &title, const std::function<void()> &draw)
{
    QPrinter printer(QPrinterInfo::printerInfo(m_printerName), QPrinter::HighResolution);
    setUpSheet(printer, title);
    const bool complete = drawOn(printer, QStringLiteral("正在列印..."), draw);
    if (!complete)
        printer.abort(); // before the painter ends, which would send what was drawn
    const bool failed = documentFailed() || printer.printerState() == QPrinter::Error;
    stopDocument();
    if (failed)
        m_messageBoxes.ok(PrinterTexts::printerFailed(m_printerName));
    return complete && !failed;
}

bool QtPrinter::saveAsPdf(const QString &title, const std::function<void()> &draw)
{
    const QString path = m_fileDialogs.saveFile(m_pdfFolder(), title + QStringLiteral(".pdf"),
                                                QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return false;
    showProgress(QStringLiteral("正在存成 PDF..."));
    QString error;
    const bool written = writePdfDocument(path, title, draw, &error);
    m_progress.reset();
    if (!written) {
        if (!error.isEmpty())
            m_messageBoxes.ok(PrinterTexts::cannotWritePdf(path, error));
        return false;
    }
    if (sheetCount() > 0)
        m_messageBoxes.ok(PrinterTexts::savedAsPdf(path));
    return true;
}
