#pragma once
// The thermometer-chart window: the chart's display list drawn with GDI,
// double-buffered, at the monitor's own dots per inch; the menu and its
// keys, the mouse (wheel, drag to zoom, double click for the whole
// recording) and the keyboard passed to the chart; the file dialogs, a
// file dropped on the window, and the watch on what it shows: a one-second
// timer, its only one, and the folder's change notifications.
//
// Everything about logs and journals is the core's (chart.h); this is
// Win32 and wiring.

#include "back_buffer.h"
#include "chart.h"
#include "folder_watch.h"
#include "gdi_chart_host.h"

#include <string>

#include <windows.h>
#include <shellapi.h>

namespace win32chart {

class ChartWindow {
public:
    // Made hidden, sized for the monitor it will show on.
    ChartWindow();
    ~ChartWindow();
    ChartWindow(const ChartWindow&) = delete;
    ChartWindow& operator=(const ChartWindow&) = delete;

    HWND handle() const noexcept { return window_; }

    // A file the user named (UTF-8), or with none the recording in progress
    // beside the program.
    void showFile(const std::string& path);
    void followRecording();

    // Reads what is new and redraws where anything changed.
    void refresh();
    // Shows the window and runs its loop until it closes; the exit status.
    int run(int showCommand);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    const chart::DisplayList& layOut(int width, int height);
    void onKey(WPARAM key);
    void onCharacter(wchar_t character);
    void onDrop(HDROP drop);
    void redraw();

    // chart_window_commands.cpp: the menu's commands.
    void run(chart::Command command);
    void openFile();
    void savePicture();
    void exportReadings();
    void tellFailure(text::MessageId what, const text::Error& error);
    std::string folderShown() const;
    // The file dialogs' suggestion: the file shown's name, beside it.
    std::string suggestedPath(const std::string& extension) const;

    HWND window_ = nullptr;
    HMENU menu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    GdiChartHost host_;
    chart::Chart chart_;
    FolderWatch watch_;
    std::string programFolder_;
    std::string shownPath_;  // the file named, empty while following the recording
    std::wstring title_;
    ULONGLONG lastLook_ = 0;  // GetTickCount64 of the last refresh

    BackBuffer buffer_;
};

} // namespace win32chart
