#pragma once

#include "platform/painter_printer.h"

#include <functional>
#include <memory>

class FileDialogs;
class MessageBoxes;
class QPrinter;
class QProgressDialog;

// The system printer through Qt Print Support. Every document is shown in a preview first;
// from there it goes to the printer named at construction (the default CUPS printer), or,
// when there is none, to a PDF file the owner names, and the owner is told where it went.
// Long documents show their progress and can be cancelled.
class QtPrinter : public PainterPrinter
{
public:
    // printerName empty: this machine has no printer. pdfFolder gives where the file dialog starts.
    QtPrinter(QString printerName, MessageBoxes &messageBoxes, FileDialogs &fileDialogs,
              std::function<QString()> pdfFolder);
    ~QtPrinter() override;

    // The default printer of this machine, or an empty name when it has none.
    static QString defaultPrinterName();

    bool printDocument(const QString &title, const std::function<void()> &draw) override;
    bool progress(int done, int total) override;

private:
    bool preview(const QString &title, const std::function<void()> &draw);
    bool printOnPaper(const QString &title, const std::function<void()> &draw);
    bool saveAsPdf(const QString &title, const std::function<void()> &draw);
    // Runs draw on the printer behind a progress window; true when the document was ended.
    bool drawOn(QPrinter &printer, const QString &label, const std::function<void()> &draw);
    void showProgress(const QString &label);

    QString m_printerName;
    MessageBoxes &m_messageBoxes;
    FileDialogs &m_fileDialogs;
    std::function<QString()> m_pdfFolder;
    std::unique_ptr<QProgressDialog> m_progress;
};
