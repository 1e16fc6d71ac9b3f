#include "platform/screen_fonts.h"

#include <QFont>

void installScreenFonts()
{
    QFont::insertSubstitution(kScreenFontName, QStringLiteral("AR PL UKai TW"));
    QFont::insertSubstitution(kKeypadFontName, QStringLiteral("AR PL UMing TW"));
}
