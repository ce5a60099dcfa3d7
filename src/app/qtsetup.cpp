#include "app/qtsetup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

namespace pennoro::qtsetup {

bool loadJapaneseTranslation(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}

void keepNoSettings()
{
    // Qt's native settings format on Unix is a file in the user's configuration folder; here it
    // is looked for in a folder below a file, which no process can make or write, not even
    // root's: the dialog finds no settings and its settings are never written. (On Windows the
    // native format is the registry, which this does not move.)
    const QString nowhere = QStringLiteral("/dev/null/pennoro-keeps-no-settings");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, nowhere);
}

} // namespace pennoro::qtsetup
