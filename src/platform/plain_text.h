#pragma once

#include <QString>

class QLabel;
class QMessageBox;
class QWidget;

// Titles, singers, guests' names and file names come from phones, list files, folders and the
// catalogue: they are shown as typed. Every label of the program is made here and never reads
// its text as rich text, so "<img src=/dev/zero>" or "Tom & Jerry" are characters, not markup.
QLabel *newTextLabel(QWidget *parent, const QString &text = QString());

// A tool tip shows rich text when its text looks like markup; this one shows text as typed.
void setPlainToolTip(QWidget &widget, const QString &text);
