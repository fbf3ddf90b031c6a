#pragma once
// The chart's questions answered the Windows way: widths and the line's
// height in the system's message font at the window's dots per inch
// (GetTextExtentPoint32W), and times, dates and the decimal separator as the
// user's regional settings write them (GetTimeFormatEx, GetDateFormatEx,
// LOCALE_SDECIMAL).

#include "chart.h"
#include "text_faces.h"

#include <memory>

#include <windows.h>

namespace win32chart {

class GdiChartHost final : public chart::Host {
public:
    GdiChartHost();
    ~GdiChartHost() override;
    GdiChartHost(const GdiChartHost&) = delete;
    GdiChartHost& operator=(const GdiChartHost&) = delete;

    // The face at `dpi`: the message font as the system gives it there, so
    // that it is as large as in the system's own dialogs on that monitor.
    void setDpi(UINT dpi);
    const TextFaces& faces() const noexcept { return *faces_; }

    int textWidth(std::string_view utf8) const override;
    int lineHeight() const override { return faces_->lineHeight(); }
    std::string timeText(int hour, int minute, int second, bool withSeconds) const override;
    std::string dateText(int year, int month, int day) const override;
    std::string decimalSeparator() const override { return decimalSeparator_; }

private:
    HDC measuring_;  // a memory DC, for the widths
    std::unique_ptr<TextFaces> faces_;
    UINT dpi_ = 0;
    std::string decimalSeparator_;
};

} // namespace win32chart
