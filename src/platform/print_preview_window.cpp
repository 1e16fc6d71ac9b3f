#include "platform/print_preview_window.h"

#include "platform/plain_text.h"

#include <QAbstractScrollArea>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

PrintPreviewWindow::PrintPreviewWindow(QPrinter &printer, const QString &title, const QString &printCaption,
                                       QWidget *parent)
    : QDialog(parent)
    , m_preview(new QPrintPreviewWidget(&printer, this))
    , m_pageLabel(newTextLabel(this))
{
    setWindowTitle(title + QStringLiteral(" - 預覽"));
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &PrintPreviewWindow::paintRequested);
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &PrintPreviewWindow::showPageNumber);

    auto button = [this](const QString &caption, auto slot) {
        auto *b = new QPushButton(caption, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto *bar = new QHBoxLayout;
    bar->addWidget(button(QStringLiteral("上一頁"), [this] {
        m_preview->setCurrentPage(m_preview->currentPage() - 1);
        showPageNumber();
    }));
    bar->addWidget(button(QStringLiteral("下一頁"), [this] {
        m_preview->setCurrentPage(m_preview->currentPage() + 1);
        showPageNumber();
    }));
    bar->addWidget(button(QStringLiteral("放大"), [this] { m_preview->zoomIn(); }));
    bar->addWidget(button(QStringLiteral("縮小"), [this] { m_preview->zoomOut(); }));
    bar->addWidget(button(QStringLiteral("整頁"), [this] { m_preview->fitInView(); }));
    bar->addWidget(m_pageLabel, 1, Qt::AlignCenter);
    QPushButton *print = button(printCaption, &QDialog::accept);
    print->setDefault(true);
    bar->addWidget(print);
    bar->addWidget(button(QStringLiteral("取消"), &QDialog::reject));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_preview, 1);
    m_preview->setZoomMode(QPrintPreviewWidget::FitToWidth);
    // The page number follows the scrolling too; the preview says nothing when it scrolls.
    if (auto *view = m_preview->findChild<QAbstractScrollArea *>())
        connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, &PrintPreviewWindow::showPageNumber);

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    resize(qMin(900, screen.width() * 9 / 10), screen.height() * 9 / 10);
}

void PrintPreviewWindow::updatePreview()
{
    m_preview->updatePreview();
    showPageNumber();
}

int PrintPreviewWindow::pageCount() const
{
    return m_preview->pageCount();
}

void PrintPreviewWindow::showPageNumber()
{
    m_pageLabel->setText(QStringLiteral("第 %1 頁, 共 %2 頁").arg(m_preview->currentPage()).arg(m_preview->pageCount()));
}
