#pragma once

#include <QString>
#include <optional>

// The language the program speaks: Chinese, its own and the default, or
// English.
enum class Language { Chinese, English };

// "zh" or "en" (any letter case); nothing for anything else.
std::optional<Language> LanguageNamed(const QString& name);

// The locale's choice, as the C library reads it: the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty; English when it begins
// with "en", else Chinese (unset, "C", "POSIX", "C.UTF-8", "zh_*" ...).
Language LanguageOfLocale(const QString& lcAll, const QString& lcMessages, const QString& lang);
Language LanguageOfEnvironment();

// What is chosen first wins: an explicit choice (a command-line option),
// then the setting, then the locale.
Language ChooseLanguage(const std::optional<QString>& explicitChoice,
                        const std::optional<QString>& setting);

// Puts the translations of `language` into the running application (none
// for Chinese: the texts are the program's own). False when they cannot be
// loaded. Call once, before any window or text is made.
bool InstallLanguage(Language language);
// The language last installed.
Language CurrentLanguage();
