#include "language.h"

#include <windows.h>

namespace text {

Language userLanguage() {
    return languageFromLangId(::GetUserDefaultUILanguage());
}

} // namespace text
