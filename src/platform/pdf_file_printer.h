#pragma once

#include "platform/painter_printer.h"

class MessageBoxes;

// Prints every document into one PDF file, without preview or questions: the printer of the
// owner's tasks run from the command line.
class PdfFilePrinter : public PainterPrinter
{
public:
    PdfFilePrinter(QString path, MessageBoxes &messageBoxes);

    bool printDocument(const QString &title, const std::function<void()> &draw) override;
    bool progress(int done, int total) override;
    // Sheets of the last document written.
    int sheetsWritten() const { return sheetCount(); }

private:
    QString m_path;
    MessageBoxes &m_messageBoxes;
};
