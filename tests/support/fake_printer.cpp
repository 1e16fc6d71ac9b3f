#include "support/fake_printer.h"

#include <cmath>

QStringList FakePrinter::Page::strings() const
{
    QStringList result;
    for (const Text &t : texts)
        result.append(t.text);
    return result;
}

QString FakePrinter::Page::at(double x, double y) const
{
    for (const Text &t : texts) {
        if (std::abs(t.x - x) < 0.01 && std::abs(t.y - y) < 0.01)
            return t.text;
    }
    return QString();
}

bool FakePrinter::printDocument(const QString &title, const std::function<void()> &draw)
{
    documents.append(Document{title, {Page()}, false});
    const bool goOn = previewAnswers.isEmpty() || previewAnswers.takeFirst();
    draw();
    return goOn && documents.last().ended;
}

double FakePrinter::textWidth(const QString &text) const
{
    double ems = 0;
    for (QChar c : text)
        ems += c.unicode() < 0x1100 ? 0.5 : 1.0;
    return ems * m_fontSize * 20;
}

void FakePrinter::print(const QString &text)
{
    page().texts.append(Text{m_x, m_y, text, m_fontName, m_fontSize});
    m_x = 0;
    m_y += m_fontSize * 20;
}

void FakePrinter::fillBox(double x1, double y1, double x2, double y2)
{
    page().boxes.append(Box{x1, y1, x2, y2});
}

void FakePrinter::newPage()
{
    documents.last().pages.append(Page());
}

void FakePrinter::endDoc()
{
    documents.last().ended = true;
}

bool FakePrinter::progress(int, int)
{
    const int call = progressCalls++;
    return cancelAtProgressCall < 0 || call < cancelAtProgressCall;
}
