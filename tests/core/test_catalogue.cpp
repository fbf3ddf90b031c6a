// The message catalogue: every message in both languages with the same
// placeholders, and an error told in each.

#include "catalogue.h"
#include "error.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::multiset<std::string> placeholders(std::string_view text) {
    std::multiset<std::string> found;
    for (std::size_t at = text.find('{'); at != std::string_view::npos; at = text.find('{', at + 1))
        if (const std::size_t end = text.find('}', at); end != std::string_view::npos)
            found.insert(std::string(text.substr(at, end - at + 1)));
    return found;
}

// Runs the body in one language, restoring English.
struct InLanguage {
    explicit InLanguage(text::Language language) { text::setLanguage(language); }
    ~InLanguage() { text::setLanguage(text::Language::English); }
};

} // namespace

TEST(Catalogue, EveryMessageHasBothTextsWithTheSamePlaceholders) {
    for (const text::CatalogueEntry& entry : text::catalogue()) {
        SCOPED_TRACE(entry.english);
        if (entry.id == text::MessageId::SystemFailure)
            continue;  // the system's text stands alone
        EXPECT_FALSE(entry.english.empty());
        EXPECT_FALSE(entry.russian.empty());
        EXPECT_EQ(placeholders(entry.english), placeholders(entry.russian)) << entry.russian;
    }
}

TEST(Catalogue, AnErrorIsToldInTheCurrentLanguage) {
    text::Error error(text::MessageId::PortBusy, text::kPortBusyError, "/dev/ttyUSB0");
    error.withNote({text::MessageId::FolderMissing, {"/tmp/x"}});
    EXPECT_EQ(text::reportLine(error), "Error -5: Port is busy: in use by another program; the folder "
                                       "/tmp/x does not exist (/dev/ttyUSB0)");
    InLanguage russian(text::Language::Russian);
    EXPECT_EQ(text::reportLine(error), "Ошибка -5: Порт занят: им пользуется другая программа; папки "
                                       "/tmp/x не существует (/dev/ttyUSB0)");
}
