#include "widgets/qr_code.h"

#include <QPainter>

#include <qrencode.h>

QrCode::QrCode(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QRcode *code = QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code)
        return;
    m_size = code->width;
    m_modules.resize(size_t(m_size) * size_t(m_size));
    for (size_t i = 0; i < m_modules.size(); ++i)
        m_modules[i] = (code->data[i] & 1) != 0;
    QRcode_free(code);
}

void QrCode::paint(QPainter &painter, const QRectF &rect) const
{
    if (isNull())
        return;
    const int modules = m_size + 2 * kQuietZone;
    const int pixel = qMax(1, int(qMin(rect.width(), rect.height()) / modules));
    const int side = pixel * modules;
    const QPointF corner = rect.center() - QPointF(side / 2.0, side / 2.0);
    const int left = int(corner.x());
    const int top = int(corner.y());
    painter.fillRect(left, top, side, side, Qt::white);
    for (int y = 0; y < m_size; ++y) {
        for (int x = 0; x < m_size; ++x) {
            if (dark(x, y))
                painter.fillRect(left + (x + kQuietZone) * pixel, top + (y + kQuietZone) * pixel, pixel, pixel, Qt::black);
        }
    }
}
