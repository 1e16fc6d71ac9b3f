#pragma once

#include <QString>

class QCoreApplication;

// Qt's own texts (message-box buttons, file dialogs) in Traditional Chinese, from the
// translations of the system's Qt in folder (Debian qt6-translations-l10n). False when they are
// not there: Qt's dialogs then speak English and the program runs all the same.
bool installQtTranslations(QCoreApplication &app, const QString &folder);
// The same from the folder where the system's Qt keeps its translations.
bool installQtTranslations(QCoreApplication &app);
