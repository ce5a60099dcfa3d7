#include "app/qtsetup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

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

namespace pennoro {

namespace {

QtMessageHandler previousHandler = nullptr;

void endOnThreadFailure(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QThread::start: Thread creation error"))) {
        std::fprintf(stderr, "Pennoro: ﾒﾓﾘが足りないため起動できません (%s)\n",
                     qPrintable(message));
        std::_Exit(1);
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

ThreadFailureGuard::ThreadFailureGuard()
{
    previousHandler = qInstallMessageHandler(endOnThreadFailure);
}

ThreadFailureGuard::~ThreadFailureGuard()
{
    qInstallMessageHandler(previousHandler);
}

} // namespace pennoro
