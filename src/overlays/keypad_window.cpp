#include "overlays/keypad_window.h"

#include "core/database_error.h"
#include "core/key_translation.h"
#include "core/shared_state.h"
#include "platform/plain_text.h"
#include "platform/screen_fonts.h"
#include "playback/playback_session.h"
#include "widgets/drawing_surface.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include <cmath>

namespace {

const QString kCatalogueErrorText = QStringLiteral("資料庫錯誤, 請通知管理者");
constexpr int kSmallestFontPixels = 6;
constexpr double kListRowsOfHeight = 7;
constexpr double kListLineShare = 0.8;

// The layout's font sizes are points of a screen of 15 twips per pixel (96 dpi); given as
// pixels they look the same whatever resolution the display reports.
int pixelsOfPoints(int points)
{
    return qMax(kSmallestFontPixels, int(std::lround(points * 96.0 / 72.0)));
}

// Sets the font at pixelSize, smaller if the widest line of text would not fit the widget.
void setFittingFont(QWidget &widget, const QString &text, int pixelSize)
{
    QFont font = widget.font();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (; pixelSize > kSmallestFontPixels; --pixelSize) {
        font.setPixelSize(pixelSize);
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString &line : lines)
            widest = qMax(widest, metrics.horizontalAdvance(line.trimmed()));
        if (widest <= widget.width() - 4 && metrics.height() <= widget.height())
            break;
    }
    font.setPixelSize(pixelSize);
    widget.setFont(font);
}

// The lists print seven rows to the height; a line of the font must stay within one, or the
// page line at the bottom would be cut off.
QFont listFont(int pixelSize, int height)
{
    QFont font(kScreenFontName);
    for (; pixelSize > kSmallestFontPixels; --pixelSize) {
        font.setPixelSize(pixelSize);
        if (QFontMetrics(font).lineSpacing() <= kListLineShare * height / kListRowsOfHeight)
            break;
    }
    font.setPixelSize(pixelSize);
    return font;
}

QLabel *makeLabel(QWidget *parent, const QString &name, Qt::Alignment alignment)
{
    QLabel *label = newTextLabel(parent);
    label->setObjectName(name);
    label->setFont(QFont(kScreenFontName));
    label->setAlignment(alignment);
    return label;
}

} // namespace

KeypadWindow::KeypadWindow(PlaybackSession &session, SharedState &state, QSize screen, const KeypadLayout &layout,
                           QWidget *parent)
    : SmallWindow(state, screen, parent)
    , Picture1(new DrawingSurface(this))
    , Label1(makeLabel(this, QStringLiteral("Label1"), Qt::AlignLeft | Qt::AlignTop))
    , m_session(session)
    , m_input(*Label1)
{
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Label1->setIndent(4);
    Label_3 = makeLabel(this, QStringLiteral("Label_3"), Qt::AlignCenter);
    Label_3->setText(layout.hint);
    layOutKeypad(layout);
    // Picture1 holds the focus: the focus timer's setFocus() and every typed key go to it.
    setFocusProxy(Picture1);
    Picture1->installEventFilter(this);
}

void KeypadWindow::layOutKeypad(const KeypadLayout &layout)
{
    const int px = m_screen.width();
    const int w = int(layout.widthShare * px);
    const int h = int(1.4 * w);
    const int labelHeight = int(0.17 * h);
    Label1->setGeometry(0, 0, w, labelHeight);
    Label_3->setGeometry(0, h - labelHeight, w, labelHeight);
    m_echoPixelSize = pixelsOfPoints(px * layout.labelFontPer640 / 640);
    setFittingFont(*Label_3, Label_3->text(), m_echoPixelSize);
    fitEchoFont();

    const int keyPoints = px * layout.keyFontPer640 / 640;
    addKeys(layout, QRect(0, labelHeight, w, h - 2 * labelHeight));
    for (QPushButton *key : findChildren<QPushButton *>(Qt::FindDirectChildrenOnly))
        setFittingFont(*key, key->text(), pixelsOfPoints(keyPoints));
    setFittingFont(*number_de, number_de->text(), pixelsOfPoints(int(keyPoints * layout.minusFontShare)));

    if (!layout.withList) {
        // Only the focus is held there; nothing is drawn.
        resize(w, h);
        Picture1->setGeometry(0, 0, 1, 1); // under Label1
        return;
    }
    resize(3 * w, h);
    Picture1->setGeometry(w, 0, width() - w, h);
    Picture1->setSurfaceFont(listFont(pixelsOfPoints(keyPoints), h));
}

void KeypadWindow::addKeys(const KeypadLayout &layout, QRect band)
{
    // A PC numeric keypad: 4 columns, 5 rows.
    const double cellWidth = band.width() / 4.0;
    const double cellHeight = band.height() / 5.0;
    const auto cell = [&](int row, int column, int rows = 1, int columns = 1) {
        const int left = band.left() + int(std::lround(column * cellWidth));
        const int top = band.top() + int(std::lround(row * cellHeight));
        const int right = band.left() + int(std::lround((column + columns) * cellWidth));
        const int bottom = band.top() + int(std::lround((row + rows) * cellHeight));
        return QRect(left, top, right - left, bottom - top);
    };
    number_div = addKey(QStringLiteral("number_div"), QStringLiteral("/"), KeyCode::Divide, cell(0, 1));
    number_mul = addKey(QStringLiteral("number_mul"), QStringLiteral("*"), KeyCode::Multiply, cell(0, 2));
    number_de = addKey(QStringLiteral("number_de"), layout.minusCaption, KeyCode::Minus, cell(0, 3));
    number_in = addKey(QStringLiteral("number_in"), layout.plusCaption, KeyCode::Plus, cell(1, 3, 2));
    for (int i = 1; i <= 9; ++i)
        number_key[size_t(i)] = addKey(QStringLiteral("number_key_%1").arg(i), QString::number(i), KeyCode::Digit0 + i,
                                       cell(3 - (i - 1) / 3, (i - 1) % 3));
    number_enter = addKey(QStringLiteral("number_enter"), QStringLiteral("確定"), KeyCode::Enter, cell(3, 3, 2));
    number_key[0] = addKey(QStringLiteral("number_key_0"), QStringLiteral("0"), KeyCode::Digit0, cell(4, 0, 1, 2));
    number_dot = addKey(QStringLiteral("number_dot"), QStringLiteral("C"), KeyCode::Dot, cell(4, 2));
}

QPushButton *KeypadWindow::addKey(const QString &name, const QString &caption, int code, QRect cell)
{
    QPushButton *key = addButton(name, caption, cell, [this, code] {
        int k = code;
        handleKey(k);
    });
    key->setFont(QFont(kKeypadFontName));
    return key;
}

void KeypadWindow::fitEchoFont()
{
    setFittingFont(*Label1, Label1->text(), m_echoPixelSize);
}

void KeypadWindow::handleKey(int &KeyAscii)
{
    KeyAscii = translateKey(KeyAscii, m_state.settings);
    if (m_session.HandleHotKey(KeyAscii))
        return;
    try {
        keyPress(KeyAscii);
    } catch (const DatabaseError &e) {
        // Nothing was queued or moved: the look-up failed before any change.
        qWarning("in-song window: %s", qPrintable(e.message()));
        clearInput(m_input, kCatalogueErrorText);
    }
    fitEchoFont();
}

void KeypadWindow::leave()
{
    closeTo(NextWindow::ControlBar);
}

void KeypadWindow::showEvent(QShowEvent *event)
{
    SmallWindow::showEvent(event);
    placeAtSmallScreenPosition();
    clearInput(m_input);
    activated();
    Picture1->setFocus();
}
