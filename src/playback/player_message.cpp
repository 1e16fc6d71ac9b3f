#include "playback/player_message.h"

#include "platform/plain_text.h"
#include "platform/screen_fonts.h"
#include "core/small_routines.h"

#include <QFontMetrics>
#include <QLabel>
#include <QTextBoundaryFinder>

namespace {
constexpr int kMaxLines = 6;
constexpr int kPadding = 4;
const QString kEllipsis = QStringLiteral("…");
}

PlayerMessage::PlayerMessage(QSize screen, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , Label1(newTextLabel(this))
{
    setObjectName(QStringLiteral("playerMsg"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QStringLiteral("PlayerMessage { background: rgba(0, 0, 0, 160); } QLabel { color: #ffff80; }"));
    setGeometry(0, 0, 240, 40);
    Label1->setGeometry(kPadding, 2, 240 - 2 * kPadding, 36);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setFont(QFont(kScreenFontName, 10));
    // A quarter of the screen wide, at the top edge, from 80 % of the width unless that would
    // put its right part off the screen.
    const double factor = screen.width() * 0.25 / width();
    ScaleControl(this, factor);
    ScaleControl(Label1, factor);
    move(qMin(int(screen.width() * 0.8), screen.width() - width()), 0);
}

void PlayerMessage::setText(const QString &text)
{
    const QString shown = fitted(text);
    Label1->setText(shown);
    const int lines = qMax(1, textHeight(shown) / qMax(1, Label1->fontMetrics().lineSpacing()));
    const int labelHeight = qMax(Label1->height(), lines * Label1->fontMetrics().lineSpacing());
    Label1->resize(Label1->width(), labelHeight);
    resize(width(), Label1->y() * 2 + labelHeight);
}

QString PlayerMessage::text() const
{
    return Label1->text();
}

int PlayerMessage::textHeight(const QString &text) const
{
    return Label1->fontMetrics().boundingRect(QRect(0, 0, Label1->width(), 100000), Qt::TextWordWrap, text).height();
}

// The longest start of the text, cut after a whole word, that fits in kMaxLines lines.
QString PlayerMessage::fitted(const QString &text) const
{
    const int limit = kMaxLines * Label1->fontMetrics().lineSpacing();
    if (textHeight(text) <= limit)
        return text;
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
    QString best;
    // A word boundary never falls inside a word; between two Chinese characters it may.
    for (qsizetype end = words.toNextBoundary(); end > 0; end = words.toNextBoundary()) {
        const QString candidate = text.left(end).trimmed() + kEllipsis;
        if (textHeight(candidate) > limit)
            break;
        best = candidate;
    }
    return best.isEmpty() ? kEllipsis : best;
}
