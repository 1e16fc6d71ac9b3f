#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// A file name on Linux is bytes. A name that is not UTF-8 (a Big5 name copied from an older
// installation) has no text that opens the file. Such a name is carried with each byte that is
// not UTF-8 as a lone surrogate U+DC80 ... U+DCFF: no real text holds one, so the name is never
// mistaken for one the program can open, and its bytes can be given back.

// The name as text; valid UTF-8 reads as itself.
QString fileNameFromBytes(QByteArrayView bytes);
// The bytes of a name or path read by fileNameFromBytes.
QByteArray fileNameBytes(QStringView name);
// True when the name holds bytes that are not UTF-8.
bool isUnreadableFileName(QStringView name);
