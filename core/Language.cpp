#include "Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QTranslator>

namespace {
Language installed = Language::Chinese;
// Owned by the application object, so none outlives it.
QList<QPointer<QTranslator>> translators;
} // namespace

std::optional<Language> LanguageNamed(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == u"zh")
        return Language::Chinese;
    if (n == u"en")
        return Language::English;
    return std::nullopt;
}

Language LanguageOfLocale(const QString& lcAll, const QString& lcMessages, const QString& lang) {
    for (const QString& value : {lcAll, lcMessages, lang})
        if (!value.isEmpty())
            return value.startsWith(u"en") ? Language::English : Language::Chinese;
    return Language::Chinese;
}

Language LanguageOfEnvironment() {
    return LanguageOfLocale(qEnvironmentVariable("LC_ALL"), qEnvironmentVariable("LC_MESSAGES"),
                            qEnvironmentVariable("LANG"));
}

Language ChooseLanguage(const std::optional<QString>& explicitChoice,
                        const std::optional<QString>& setting) {
    for (const auto& choice : {explicitChoice, setting})
        if (choice)
            if (const auto language = LanguageNamed(*choice))
                return *language;
    return LanguageOfEnvironment();
}

bool InstallLanguage(Language language) {
    installed = language;
    for (const QPointer<QTranslator>& translator : translators)
        if (translator) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    translators.clear();
    if (language == Language::Chinese)
        return true;
    // One translation per folder of the program, built into it.
    bool all = true;
    const QDir folder(QStringLiteral(":/i18n"));
    const QStringList files = folder.entryList({QStringLiteral("*_en.qm")}, QDir::Files);
    for (const QString& file : files) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(folder.filePath(file)) &&
            QCoreApplication::installTranslator(translator))
            translators << translator;
        else
            delete translator, all = false;
    }
    return all && !files.isEmpty();
}

Language CurrentLanguage() {
    return installed;
}
