#include "platform/pdf_file_printer.h"

#include "platform/message_boxes.h"
#include "platform/printer_texts.h"

PdfFilePrinter::PdfFilePrinter(QString path, MessageBoxes &messageBoxes)
    : m_path(std::move(path))
    , m_messageBoxes(messageBoxes)
{
}

bool PdfFilePrinter::printDocument(const QString &title, const std::function<void()> &draw)
{
    QString error;
    if (writePdfDocument(m_path, title, draw, &error))
        return true;
    if (!error.isEmpty()) // otherwise the drawing stopped, and says why itself
        m_messageBoxes.ok(PrinterTexts::cannotWritePdf(m_path, error));
    return false;
}

bool PdfFilePrinter::progress(int, int)
{
    return !documentFailed();
}
