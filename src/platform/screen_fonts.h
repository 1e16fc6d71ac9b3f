#pragma once

#include <QString>

// The font the jukebox writes its screens with, and the font of the on-screen keypad.
inline const QString kScreenFontName = QStringLiteral("標楷體");
inline const QString kKeypadFontName = QStringLiteral("細明體");

// Maps the font names the windows ask for to the Traditional Chinese fonts this system has:
// "標楷體" to AR PL UKai TW and "細明體" to AR PL UMing TW.
void installScreenFonts();
