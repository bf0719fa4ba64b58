#include "ui/app_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace tessaro {

QStringList translationFolders(const QString& programFolder)
{
    const QDir dir(programFolder);
    return {QDir::cleanPath(dir.absoluteFilePath(QStringLiteral("../share/tessaro/translations"))),
            dir.absoluteFilePath(QStringLiteral("translations"))};
}

bool installTranslations(QCoreApplication& app, const QLocale& locale, const QStringList& folders)
{
    // The translators live as long as the application that owns them.
    auto* qt = new QTranslator(&app);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;

    for (const QString& folder : folders) {
        auto* own = new QTranslator(&app);
        // QTranslator::load(locale, ...) tries ru_RU, then ru, for each of the UI languages.
        if (own->load(locale, QStringLiteral("tessaro"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(own);
            return true;
        }
        delete own;
    }
    return false;
}

} // namespace tessaro
