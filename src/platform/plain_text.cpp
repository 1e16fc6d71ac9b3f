#include "platform/plain_text.h"

#include <QLabel>
#include <QTextDocument>

QLabel *newTextLabel(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

void setPlainToolTip(QWidget &widget, const QString &text)
{
    // Escaped and wrapped as a paragraph: the tool tip reads it as markup that says just the text.
    widget.setToolTip(Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal));
}
