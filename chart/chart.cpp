#include "chart.h"

#include "chart_state.h"
#include "chart_texts.h"
#include "file_names.h"
#include "message.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chart {

using text::MessageId;

namespace {

constexpr MenuEntry kFileMenu[] = {
    {MessageId::ChartMenuOpen, Command::Open, "Ctrl+O"},
    {MessageId::ChartMenuSavePicture, Command::SavePicture, "Ctrl+S"},
    {MessageId::ChartMenuExport, Command::ExportReadings, "Ctrl+E"},
    {MessageId::ChartMenuClose, Command::Close, "Ctrl+Q"},
};
constexpr MenuEntry kViewMenu[] = {
    {MessageId::ChartMenuWhole, Command::Whole, "Home"},
    {MessageId::ChartMenuZoomIn, Command::ZoomIn, "+"},
    {MessageId::ChartMenuZoomOut, Command::ZoomOut, "-"},
};
constexpr Menu kMenus[] = {
    {MessageId::ChartMenuFile, kFileMenu},
    {MessageId::ChartMenuView, kViewMenu},
};

// The programs whose journals show the recording in progress.
constexpr std::string_view kRecorders[] = {"thermometer", "thermometer-demo"};

// A drag shorter than this (at 96 dots per inch) is a click.
constexpr double kShortestDrag = 4;

// The journal among `paths` appended to last, if any holds anything and
// was appended to after `since`.
const std::string* newestJournal(const std::vector<std::string>& paths, std::int64_t since) {
    const std::string* newest = nullptr;
    std::int64_t newestTime = since;
    for (const std::string& path : paths) {
        try {
            const FileLook look = lookAtFile(path, 0, 0);
            if (look.exists && look.size > 0 && look.modified > newestTime) {
                newest = &path;
                newestTime = look.modified;
            }
        } catch (const text::Error&) {
            // One that cannot be read is not followed; the other may be.
        }
    }
    return newest;
}

// Reads what is new in the state's file; true when anything changed.
bool readOn(ChartState& state, Chart::Clock::time_point now) {
    LogReader::Change change;
    try {
        change = state.reader->update();
        if (state.readError) {
            state.readError.reset();
            change = LogReader::Change::Replaced;
        }
    } catch (const text::Error& error) {
        const bool news = !state.readError || state.readError->number() != error.number();
        state.readError = error;
        return news;
    }
    switch (change) {
    case LogReader::Change::None:
        if (state.life == ChartState::Life::Reading && !state.quiet &&
            now - state.lastGrowth >= ChartState::kQuietAfter) {
            state.quiet = true;
            return true;
        }
        return false;
    case LogReader::Change::Replaced:
        state.view.showWhole();
        [[fallthrough]];
    case LogReader::Change::Added:
        state.life = ChartState::Life::Reading;
        state.lastGrowth = now;
        state.quiet = false;
        return true;
    case LogReader::Change::Emptied:
        state.life = ChartState::Life::Emptied;
        return true;
    case LogReader::Change::Gone:
        state.life = ChartState::Life::Gone;
        return true;
    }
    return false;
}

} // namespace

std::span<const Menu> menus() {
    return kMenus;
}

std::optional<Key> keyFor(Command command) {
    switch (command) {
    case Command::Whole:
        return Key::Whole;
    case Command::ZoomIn:
        return Key::ZoomIn;
    case Command::ZoomOut:
        return Key::ZoomOut;
    case Command::Open:
    case Command::SavePicture:
    case Command::ExportReadings:
    case Command::Close:
        break;
    }
    return std::nullopt;
}

int ChartState::px(double length) const {
    return std::max(1, int(std::lround(length * dpi / 96.0)));
}

Chart::Chart(const Host& host) : state_(std::make_unique<ChartState>(host)) {
}
Chart::~Chart() = default;

void Chart::showFile(const std::string& path) {
    ChartState& s = *state_;
    s.source = ChartState::Source::File;
    s.journals.clear();
    s.reader = std::make_unique<LogReader>(path);
    s.readError.reset();
    s.life = ChartState::Life::Reading;
    s.quiet = false;
    s.view.showWhole();
}

void Chart::followRecording(const std::string& programDirectory) {
    ChartState& s = *state_;
    s.source = ChartState::Source::Recording;
    s.folder = programDirectory;
    s.journals.clear();
    for (const std::string_view program : kRecorders)
        s.journals.push_back(logfile::journalFileName(programDirectory, program));
    s.reader.reset();
    s.readError.reset();
    s.view.showWhole();
}

bool Chart::update(Clock::time_point now) {
    ChartState& s = *state_;
    bool changed = false;
    // A journal is chosen where none is followed, where the one followed has
    // ended, and where it has gone quiet while the other one grows. Only a
    // journal appended to since the last look at the one followed is taken:
    // one that had stopped before is an older recording.
    const bool looking = !s.reader || s.life != ChartState::Life::Reading || s.quiet;
    if (s.source == ChartState::Source::Recording && looking) {
        const std::int64_t since = s.reader ? s.reader->modified() : std::numeric_limits<std::int64_t>::min();
        const std::string* journal = newestJournal(s.journals, since);
        if (journal && (!s.reader || s.life != ChartState::Life::Reading || *journal != s.reader->path())) {
            s.reader = std::make_unique<LogReader>(*journal);
            s.readError.reset();
            s.life = ChartState::Life::Reading;
            s.quiet = false;
            s.lastGrowth = now;
            s.view.showWhole();
            changed = true;
        }
    }
    const bool reading =
        s.reader && (s.source == ChartState::Source::File || s.life == ChartState::Life::Reading);
    if (reading)
        changed |= readOn(s, now);
    if (changed && s.hasReadings()) {
        const Series& series = s.reader->series();
        s.view.setExtent(series.axisAt(0), series.axisAt(series.size() - 1));
    }
    return changed;
}

void Chart::resize(int width, int height, int dpi) {
    state_->width = std::max(width, 0);
    state_->height = std::max(height, 0);
    state_->dpi = dpi > 0 ? dpi : 96;
}

void Chart::wheel(int x, int y, int delta) {
    ChartState& s = *state_;
    const PlotMapping& p = s.plot;
    if (!s.plotShown || x < p.left || x >= p.left + p.width || y < p.top || y >= p.top + p.height)
        return;
    s.view.zoom(std::pow(0.8, delta / 120.0), p.axisAt(x));
}

void Chart::press(int x, int y) {
    ChartState& s = *state_;
    const PlotMapping& p = s.plot;
    if (s.plotShown && x >= p.left && x < p.left + p.width && y >= p.top && y < p.top + p.height)
        s.dragFrom = s.dragTo = x;
}

void Chart::drag(int x, int /*y*/) {
    ChartState& s = *state_;
    if (s.dragFrom)
        s.dragTo = std::clamp(x, s.plot.left, s.plot.left + s.plot.width - 1);
}

void Chart::release(int x, int y) {
    ChartState& s = *state_;
    if (!s.dragFrom)
        return;
    drag(x, y);
    if (std::abs(s.dragTo - *s.dragFrom) >= s.px(kShortestDrag))
        s.view.show(s.plot.axisAt(*s.dragFrom), s.plot.axisAt(s.dragTo + 1));
    s.dragFrom.reset();
}

void Chart::key(Key key) {
    ChartState& s = *state_;
    const double middle = (s.view.start() + s.view.end()) / 2;
    switch (key) {
    case Key::ZoomIn:
        s.view.zoom(0.5, middle);
        break;
    case Key::ZoomOut:
        s.view.zoom(2, middle);
        break;
    case Key::Earlier:
        s.view.pan(-0.25);
        break;
    case Key::Later:
        s.view.pan(0.25);
        break;
    case Key::Whole:
        s.view.showWhole();
        break;
    case Key::Cancel:
        s.dragFrom.reset();
        break;
    }
}

const DisplayList& Chart::draw() {
    drawChart(*state_);
    return state_->list;
}

std::string Chart::title() const {
    const std::string program = text::render(MessageId::ChartProgram);
    if (!state_->reader)
        return program;
    const std::string& path = state_->reader->path();
    const std::size_t slash = path.find_last_of("/\\");
    return text::render(MessageId::ChartTitle, {path.substr(slash == std::string::npos ? 0 : slash + 1)});
}

std::string Chart::exportBaseName() const {
    if (!state_->reader)
        return "chart";
    const std::string& path = state_->reader->path();
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool Chart::hasReadingsInView() const {
    const ChartState& s = *state_;
    if (!s.hasReadings())
        return false;
    const Series& series = *s.series();
    return series.lowerBound(s.view.start()) < series.upperBound(s.view.end());
}

} // namespace chart
