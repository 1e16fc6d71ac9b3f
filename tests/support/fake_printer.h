#pragma once

#include "platform/printer.h"

#include <QList>
#include <QStringList>

#include <cmath>

// Records what is drawn, document by document, cut into pages where page breaks were asked
// for: a document starts with one empty page and every newPage() adds another. Characters are
// as wide as in the Kai font: Chinese ones one em of the font size, Latin letters and digits
// half an em.
class FakePrinter : public Printer
{
public:
    struct Text
    {
        double x = 0;
        double y = 0;
        QString text;
        QString font;
        double size = 0;
    };
    struct Box
    {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    };
    // What was drawn after one page break (or the start of the document) and before the next.
    struct Page
    {
        QList<Text> texts;
        QList<Box> boxes;
        // The text printed at (x, y), or an empty string.
        QString at(double x, double y) const
        {
            for (const Text &t : texts) {
                if (std::abs(t.x - x) < 0.01 && std::abs(t.y - y) < 0.01)
                    return t.text;
            }
            return QString();
        }
        bool isEmpty() const { return texts.isEmpty() && boxes.isEmpty(); }
    };
    struct Document
    {
        QString title;
        QList<Page> pages;
        bool ended = false; // endDoc() was called
    };

    QList<Document> documents;
    // Whether the owner goes on from each document's preview (true when none is queued).
    QList<bool> previewAnswers;
    // progress() answers false (the owner cancels) from this call on; -1: never.
    int cancelAtProgressCall = -1;
    int progressCalls = 0;

    bool printDocument(const QString &title, const std::function<void()> &draw) override
    {
        documents.append(Document{title, {Page()}, false});
        const bool goOn = previewAnswers.isEmpty() || previewAnswers.takeFirst();
        draw();
        return goOn && documents.last().ended;
    }

    void setFontName(const QString &name) override { m_fontName = name; }
    void setFontSize(double points) override { m_fontSize = points; }
    QString fontName() const override { return m_fontName; }
    double fontSize() const override { return m_fontSize; }
    void setCurrentX(double twips) override { m_x = twips; }
    void setCurrentY(double twips) override { m_y = twips; }
    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    double textWidth(const QString &text) const override
    {
        double ems = 0;
        for (QChar c : text)
            ems += c.unicode() < 0x1100 ? 0.5 : 1.0;
        return ems * m_fontSize * 20;
    }
    void print(const QString &text) override
    {
        page().texts.append(Text{m_x, m_y, text, m_fontName, m_fontSize});
        m_x = 0;
        m_y += m_fontSize * 20;
    }
    void fillBox(double x1, double y1, double x2, double y2) override { page().boxes.append(Box{x1, y1, x2, y2}); }
    void newPage() override { documents.last().pages.append(Page()); }
    void endDoc() override { documents.last().ended = true; }
    bool progress(int, int) override
    {
        const int call = progressCalls++;
        return cancelAtProgressCall < 0 || call < cancelAtProgressCall;
    }

private:
    Page &page() { return documents.last().pages.last(); }

    QString m_fontName;
    double m_fontSize = 0;
    double m_x = 0;
    double m_y = 0;
};
