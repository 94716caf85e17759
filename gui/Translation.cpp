#include "gui/Translation.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>

namespace translation {

namespace {

// Where qt_add_translations puts the compiled file in the resources.
const QString kEnglishFile = QStringLiteral(":/i18n/pixwright_en.qm");

std::unique_ptr<QTranslator>& installedTranslator()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

bool isKnownOption(const QString& langOption)
{
    const QString lang = langOption.toLower();
    return lang == QLatin1String("ja") || lang == QLatin1String("en");
}

Language choose(const QString& langOption, const QLocale& locale)
{
    const QString lang = langOption.toLower();
    if (lang == QLatin1String("ja"))
        return Language::Japanese;
    if (lang == QLatin1String("en"))
        return Language::English;
    return locale.language() == QLocale::Japanese ? Language::Japanese : Language::English;
}

bool install(Language language)
{
    std::unique_ptr<QTranslator>& current = installedTranslator();
    if (current) {
        QCoreApplication::removeTranslator(current.get());
        current.reset();
    }
    if (language == Language::Japanese)
        return true;
    auto english = std::make_unique<QTranslator>();
    if (!english->load(kEnglishFile))
        return false;
    QCoreApplication::installTranslator(english.get());
    current = std::move(english);
    return true;
}

Language current()
{
    return installedTranslator() ? Language::English : Language::Japanese;
}

} // namespace translation
