#include "app/server_wait_dialog.h"

#include "platform/plain_text.h"
#include "platform/screen_fonts.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// How often the wait looks whether the change has ended.
constexpr int kLookMs = 20;

} // namespace

namespace {

// Runs the window thread's events until done() says so, looking every kLookMs.
void runUntil(const std::function<bool()> &done, QEventLoop::ProcessEventsFlags flags)
{
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    look.start(kLookMs);
    if (!done())
        loop.exec(flags);
}

} // namespace

void ServerWaitDialog::waitUntil(const std::function<bool()> &finished, const std::function<void()> &cancel)
{
    // A moment first with the keys held back for later (nothing else may start a change meanwhile).
    QElapsedTimer waited;
    waited.start();
    runUntil([&] { return finished() || waited.elapsed() >= kQuietMs; }, QEventLoop::ExcludeUserInputEvents);
    if (finished())
        return;

    QDialog window(QApplication::activeWindow());
    window.setObjectName(QStringLiteral("serverWait"));
    window.setWindowTitle(QStringLiteral("曲目伺服器"));
    window.setModal(true);
    QFont font(kScreenFontName);
    font.setPixelSize(qMax(14, m_screen.height() / 30));
    window.setFont(font);
    auto *layout = new QVBoxLayout(&window);
    QLabel *said = newTextLabel(&window, QStringLiteral("寫入曲目伺服器中…"));
    layout->addWidget(said);
    auto *cancelButton = new QPushButton(QStringLiteral("取消"), &window);
    layout->addWidget(cancelButton);
    auto cancelOnce = [&] {
        if (!cancelButton->isEnabled())
            return;
        said->setText(QStringLiteral("取消中…"));
        cancelButton->setEnabled(false);
        cancel();
    };
    QObject::connect(cancelButton, &QPushButton::clicked, &window, cancelOnce);
    // Escape (the keypad's way out of every window) cancels too; the window stays until the end.
    QObject::connect(&window, &QDialog::rejected, &window, [&] {
        cancelOnce();
        window.show();
    });
    window.show();
    runUntil(finished, QEventLoop::AllEvents);
}
