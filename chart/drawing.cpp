// The display list: where everything goes in the window, at its size and
// dots per inch. Top to bottom: the unit, the plot with its ticks, the
// time labels (a second row for the dates), the minimum, maximum and mean
// in view, what is shown, and notes on what the file held.

#include "chart_state.h"
#include "chart_texts.h"
#include "civil_time.h"
#include "message.h"
#include "text_layout.h"
#include "ticks.h"

#include <algorithm>
#include <cmath>

namespace chart {
namespace {

// Lengths at 96 dots per inch.
constexpr double kMargin = 8;
constexpr double kTickLength = 4;
constexpr double kLabelGap = 4;
constexpr double kLabelSpacing = 16;
constexpr double kMarkSize = 5;

class Painter {
public:
    explicit Painter(ChartState& state)
        : s_(state), list_(state.list), lineHeight_(state.host.lineHeight()) {}

    void paint();

private:
    void rect(int x, int y, int width, int height, Ink ink) {
        if (width > 0 && height > 0)
            list_.rects.push_back({x, y, width, height, ink});
    }
    void text(std::string utf8, int x, int y, Ink ink = Ink::Text) {
        list_.texts.push_back({std::move(utf8), {x, y}, ink});
    }
    int width(const std::string& utf8) const { return s_.host.textWidth(utf8); }

    void paintNotice(const std::string& notice, int top, int bottom);
    void paintDegrees(const DegreeTicks& ticks);
    void paintTimes(bool dateRow);
    void paintCurve(std::size_t from, std::size_t to, const ExtremesTree::Summary& inView);
    bool needsDateRow() const;

    ChartState& s_;
    DisplayList& list_;
    PlotMapping plot_;
    int lineHeight_;
};

// Whether the time labels need a second row for the day: where dates are
// known, or the readings in view are on more than one day.
bool Painter::needsDateRow() const {
    const Series& series = *s_.series();
    const std::size_t from = series.lowerBound(s_.view.start());
    const std::size_t to = series.upperBound(s_.view.end());
    const std::size_t first = std::min(from, series.size() - 1);
    const std::size_t last = to > 0 ? to - 1 : 0;
    return series.segmentOf(first).dated || series.segmentOf(last).dated ||
           dayOf(series.wallAt(first)) != dayOf(series.wallAt(last)) || dayOf(series.wallAt(first)) != 0;
}

void Painter::paint() {
    list_ = DisplayList{};
    list_.width = s_.width;
    list_.height = s_.height;
    s_.plotShown = false;
    rect(0, 0, s_.width, s_.height, Ink::Window);
    const int margin = s_.px(kMargin);
    const int textWidth = s_.width - 2 * margin;

    // The lines of text at the bottom, from the last up.
    std::vector<std::string> lines = noteTexts(s_);
    lines.insert(lines.begin(), statusText(s_));
    const std::optional<std::string> notice = noticeText(s_);
    const Series* series = s_.series();
    const bool curve = !notice && series && !series->empty();
    std::size_t from = 0, to = 0;
    if (curve) {
        from = series->lowerBound(s_.view.start());
        to = series->upperBound(s_.view.end());
        lines.insert(lines.begin(), statisticsText(s_, from, to));
    }
    // Each on as many lines as it takes, but two at most.
    std::vector<std::string> shown;
    for (const std::string& line : lines) {
        std::vector<std::string> wrapped = wrapText(s_.host, line, textWidth);
        if (wrapped.size() > 2) {
            // The first line is the start of the text, up to a space or
            // within a word too long for a line, less any blanks it began
            // with.
            const std::size_t first = line.find(wrapped[0]);
            std::string rest = first == std::string::npos ? std::string()
                                                          : line.substr(first + wrapped[0].size());
            if (!rest.empty() && rest.front() == ' ')
                rest.erase(0, 1);
            wrapped = {wrapped[0], fitText(s_.host, rest, textWidth)};
        }
        shown.insert(shown.end(), wrapped.begin(), wrapped.end());
    }
    int y = s_.height - margin - int(shown.size()) * lineHeight_;
    for (std::size_t k = 0; k < shown.size(); ++k)
        text(shown[k], margin, y + int(k) * lineHeight_);
    if (!curve) {
        paintNotice(notice.value_or(std::string()), margin, y - margin);
        return;
    }

    // The degrees of the readings in view, or of those beside an empty view.
    ExtremesTree::Summary inView = series->summarize(from, to);
    if (from >= to) {
        const std::size_t a = from > 0 ? from - 1 : from, b = std::min(from, series->size() - 1);
        inView = series->summarize(std::min(a, b), std::max(a, b) + 1);
    }
    const bool dateRow = needsDateRow();
    const int tickLength = s_.px(kTickLength);
    plot_.top = margin + lineHeight_ + s_.px(kLabelGap);
    const int plotBottom =
        y - s_.px(kLabelGap) - (dateRow ? 2 : 1) * lineHeight_ - tickLength - s_.px(kLabelGap);
    plot_.height = plotBottom - plot_.top;
    const DegreeTicks degrees = degreeTicks(inView.min, inView.max, plot_.height, 2 * lineHeight_);
    const int labelWidth = std::max({width(std::to_string(degrees.low)), width(std::to_string(degrees.high)),
                                     width(text::render(text::MessageId::ChartDegreesAxis))});
    plot_.left = margin + labelWidth + s_.px(kLabelGap) + tickLength;
    const int rightRoom = width(s_.host.timeText(23, 59, 59, true)) / 2;
    plot_.width = s_.width - margin - std::max(rightRoom, margin) - plot_.left;
    if (plot_.width < 16 || plot_.height < 16)
        return;
    plot_.start = s_.view.start();
    plot_.span = s_.view.span();
    plot_.low = degrees.low;
    plot_.high = degrees.high;
    list_.plot = {plot_.left, plot_.top, plot_.width, plot_.height, Ink::Plot};
    rect(plot_.left, plot_.top, plot_.width, plot_.height, Ink::Plot);
    for (const Band& band : gapBands(*series, plot_))
        rect(plot_.left + band.from, plot_.top, band.to - band.from, plot_.height, Ink::Gap);
    if (s_.dragFrom) {
        const int a = std::min(*s_.dragFrom, s_.dragTo), b = std::max(*s_.dragFrom, s_.dragTo);
        rect(a, plot_.top, b - a + 1, plot_.height, Ink::Selection);
    }
    paintDegrees(degrees);
    paintTimes(dateRow);
    paintCurve(from, to, inView);
    s_.plot = plot_;
    s_.plotShown = true;
}

void Painter::paintNotice(const std::string& notice, int top, int bottom) {
    const int margin = s_.px(kMargin);
    const std::vector<std::string> lines =
        wrapText(s_.host, notice, std::min(s_.width - 4 * margin, s_.px(560)));
    int y = top + std::max(0, (bottom - top - int(lines.size()) * lineHeight_) / 2);
    for (const std::string& line : lines) {
        text(line, (s_.width - width(line)) / 2, y, Ink::Notice);
        y += lineHeight_;
    }
}

void Painter::paintDegrees(const DegreeTicks& ticks) {
    const int thin = s_.px(1), tickLength = s_.px(kTickLength), gap = s_.px(kLabelGap);
    const std::string unit = text::render(text::MessageId::ChartDegreesAxis);
    text(unit, plot_.left - tickLength - gap - width(unit), plot_.top - lineHeight_ - gap);
    for (int degrees = ticks.low; degrees <= ticks.high; degrees += ticks.step) {
        const int y = plot_.y(degrees);
        if (degrees != ticks.low && degrees != ticks.high)
            rect(plot_.left, y, plot_.width, thin, Ink::Grid);
        rect(plot_.left - tickLength, y, tickLength, thin, Ink::Frame);
        const std::string label = std::to_string(degrees);
        text(label, plot_.left - tickLength - gap - width(label), y - lineHeight_ / 2);
    }
    // The frame, over the grid.
    rect(plot_.left, plot_.top, plot_.width, thin, Ink::Frame);
    rect(plot_.left, plot_.top + plot_.height - thin, plot_.width, thin, Ink::Frame);
    rect(plot_.left, plot_.top, thin, plot_.height, Ink::Frame);
    rect(plot_.left + plot_.width - thin, plot_.top, thin, plot_.height, Ink::Frame);
}

void Painter::paintTimes(bool dateRow) {
    const Series& series = *s_.series();
    const Host& host = s_.host;
    const bool dated = series.segments().back().dated;
    const auto room = [&](std::int64_t step) {
        const std::string sample = step < 60               ? host.timeText(23, 59, 59, true)
                                   : step < kSecondsPerDay ? host.timeText(23, 59, 0, false)
                                                           : dayText(host, 20 * kSecondsPerDay, dated);
        return width(sample) + s_.px(kLabelSpacing);
    };
    const std::int64_t step = chooseTimeStep(plot_.width / plot_.span, room);
    const int thin = s_.px(1), tickLength = s_.px(kTickLength), gap = s_.px(kLabelGap);
    const int bottom = plot_.top + plot_.height;
    const int rowY = bottom + tickLength + gap;
    int timeRight = plot_.left - s_.width, dayRight = timeRight;  // where the last label of each row ends
    bool firstLabel = true;
    for (const TimeTick& tick : timeTicks(series, plot_.start, plot_.start + plot_.span, step)) {
        const int x = plot_.x(tick.axis);
        if (x < plot_.left || x >= plot_.left + plot_.width)
            continue;
        const bool midnight = secondOfDay(tick.wall) == 0;
        if (x > plot_.left)
            rect(x, plot_.top, thin, plot_.height, midnight ? Ink::Midnight : Ink::Grid);
        rect(x, bottom, thin, tickLength, Ink::Frame);
        const std::string label = step >= kSecondsPerDay
                                      ? dayText(host, tick.wall, tick.dated)
                                      : wallText(host, tick.wall, tick.dated, step < 60, false);
        const int labelX = x - width(label) / 2;
        if (labelX > timeRight) {
            text(label, labelX, rowY);
            timeRight = labelX + width(label) + gap;
        }
        if (dateRow && step < kSecondsPerDay && (midnight || firstLabel)) {
            const std::string day = dayText(host, tick.wall, tick.dated);
            const int dayX = std::max(x - width(day) / 2, plot_.left - s_.px(kMargin) / 2);
            if (dayX > dayRight) {
                text(day, dayX, rowY + lineHeight_);
                dayRight = dayX + width(day) + gap;
            }
        }
        firstLabel = false;
    }
}

void Painter::paintCurve(std::size_t from, std::size_t to, const ExtremesTree::Summary& inView) {
    const Series& series = *s_.series();
    Curve curve;
    traceCurve(series, plot_, s_.px(1), curve);
    list_.points = std::move(curve.points);
    list_.runs = std::move(curve.runs);
    if (from >= to)
        return;
    const int meanY = plot_.y(double(inView.sum) / double(inView.count));
    rect(plot_.left, meanY, plot_.width, s_.px(1), Ink::Mean);
    const int size = s_.px(kMarkSize);
    for (const int extreme : {inView.min, inView.max}) {
        const std::size_t at = series.findExtreme(from, to, extreme);
        const int x = plot_.x(series.axisAt(at)), y = plot_.y(extreme);
        list_.marks.push_back({x - size / 2, y - size / 2, size, size, Ink::Extreme});
    }
}

} // namespace

void drawChart(ChartState& state) {
    Painter(state).paint();
}

} // namespace chart
