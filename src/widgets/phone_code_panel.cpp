#include "widgets/phone_code_panel.h"

#include "platform/screen_fonts.h"
#include "widgets/qr_code.h"

#include <QPainter>
#include <QTextOption>

namespace {

const QColor kCaptionColor(255, 255, 128);
const QColor kAddressColor(230, 230, 255);

void paintText(QPainter &painter, const QRectF &area, const QString &text, int pixelSize, const QColor &color,
               bool bold = false)
{
    QFont font(kScreenFontName);
    font.setPixelSize(qMax(8, pixelSize));
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(color);
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter.drawText(area, text, option);
}

} // namespace

PhoneCodePanel::PhoneCodePanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("phoneCode"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PhoneCodePanel::setAddress(const QString &url, const QString &problem)
{
    m_url = url;
    m_problem = problem;
    update();
}

QString PhoneCodePanel::text() const
{
    if (m_url.isEmpty())
        return m_problem.isEmpty() ? kNoNetwork : m_problem;
    return kCaption + QLatin1Char('\n') + m_url;
}

void PhoneCodePanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter, rect(), m_url, m_url.isEmpty() && !m_problem.isEmpty() ? m_problem : kNoNetwork);
}

void PhoneCodePanel::paint(QPainter &painter, const QRect &area, const QString &url, const QString &notice)
{
    const int unit = qMin(area.height(), area.width() / 2);
    if (url.isEmpty()) {
        paintText(painter, area, notice, unit / 7, kAddressColor);
        return;
    }
    // The code on the left, as tall as the panel; the caption and the address beside it.
    const QRect code(area.left(), area.top(), area.height(), area.height());
    QrCode(url).paint(painter, code);
    const QRect text = area.adjusted(area.height() + unit / 12, 0, 0, 0);
    const int captionSize = qMin(unit / 4, int(text.width() / (kCaption.size() + 0.5)));
    paintText(painter, text, kCaption, captionSize, kCaptionColor, true);
    paintText(painter, text.adjusted(0, captionSize * 3 / 2, 0, 0), url, qMax(captionSize / 2, unit / 9),
              kAddressColor);
}
