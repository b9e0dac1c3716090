#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace rusena {

bool installQtJapanese(QCoreApplication &application)
{
    // Dates and sizes in the file dialog follow the language of its words.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto *translator = new QTranslator(&application);
    const QString name = QStringLiteral("qtbase_ja");
    // Qt's folder on Linux; beside the program where a Windows installation puts them.
    const bool loaded = translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || translator->load(
            name, QCoreApplication::applicationDirPath() + QStringLiteral("/translations"));
    if (!loaded) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace rusena
