// Qt's own dialogs and buttons in Russian.
#pragma once

class QCoreApplication;
class QTranslator;

namespace veltrano {

// Installs Qt's Russian translations (qtbase_ru) from the Qt installation. Returns the
// translator, owned by `app`, or null when they are not installed.
QTranslator* InstallQtTranslations(QCoreApplication& app);

}  // namespace veltrano
