#include "gdi_chart_host.h"

#include "dpi.h"
#include "encoding_windows.h"
#include "user_locale.h"

#include <cstdio>

namespace win32chart {
namespace {

SYSTEMTIME timeOf(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME when{};
    when.wYear = WORD(year);
    when.wMonth = WORD(month);
    when.wDay = WORD(day);
    when.wHour = WORD(hour);
    when.wMinute = WORD(minute);
    when.wSecond = WORD(second);
    return when;
}

std::string utf8Of(const wchar_t* text, int lengthWithNul) {
    return lengthWithNul > 1 ? text::toUtf8(std::wstring_view(text, std::size_t(lengthWithNul - 1))) : std::string();
}

} // namespace

GdiChartHost::GdiChartHost()
    : measuring_(::CreateCompatibleDC(nullptr)), decimalSeparator_(win32ui::userLocaleInfo(LOCALE_SDECIMAL)) {
    if (decimalSeparator_.empty())
        decimalSeparator_ = ".";
    setDpi(USER_DEFAULT_SCREEN_DPI);
}

GdiChartHost::~GdiChartHost() {
    ::DeleteDC(measuring_);
}

void GdiChartHost::setDpi(UINT dpi) {
    if (dpi == dpi_ && faces_)
        return;
    auto faces = std::make_unique<TextFaces>(win32ui::messageFontAt(dpi));
    if (faces_ && !faces->usable())
        return;  // the old face stays: text a little off in size, never missing
    faces_ = std::move(faces);
    dpi_ = dpi;
}

int GdiChartHost::textWidth(std::string_view utf8) const {
    return faces_->width(measuring_, text::toWide(utf8));
}

std::string GdiChartHost::timeText(int hour, int minute, int second, bool withSeconds) const {
    const SYSTEMTIME when = timeOf(2000, 1, 1, hour, minute, second);
    wchar_t text[80]{};
    const int length = ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, withSeconds ? 0 : TIME_NOSECONDS, &when,
                                         nullptr, text, 80);
    return utf8Of(text, length);
}

std::string GdiChartHost::dateText(int year, int month, int day) const {
    const SYSTEMTIME when = timeOf(year, month, day, 0, 0, 0);
    wchar_t text[80]{};
    const int length =
        ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr, text, 80, nullptr);
    if (length > 1)
        return utf8Of(text, length);
    // A date Windows will not write (before 1601): as the journal writes it.
    char iso[32];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", year, month, day);
    return iso;
}

} // namespace win32chart
