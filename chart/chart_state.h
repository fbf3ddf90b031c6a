#pragma once
// What the chart knows between calls: the file it reads, the view, the
// window's size, a drag under way, and the picture last drawn. Shared by
// chart.cpp (input and reading), drawing.cpp and chart_texts.cpp.

#include "chart.h"
#include "curve.h"
#include "log_reader.h"
#include "view.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace chart {

struct ChartState {
    explicit ChartState(const Host& h) : host(h) {}

    // A followed journal that has not grown for this long is said to be quiet.
    static constexpr std::chrono::seconds kQuietAfter{10};

    enum class Source { None, File, Recording };
    // What became of the file being read.
    enum class Life { Reading, Emptied, Gone };

    const Host& host;
    Source source = Source::None;
    std::string folder;                 // Recording: where the journals are looked for
    std::vector<std::string> journals;  // and their names
    std::unique_ptr<LogReader> reader;
    std::optional<text::Error> readError;
    Life life = Life::Reading;
    Chart::Clock::time_point lastGrowth{};
    bool quiet = false;

    View view;
    int width = 0;
    int height = 0;
    int dpi = 96;
    std::optional<int> dragFrom;
    int dragTo = 0;

    PlotMapping plot;  // as last drawn: input is read against it
    bool plotShown = false;
    DisplayList list;

    const Series* series() const { return reader ? &reader->series() : nullptr; }
    bool hasReadings() const { return reader && !reader->series().empty(); }
    // Device pixels for a length in pixels at 96 dots per inch, at least 1.
    int px(double length) const;
};

// Builds state.list for the state's size.
void drawChart(ChartState& state);

} // namespace chart
