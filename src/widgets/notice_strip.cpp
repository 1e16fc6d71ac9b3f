#include "widgets/notice_strip.h"

#include "platform/plain_text.h"
#include "platform/screen_fonts.h"

#include <QLabel>

NoticeStrip::NoticeStrip(QSize screen, QWidget *parent)
    // A tool tip's window is never activated: a window taking the activation would send the
    // keypad's keys elsewhere and, coming back, redraw the main menu under the guest.
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_screen(screen)
    , m_label(newTextLabel(this))
{
    setObjectName(QStringLiteral("noticeStrip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(QStringLiteral("NoticeStrip { background: rgba(16, 16, 48, 220); border: 2px solid #ffff80; }"
                                 "QLabel { color: #ffff80; }"));
    QFont font(kScreenFontName);
    font.setPixelSize(qMax(14, screen.height() / 24));
    m_label->setFont(font);
    m_label->setAlignment(Qt::AlignCenter);
    m_expiry.setSingleShot(true);
    connect(&m_expiry, &QTimer::timeout, this, &NoticeStrip::showCurrent);
    m_clock.start();
}

void NoticeStrip::notify(const QString &text)
{
    m_notices.push_back({text, m_clock.elapsed() + kShowMs});
    while (m_notices.size() > size_t(kMaxLines))
        m_notices.pop_front();
    showCurrent();
}

QStringList NoticeStrip::lines() const
{
    QStringList shown;
    for (const Notice &notice : m_notices)
        shown.append(notice.text);
    return shown;
}

void NoticeStrip::showCurrent()
{
    const qint64 now = m_clock.elapsed();
    while (!m_notices.empty() && m_notices.front().until <= now)
        m_notices.pop_front();
    if (m_notices.empty()) {
        hide();
        return;
    }
    m_label->setText(lines().join(QLatin1Char('\n')));
    const int margin = m_label->font().pixelSize() / 2;
    const int width = m_screen.width() * 6 / 10;
    const int height = m_label->sizeHint().height() + 2 * margin;
    setGeometry((m_screen.width() - width) / 2, m_screen.height() - height - m_screen.height() / 20, width, height);
    m_label->setGeometry(margin, margin, width - 2 * margin, height - 2 * margin);
    show();
    raise();
    m_expiry.start(int(m_notices.front().until - now));
}
