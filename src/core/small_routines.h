#pragma once

#include <QString>

class Clock;
class FileSystem;
class QObject;

// Multiplies an object's position, size and font size by factor and gives it the screen font
// (kScreenFontName). A property the object lacks is skipped.
void ScaleControl(QObject *object, double factor);

// Waits while window events and timers go on being handled.
void WaitSeconds(Clock &clock, double seconds);

// True if the file can be opened for reading.
bool FileExists(const FileSystem &fs, const QString &path);
