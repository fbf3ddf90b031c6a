#include "day_half.h"

#include "time_text.h"
#include "unicode_text.h"

#include <cctype>
#include <utility>

namespace chart {
namespace {

// (morning, afternoon), as the locales write them.
constexpr std::pair<std::string_view, std::string_view> kMarkers[] = {
    {"AM", "PM"},
    {"AN", "EW"},
    {"FT", "MD"},
    {"N.U.", "N.H."},
    {"PD", "MD"},
    {"Purvahan", "Aparaahna"},
    {"VM", "NM"},
    {"WD", "WB"},
    {"a. m.", "p. m."},
    {"a.m.", "p.m."},
    {"am", "pm"},
    {"asubuhi", "alasiri"},
    {"biknait", "apinun"},
    {"fh", "eh"},
    {"hengihengi", "efiafi"},
    {"m", "f"},
    {"saaku", "carra"},
    {"sb", "aɛ"},
    {"soodo", "hawwaro"},
    {"subaka", "kikiiɗe"},
    {"subaxnimo", "galabnimo"},
    {"téng-po͘", "ē-po͘"},
    {"uluchelo", "akasuba"},
    {"ÖA", "ÖS"},
    {"ÖÖ", "ÖS"},
    {"ÜE", "ÜS"},
    {"πμ", "μμ"},
    {"دوپھربرونھ", "دوپھرپتھ"},
    {"ص", "ش"},
    {"ص", "م"},
    {"غ.م.", "غ.و."},
    {"پن", "دن"},
    {"މކ", "މފ"},
    {"पूर्वाह्न", "अपराह्न"},
    {"फुं.", "बेलासे."},
    {"बिहिनियाँ", "मंझनियाँ"},
    {"म.पू.", "म.नं."},
    {"सञं", "सबेर"},
    {"এ.ম.", "প.ম."},
    {"পূর্বাহ্ণ", "অপরাহ্ণ"},
    {"পূৰ্ব্বাহ্ন", "অপৰাহ্ন"},
    {"ਸਵੇਰੇ", "ਸ਼ਾਮ"},
    {"સવારે", "સાંજે"},
    {"காலை", "மாலை"},
    {"ఉ.", "సా."},
    {"ಕಾಂಡೆ", "ಬಯ್ಯ"},
    {"ಪೂರ್ವಾಹ್ನ", "ಅಪರಾಹ್ನ"},
    {"രാവിലെ", "വൈകു"},
    {"පෙ.ව.", "ප.ව."},
    {"ངས་ཆ", "ཕྱི་ཆ"},
    {"ဂယး", "တ္ၚဲစေၚ်"},
    {"နံနက်", "ညနေ"},
    {"ပွတ်းၼႂ်", "ဝၢႆးဝၼ်း"},
    {"ማለዶ", "ቃማ"},
    {"ቀደም ሰር ምዕል", "ሓቆ ሰር ምዕል"},
    {"ንጉሆ ሰዓተ", "ድሕር ሰዓት"},
    {"ጡዋት", "ከሰዓት"},
    {"ጽባሕ", "ምሴት"},
    {"ፋዱስ ጃብ", "ፋዱስ ደምቢ"},
    {"ᏌᎾᎴ", "ᏒᎯᏱᎢᏗᏢ"},
    {"ព្រឹក", "ល្ងាច"},
    {"上午", "下午"},
    {"上晝", "下晝"},
    {"午前", "午後"},
    {"朝", "暮"},
    {"頂晡", "下晡"},
    {"오전", "오후"},
    {"π.μ.", "μ.μ."},
    {"vorm.", "nachm."},
};

// What may stand next to a marker: a blank, the frame's joint, ASCII
// punctuation ("02:03:07.PD", "ఉ.02.03.07"), the Ethiopic word space
// ("2:03:07፡ጽባሕ") or the ideographic space.
bool isBoundary(char32_t c) {
    return isBlank(c) || c == char32_t(kFrameJoint) || (c < 0x80 && c > 0x20 && !std::isalnum(int(c))) ||
           c == 0x1361 || c == 0x3000;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool sameAt(std::string_view frame, std::size_t at, std::string_view marker) {
    for (std::size_t k = 0; k < marker.size(); ++k)
        if (lowerAscii(frame[at + k]) != lowerAscii(marker[k]))
            return false;
    return true;
}

char32_t codePointBefore(std::string_view text, std::size_t at) {
    std::size_t start = at - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return decodeUtf8(text, start);
}

// Whether `marker` stands in `frame` as a word of its own.
bool holdsWord(std::string_view frame, std::string_view marker) {
    if (marker.empty())
        return false;
    for (std::size_t at = 0; at + marker.size() <= frame.size(); ++at) {
        if (!sameAt(frame, at, marker))
            continue;
        std::size_t end = at + marker.size();
        const bool startsWord = at == 0 || isBoundary(codePointBefore(frame, at));
        const bool endsWord = end == frame.size() || isBoundary(decodeUtf8(frame, end));
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

// The longest marker found decides: "ፋዱስ ደምቢ" over a shorter one inside it.
struct Longest {
    DayHalf half = DayHalf::Unknown;
    std::size_t length = 0;

    void consider(std::string_view frame, std::string_view marker, DayHalf named) {
        const std::string_view word = trimBlanks(marker);
        if (word.size() > length && holdsWord(frame, word)) {
            half = named;
            length = word.size();
        }
    }
};

} // namespace

DayHalf dayHalfOf(std::string_view frame) {
    static const DayHalfMarkers user = userDayHalfMarkers();
    Longest found;
    // The user's own first: where a marker means the other half elsewhere,
    // theirs decides.
    found.consider(frame, user.morning, DayHalf::Morning);
    found.consider(frame, user.afternoon, DayHalf::Afternoon);
    if (found.half != DayHalf::Unknown)
        return found.half;
    for (const auto& [morning, afternoon] : kMarkers) {
        found.consider(frame, morning, DayHalf::Morning);
        found.consider(frame, afternoon, DayHalf::Afternoon);
    }
    return found.half;
}

} // namespace chart
