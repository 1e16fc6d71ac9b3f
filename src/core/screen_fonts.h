#pragma once

// Maps the font names the windows ask for to the Traditional Chinese fonts this system has:
// "標楷體" to AR PL UKai TW and "細明體" to AR PL UMing TW.
void installScreenFonts();
