#include "i18n/qttranslations.h"

#include "i18n/langstr.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace Sprelio {

namespace {

std::unique_ptr<QTranslator> &installedTranslator()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

bool installQtTranslations(int langOffset, const QString &folder)
{
    std::unique_ptr<QTranslator> &installed = installedTranslator();
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    if (langOffset != GermanOffset) {
        return true;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                          QStringLiteral("_"), folder)) {
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}

bool installQtTranslations(int langOffset)
{
    return installQtTranslations(langOffset, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

} // namespace Sprelio
