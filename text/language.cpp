#include "language.h"

#include <atomic>
#include <string_view>

namespace text {
namespace {

std::atomic<Language> current{Language::English};

// "ru", "ru_RU", "ru_RU.UTF-8", "ru@latin": the language is what comes
// before the first '_', '.' or '@'.
Language languageOfLocaleName(std::string_view name) {
    const std::string_view language = name.substr(0, name.find_first_of("_.@"));
    return language == "ru" ? Language::Russian : Language::English;
}

// "C", "POSIX" and C with a codeset ("C.UTF-8") are the untranslated locale.
bool isCLocale(std::string_view name) {
    return name == "C" || name == "POSIX" || name.substr(0, 2) == "C.";
}

} // namespace

Language currentLanguage() noexcept {
    return current.load(std::memory_order_relaxed);
}

void setLanguage(Language language) noexcept {
    current.store(language, std::memory_order_relaxed);
}

Language languageFromEnvironment(const std::function<std::string(const char*)>& variable) {
    std::string locale = "C";
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (std::string value = variable(name); !value.empty()) {
            locale = std::move(value);
            break;
        }
    }
    if (!isCLocale(locale)) {
        const std::string languages = variable("LANGUAGE");
        const std::string_view first = std::string_view(languages).substr(0, languages.find(':'));
        if (!first.empty())
            return languageOfLocaleName(first);
    }
    return languageOfLocaleName(locale);
}

Language languageFromLangId(unsigned short langId) {
    constexpr unsigned short kPrimaryLanguageMask = 0x3ff;
    constexpr unsigned short kLangRussian = 0x19;
    return (langId & kPrimaryLanguageMask) == kLangRussian ? Language::Russian : Language::English;
}

} // namespace text
