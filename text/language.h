#pragma once
// The language messages are shown in: Russian for a user whose interface
// language is Russian, English for everyone else. The front end decides it
// once, at start, from the platform's locale settings; until then it is
// English.

#include <string_view>

namespace text {

enum class Language { English, Russian };

Language currentLanguage() noexcept;
void setLanguage(Language language) noexcept;

} // namespace text
