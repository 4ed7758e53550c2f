#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace veltrano {

QTranslator* InstallQtTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !app.installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace veltrano
