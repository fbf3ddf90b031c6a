#pragma once
// The chart of a thermometer's readings, whole, for any front end: the
// contract between the toolkit-free core and the window that shows it.
//
// The core does all the work: it reads the log or follows the journal
// (log_reader.h), keeps the span in view and the zoom, chooses the ticks,
// reduces the readings to what each pixel column shows, works out the
// minimum, maximum and mean in view, and exports the readings in view as
// CSV. A front end does three things only:
//
//  1. It answers the few questions of its platform (Host below): how wide
//     a text is in its face, and how the user's locale writes a time, a
//     date and a decimal separator.
//  2. It passes its window's events in: resize (with the dots per inch),
//     the mouse wheel, a drag, keys, the menu's commands, a file dropped or
//     chosen; and calls update() every second (and whenever its OS reports
//     a change of the file), redrawing when update() says so. Nothing else
//     needs a timer.
//  3. It draws the DisplayList that draw() returns, in device pixels, in
//     this order: rects, then the curve's runs (clipped to `plot`), then
//     marks, then texts. No anti-aliasing is needed for the rects and runs:
//     every coordinate is a whole pixel. With GDI: FillRect for each rect
//     and mark, PolyPolyline for the runs of one ink and width (a solid pen
//     of that width), TextOutW with TA_TOP for each text.
//
// Every coordinate is in device pixels with the origin at the window's top
// left; sizes in the list already follow the dots per inch given to
// resize(). Every text is UTF-8 and comes from the message catalogue or
// from Host, so it is in the user's language and locale.

#include "error.h"
#include "message_id.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace chart {

// ---------------------------------------------------------------- drawing

struct Point {
    int x = 0;
    int y = 0;
};

// What each thing drawn is; a front end gives each a colour of the
// system's scheme (the Qt program's choice is in qt/chart/chart_colours.cpp).
enum class Ink : std::uint8_t {
    Window,     // the window's background
    Plot,       // the plotting area's background
    Gap,        // a band over a gap in the recording
    Selection,  // the span being dragged out with the mouse
    Grid,       // a tick's line across the plot
    Midnight,   // the line where a day starts
    Frame,      // the plot's frame and tick marks
    Mean,       // the mean of the readings in view
    Curve,      // the temperature
    Extreme,    // the marks on the minimum and maximum in view
    Text,       // labels and lines of text
    Notice,     // a message that stands where the curve would be
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;  // filled; width and height > 0
    Ink ink = Ink::Window;
};

// A polyline through points[first, first + count), `width` pixels wide.
struct Run {
    std::size_t first = 0;
    std::size_t count = 0;
    Ink ink = Ink::Curve;
    int width = 1;
};

// One line of text in the front end's one face; `topLeft` is the top left
// of its line box, as wide as Host::textWidth and as high as lineHeight.
struct Text {
    std::string utf8;
    Point topLeft;
    Ink ink = Ink::Text;
};

struct DisplayList {
    int width = 0;
    int height = 0;
    Rect plot;                // the plotting area; the runs are clipped to it
    std::vector<Rect> rects;  // backgrounds, gap bands, selection, grid, frame
    std::vector<Point> points;
    std::vector<Run> runs;    // the curve
    std::vector<Rect> marks;  // the minimum's and maximum's marks, over the curve
    std::vector<Text> texts;
};

// ---------------------------------------------------------------- the front end's part

class Host {
public:
    virtual ~Host() = default;
    // In device pixels, in the face the texts are drawn in at the current
    // dots per inch.
    virtual int textWidth(std::string_view utf8) const = 0;
    virtual int lineHeight() const = 0;
    // As the user's locale writes them: "14:03", "2:03 PM", "14:03:07";
    // "09.12.2026", "12/9/2026"; "," or ".".
    virtual std::string timeText(int hour, int minute, int second, bool withSeconds) const = 0;
    virtual std::string dateText(int year, int month, int day) const = 0;
    virtual std::string decimalSeparator() const = 0;
};

// ---------------------------------------------------------------- input

enum class Key {
    ZoomIn,   // "+", "=", Up, the numeric pad's "+"
    ZoomOut,  // "-", Down, the numeric pad's "-"
    Earlier,  // Left: a quarter of the span back
    Later,    // Right: a quarter of the span on
    Whole,    // Home, a double click: the whole recording in one step
    Cancel,   // Escape: drops a drag under way
};

// The menu, the same in every front end. Captions come from the catalogue
// (with "&" before a mnemonic letter); shortcuts are written as Qt's
// QKeySequence reads them and a Win32 accelerator table needs them.
enum class Command { Open, SavePicture, ExportReadings, Close, Whole, ZoomIn, ZoomOut };

struct MenuEntry {
    text::MessageId caption;
    Command command;
    std::string_view shortcut;  // "Ctrl+O", "Home", "+"; empty for none
};

struct Menu {
    text::MessageId caption;
    std::span<const MenuEntry> entries;
};

std::span<const Menu> menus();

// The key a command of the View menu stands for, to be passed to key();
// nothing for the File menu's, which are the front end's own.
std::optional<Key> keyFor(Command command);

// ---------------------------------------------------------------- the chart

struct ChartState;

class Chart {
public:
    using Clock = std::chrono::steady_clock;

    explicit Chart(const Host& host);
    ~Chart();
    Chart(const Chart&) = delete;
    Chart& operator=(const Chart&) = delete;

    // The file the user named (a saved log or a journal): shown, and
    // followed while it grows, from the next update() on.
    void showFile(const std::string& path);
    // The recording in progress: the journals of thermometer and
    // thermometer-demo in `programDirectory`, the one appended to last.
    void followRecording(const std::string& programDirectory);

    // Reads what is new; true when the picture changed. Call it every second
    // and whenever the OS reports a change in the file or its folder.
    bool update(Clock::time_point now);

    // The window's drawing area, in device pixels, at `dpi` dots per inch
    // (96 is 100 %). Call it before the first draw() and whenever the size or
    // the DPI change, after the front end's face has changed with the DPI.
    void resize(int width, int height, int dpi);
    // `delta` as Windows and Qt give it: 120 a notch, positive away from the
    // user (zoom in around x).
    void wheel(int x, int y, int delta);
    // The left button: a drag across the plot zooms to the span dragged out.
    void press(int x, int y);
    void drag(int x, int y);
    void release(int x, int y);
    void key(Key key);

    const DisplayList& draw();

    // The window's title: the file shown, and the program's name.
    std::string title() const;
    // What the file dialogs suggest: the file shown's base name.
    std::string exportBaseName() const;
    bool hasReadingsInView() const;
    // The readings in view, one line each, as CSV (UTF-8, CR LF):
    //   time,temperature                    where every reading's date is known
    //   2026-12-09 14:03:07,25
    // or else, the date standing for the day where it is known
    //   day,time,temperature                day 1 is the file's first
    //   1,14:03:07,25
    std::optional<text::Error> exportCsv(const std::string& path) const;

private:
    std::unique_ptr<ChartState> state_;
};

} // namespace chart
