// Qt's Russian catalogue, loaded by name rather than by the user's locale.
#include "app/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace mirel {

bool installQtRussian(QCoreApplication& app)
{
    // qtbase holds every text of the Qt modules the program uses (qt_ru only adds multimedia's).
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace mirel
