#pragma once
// The catalogue: each message's text in English and in Russian, with the
// same placeholders in both.

#include "language.h"
#include "message_id.h"

#include <span>
#include <string_view>

namespace text {

struct CatalogueEntry {
    MessageId id;
    std::string_view english;
    std::string_view russian;
};

std::span<const CatalogueEntry> catalogue();
std::string_view catalogueText(MessageId id, Language language);

} // namespace text
