#include "platform/qtlanguage.h"

#include <memory>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "i18n/langconv.h"

bool InstallQtTranslation(const std::string& code)
{
    // One translator for the life of the program; a second call replaces its language.
    static QTranslator* translator = nullptr;
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    if (code.empty() || code == kDefaultLanguage)
        return false;
    auto loaded = std::make_unique<QTranslator>();
    if (!loaded->load(QStringLiteral("qtbase_") + QString::fromStdString(code),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    translator = loaded.release();
    QCoreApplication::installTranslator(translator);
    return true;
}
