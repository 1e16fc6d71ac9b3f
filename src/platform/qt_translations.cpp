#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installQtTranslations(QCoreApplication &app, const QString &folder)
{
    auto *translator = new QTranslator(&app);
    const QLocale taiwan(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    if (translator->load(taiwan, QStringLiteral("qtbase"), QStringLiteral("_"), folder)
        && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

bool installQtTranslations(QCoreApplication &app)
{
    return installQtTranslations(app, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}
