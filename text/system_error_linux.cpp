#include "system_error.h"

#include "language.h"

#include <clocale>
#include <langinfo.h>
#include <string.h>
#include <string_view>

namespace text {
namespace {

// The C library's messages in `language`, UTF-8 either way; null where no
// such locale can be had.
locale_t messagesLocale(Language language) {
    const int categories = LC_MESSAGES_MASK | LC_CTYPE_MASK;
    if (language == Language::English)
        return ::newlocale(categories, "C.UTF-8", nullptr);
    // The user's own messages locale first (which also heeds LANGUAGE);
    // where the language came from LANGUAGE alone, a Russian one.
    if (const locale_t own = ::newlocale(categories, "", nullptr)) {
        if (const char* name = ::nl_langinfo_l(CODESET, own); name && std::string_view(name) == "UTF-8")
            return own;
        ::freelocale(own);
    }
    return ::newlocale(categories, "ru_RU.UTF-8", nullptr);
}

} // namespace

std::string systemErrorText(int number) {
    // Made once per language and kept: a report may come when memory is short.
    static const locale_t english = messagesLocale(Language::English);
    static const locale_t russian = messagesLocale(Language::Russian);
    const locale_t chosen = currentLanguage() == Language::Russian && russian ? russian : english;
    if (!chosen)
        return ::strerror(number);
    return ::strerror_l(number, chosen);
}

} // namespace text
