#include "core/screen_fonts.h"

#include <QFont>

void installScreenFonts()
{
    QFont::insertSubstitution(QStringLiteral("標楷體"), QStringLiteral("AR PL UKai TW"));
    QFont::insertSubstitution(QStringLiteral("細明體"), QStringLiteral("AR PL UMing TW"));
}
