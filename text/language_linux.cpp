#include "language.h"

#include <cstdlib>

namespace text {

Language userLanguage() {
    return languageFromEnvironment([](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    });
}

} // namespace text
