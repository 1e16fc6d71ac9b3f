#include "widgets/foot_notices.h"

#include "core/queue_writer.h"
#include "platform/plain_text.h"
#include "platform/screen_fonts.h"

#include <QLabel>
#include <QMetaObject>
#include <QStringList>

FootNotices::FootNotices(QWidget &menu, QSize screen)
    : m_line(newTextLabel(&menu))
{
    m_line->setObjectName(QStringLiteral("footNotices"));
    QFont font(kScreenFontName);
    font.setPixelSize(qMax(12, screen.height() / 36));
    m_line->setFont(font);
    m_line->setStyleSheet(QStringLiteral("color: #ffff80; background: #101030;"));
    const int height = font.pixelSize() * 3 / 2;
    m_line->setGeometry(screen.width() / 5, screen.height() - height, screen.width() * 4 / 5, height);
    m_line->hide();
}

void FootNotices::set(Source source, const QString &notice)
{
    QMetaObject::invokeMethod(this, [this, source, notice] { show(source, notice); }, Qt::QueuedConnection);
}

void FootNotices::followQueueSaving(QueueWriter &writer)
{
    connect(&writer, &QueueWriter::failed, this, [this] { show(Queue, QStringLiteral("點歌單無法存檔")); });
    connect(&writer, &QueueWriter::written, this, [this] { show(Queue, QString()); });
}

QString FootNotices::text() const
{
    return m_line->isHidden() ? QString() : m_text;
}

QString FootNotices::shownText() const
{
    return m_line->isHidden() ? QString() : m_line->text();
}

void FootNotices::show(Source source, const QString &notice)
{
    if (m_notices.value(source) == notice)
        return;
    if (notice.isEmpty())
        m_notices.remove(source);
    else
        m_notices.insert(source, notice);
    m_text = QStringList(m_notices.values()).join(QStringLiteral("  "));
    // One line on every screen: shortened at its end rather than cut off at the edge.
    const int room = m_line->width() - 2 * m_line->margin() - m_line->fontMetrics().averageCharWidth();
    m_line->setText(m_line->fontMetrics().elidedText(m_text, Qt::ElideRight, room));
    m_line->setVisible(!m_notices.isEmpty());
    m_line->raise();
}
