#pragma once

#include <QRectF>
#include <QString>

#include <vector>

class QPainter;

// A QR code of a text, as libqrencode makes it (error correction M: a code on a screen
// across the room still reads with a tenth of it lost).
class QrCode
{
public:
    explicit QrCode(const QString &text);

    bool isNull() const { return m_size == 0; }
    int size() const { return m_size; } // modules per side, without the quiet zone
    bool dark(int x, int y) const { return m_modules[size_t(y * m_size + x)]; }

    // Draws the code with its quiet zone, dark on white, into the largest square inside rect
    // whose modules are whole pixels (sharp edges read best).
    void paint(QPainter &painter, const QRectF &rect) const;

    static constexpr int kQuietZone = 2;

private:
    int m_size = 0;
    std::vector<bool> m_modules;
};
