#pragma once

#include <QDialog>

class QLabel;
class QPrinter;
class QPrintPreviewWidget;

// The pages of a document before they go out: paging, zoom, and the button that prints
// (accepts) or the one that cancels (rejects).
class PrintPreviewWindow : public QDialog
{
    Q_OBJECT

public:
    PrintPreviewWindow(QPrinter &printer, const QString &title, const QString &printCaption,
                       QWidget *parent = nullptr);

    // Draws the pages now (through paintRequested).
    void updatePreview();
    int pageCount() const;

signals:
    void paintRequested(QPrinter *printer);

private:
    void showPageNumber();

    QPrintPreviewWidget *m_preview;
    QLabel *m_pageLabel;
};
