#pragma once

#include <QByteArray>
#include <QString>

// Text files are written as UTF-8. A file that is not valid UTF-8 was written by an older
// installation and is read as Big5 (CP950), so the owner's files keep working.
enum class TextEncoding { Utf8, Big5 };

TextEncoding detectEncoding(const QByteArray &bytes);
QString decodeText(const QByteArray &bytes);
QByteArray encodeText(const QString &text, TextEncoding encoding);
