#pragma once
// The language messages are shown in: Russian for a user whose interface
// language is Russian, English for everyone else. Each program decides it
// once, at start, from the platform's locale settings (userLanguage());
// until then it is English.

#include <functional>
#include <string>

namespace text {

enum class Language { English, Russian };

Language currentLanguage() noexcept;
void setLanguage(Language language) noexcept;

// This user's language, from the platform's own settings: on Linux the
// environment by gettext's rule, on Windows GetUserDefaultUILanguage().
// language_linux.cpp and language_windows.cpp implement it.
Language userLanguage();

// gettext's rule, with `variable` reading the environment (empty when
// unset): the locale is the first of LC_ALL, LC_MESSAGES and LANG that is
// set and not empty ("C" when none is); unless it is C or POSIX, the first
// entry of LANGUAGE, where there is one, decides; else the locale does.
Language languageFromEnvironment(const std::function<std::string(const char*)>& variable);

// A Windows LANGID: Russian whatever the country.
Language languageFromLangId(unsigned short langId);

} // namespace text
