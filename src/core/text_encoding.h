#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Text files are written as UTF-8. Files the owner brings along may be in other encodings:
// UTF-16 with its byte-order mark (what a Windows editor saves as "Unicode"), or Big5
// (CP950) from an older installation, possibly with UTF-8 lines added by a newer editor.
enum class TextEncoding { Utf8, Big5, Utf16LE, Utf16BE };

// UTF-16 when the file starts with its byte-order mark; else UTF-8 when every byte is valid
// UTF-8 (a UTF-8 mark may stand first); else Big5.
TextEncoding detectEncoding(const QByteArray &bytes);

// The text of a file, without its byte-order mark. An 8-bit file is decoded line by line:
// each line as UTF-8 when it is valid UTF-8, else as Big5. Bytes that cannot be read in the
// file's encoding become U+FFFD, the replacement character: a damaged file keeps every line
// and shows where it is damaged.
QString decodeText(const QByteArray &bytes);

// Bytes read as Big5 (CP950), each byte that cannot be read as U+FFFD.
QString decodeBig5(QByteArrayView bytes);

// True when decoded text holds the replacement character of bytes that could not be read.
bool holdsUnreadableText(const QString &text);

// The bytes that continue a file in the given encoding (no byte-order mark).
QByteArray encodeText(const QString &text, TextEncoding encoding);
