// Qt's own texts in Russian. Apart from entry.cpp, which holds main(), so that tests with a main
// of their own can load them too.
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "vcl/qt_widgetset.h"

namespace vcl::qt {

bool InstallQtTranslations() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  return true;
}

}  // namespace vcl::qt
