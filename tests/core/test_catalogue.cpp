// The message catalogue: every message in both languages with the same
// placeholders, and an error told in each.

#include "catalogue.h"
#include "error.h"
#include "language.h"

#include <gtest/gtest.h>

#include <map>
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

TEST(Language, FollowsGettextsRuleOnLinuxAndTheLangIdOnWindows) {
    using text::Language;
    const struct {
        std::map<std::string, std::string> environment;
        Language expected;
    } cases[] = {
        {{}, Language::English},
        {{{"LANG", "ru_RU.UTF-8"}}, Language::Russian},
        {{{"LANG", "ru_RU.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}}, Language::English},
        {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", ""}, {"LC_ALL", "ru_UA.UTF-8"}}, Language::Russian},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "ru:en"}}, Language::Russian},
        {{{"LANG", "ru_RU.UTF-8"}, {"LANGUAGE", "en_GB:ru"}}, Language::English},
        // Under C or POSIX, LANGUAGE does not count.
        {{{"LC_ALL", "C"}, {"LANGUAGE", "ru"}}, Language::English},
        {{{"LANG", "POSIX"}, {"LANGUAGE", "ru"}}, Language::English},
        {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "ru"}}, Language::English},
        {{{"LANG", "rus_RU"}}, Language::English},
    };
    for (const auto& [environment, expected] : cases) {
        const auto variable = [&](const char* name) {
            const auto found = environment.find(name);
            return found == environment.end() ? std::string() : found->second;
        };
        EXPECT_EQ(text::languageFromEnvironment(variable), expected)
            << ::testing::PrintToString(environment);
    }
    EXPECT_EQ(text::languageFromLangId(0x0419), Language::Russian);  // Russian, Russia
    EXPECT_EQ(text::languageFromLangId(0x0819), Language::Russian);  // Russian, Moldova
    EXPECT_EQ(text::languageFromLangId(0x0409), Language::English);
    EXPECT_EQ(text::languageFromLangId(0x0422), Language::English);  // Ukrainian
}
