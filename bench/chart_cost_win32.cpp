// chart_cost.exe: what a week of readings costs thermometer-chart on
// Windows, its GDI drawing included. Writes a week's log (604 800 lines) into
// the temporary folder and measures opening it, a redraw at 1920 x 1080 (the
// core's layout and GDI into a bitmap, the whole week and a zoomed hour and
// a quarter), and a new reading read and drawn. The memory per reading is
// the core's, measured by the Linux chart_cost. Exits 1 when a target is
// missed. Under Wine only inside tests/e2e/with-virtual-port --wine, on a
// display:
//   with-virtual-port --wine --no-port -- wine build-windows/bench/chart_cost.exe

#include "chart.h"
#include "chart_colours.h"
#include "chart_cost.h"
#include "display_list_gdi.h"
#include "gdi_chart_host.h"

#include <filesystem>
#include <string>

#include <windows.h>

using namespace chartcost;

int main() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("chart_cost." + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    const std::string week = (folder / "week.txt").string();
    writeLog(week, kWeek);
    std::printf("a week's log: %d lines, %.1f MB\n\n", kWeek, double(std::filesystem::file_size(week)) / 1e6);

    win32chart::GdiChartHost host;
    host.setDpi(USER_DEFAULT_SCREEN_DPI);
    const win32chart::InkColours colours = win32chart::systemInkColours();
    Figures figures;
    chart::Chart chart(host);
    chart.showFile(week);
    figures.report("open the week's log", millisecondsOf([&] { chart.update(Clock::now()); }) / 1000, "s", 0.5);

    // Drawn into one bitmap of the window's size, as the window draws
    // into its back buffer.
    chart.resize(1920, 1080, USER_DEFAULT_SCREEN_DPI);
    const win32chart::Picture buffer = win32chart::drawPicture(chart.draw(), host.faces(), colours);
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ old = ::SelectObject(dc, buffer.bitmap);
    const auto redraw = [&] {
        win32chart::paintDisplayList(dc, chart.draw(), host.faces(), colours);
        ::GdiFlush();
    };
    figures.reportRedraws(chart, redraw);

    const double following = chartcost::followingMedian(week, [&] {
        chart.update(Clock::now());
        redraw();
    });
    figures.report("a new reading read and drawn, a week in view (median)", following, "ms", 16);

    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    std::filesystem::remove_all(folder);
    std::printf("\n%s\n", figures.met ? "all targets met" : "a target was missed");
    return figures.met ? 0 : 1;
}
