// thermometer-chart's window as GDI draws it, at 96 and at 144 dpi: every
// text inside the box the core laid it out in (the face measured is the
// face drawn), the curve on its points and nowhere outside the plot, the
// picture saved as PNG read back pixel for pixel, every menu shortcut a
// working accelerator, and a file dropped on the window shown.

#include "chart_colours.h"
#include "chart_menu.h"
#include "chart_window.h"
#include "display_list_gdi.h"
#include "encoding_windows.h"
#include "gdi_chart_host.h"
#include "png_file.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A journal of a day's end and the next morning, with a gap in the evening.
std::string journalText() {
    std::string text = "# thermometer journal: recording since 2026-12-09 20:00:00\n";
    for (int s = 20 * 3600; s < 26 * 3600; s += 60) {
        if (s == 21 * 3600) {
            s = 22 * 3600;
            text += "# thermometer journal: recording resumed 2026-12-09 22:00:00\n";
        }
        if (s == 24 * 3600)
            text += "# thermometer journal: new day 2026-12-10 00:00:00\n";
        const int t = s % 86400;
        char line[32];
        std::snprintf(line, sizeof line, "%d    %02d:%02d:%02d\n", 18 + (s / 600) % 7, t / 3600, t / 60 % 60, t % 60);
        text += line;
    }
    return text;
}

struct Drawn {
    ScratchDir dir;
    win32chart::GdiChartHost host;
    chart::Chart chart{host};
    const chart::DisplayList* list = nullptr;

    explicit Drawn(UINT dpi) {
        writeBytes(dir.file("thermometer.journal"), journalText());
        host.setDpi(dpi);
        chart.showFile(dir.file("thermometer.journal"));
        chart.update(chart::Chart::Clock::now());
        chart.resize(int(::MulDiv(900, int(dpi), 96)), ::MulDiv(560, int(dpi), 96), int(dpi));
        list = &chart.draw();
    }
};

bool inside(const chart::Rect& r, int x, int y, int slack = 0) {
    return x >= r.x - slack && x < r.x + r.width + slack && y >= r.y - slack && y < r.y + r.height + slack;
}

COLORREF pixelAt(const win32chart::Picture& p, int x, int y) {
    const std::uint8_t* bgr = p.pixels + std::size_t(y) * std::size_t(p.stride()) + std::size_t(x) * 4;
    return RGB(bgr[2], bgr[1], bgr[0]);
}

} // namespace

TEST(ChartOnGdi, EveryTextStaysInsideItsBoxAt96And144Dpi) {
    for (const UINT dpi : {96u, 144u}) {
        SCOPED_TRACE(dpi);
        Drawn drawn(dpi);
        ASSERT_GT(drawn.list->texts.size(), 10u);
        // The texts alone on the window's colour: every pixel they touch
        // must lie in a box as wide as the host measured and a line high
        // (one pixel of slack for ClearType's fringe).
        chart::DisplayList texts;
        texts.width = drawn.list->width;
        texts.height = drawn.list->height;
        texts.rects.push_back({0, 0, texts.width, texts.height, chart::Ink::Window});
        texts.texts = drawn.list->texts;
        std::vector<chart::Rect> boxes;
        for (const chart::Text& t : texts.texts)
            boxes.push_back({t.topLeft.x, t.topLeft.y, drawn.host.textWidth(t.utf8), drawn.host.lineHeight()});
        const win32chart::InkColours colours = win32chart::systemInkColours();
        const win32chart::Picture picture = win32chart::drawPicture(texts, drawn.host.faces(), colours);
        ASSERT_TRUE(picture.bitmap);
        int inked = 0, astray = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                if (pixelAt(picture, x, y) == colours[std::size_t(chart::Ink::Window)])
                    continue;
                ++inked;
                if (std::none_of(boxes.begin(), boxes.end(), [&](const chart::Rect& b) { return inside(b, x, y, 1); }))
                    ++astray;
            }
        EXPECT_GT(inked, 500);
        EXPECT_EQ(astray, 0);
    }
}

TEST(ChartOnGdi, TheCurveLiesOnItsPointsAndNowhereOutsideThePlotAt96And144Dpi) {
    for (const UINT dpi : {96u, 144u}) {
        SCOPED_TRACE(dpi);
        Drawn drawn(dpi);
        const chart::DisplayList& list = *drawn.list;
        ASSERT_GE(list.runs.size(), 2u);  // broken at the gap
        const win32chart::InkColours colours = win32chart::systemInkColours();
        const COLORREF curve = colours[std::size_t(chart::Ink::Curve)];
        const win32chart::Picture picture = win32chart::drawPicture(list, drawn.host.faces(), colours);
        ASSERT_TRUE(picture.bitmap);
        int onPoints = 0, missing = 0;
        for (const chart::Run& run : list.runs)
            for (std::size_t k = run.first; k < run.first + run.count; ++k) {
                const chart::Point p = list.points[k];
                const bool underMark = std::any_of(list.marks.begin(), list.marks.end(),
                                                   [&](const chart::Rect& m) { return inside(m, p.x, p.y); });
                if (!inside(list.plot, p.x, p.y) || underMark)
                    continue;
                ++onPoints;
                if (pixelAt(picture, p.x, p.y) != curve)
                    ++missing;
            }
        EXPECT_GT(onPoints, 100);
        EXPECT_EQ(missing, 0);
        int outside = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if (!inside(list.plot, x, y) && pixelAt(picture, x, y) == curve)
                    ++outside;
        EXPECT_EQ(outside, 0);
    }
}

TEST(ChartOnGdi, ThePictureSavedAsPngReadsBackPixelForPixel) {
    Drawn drawn(96);
    const win32chart::Picture picture =
        win32chart::drawPicture(*drawn.list, drawn.host.faces(), win32chart::systemInkColours());
    ASSERT_TRUE(picture.bitmap);
    const std::string path = drawn.dir.file("chart.png");
    ASSERT_FALSE(win32chart::savePng(picture.pixels, picture.width, picture.height, picture.stride(), path));

    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IWICImagingFactory* factory = nullptr;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))));
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    std::vector<BYTE> read(std::size_t(picture.stride()) * std::size_t(picture.height));
    UINT width = 0, height = 0;
    const bool decoded =
        SUCCEEDED(factory->CreateDecoderFromFilename(text::toWide(path).c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height)) &&
        SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->CopyPixels(nullptr, UINT(picture.stride()), UINT(read.size()), read.data()));
    for (IUnknown* object : std::initializer_list<IUnknown*>{converter, frame, decoder, factory})
        if (object)
            object->Release();
    ::CoUninitialize();
    ASSERT_TRUE(decoded);
    EXPECT_EQ(int(width), picture.width);
    EXPECT_EQ(int(height), picture.height);
    int differing = 0;
    for (std::size_t k = 0; k < read.size(); k += 4)
        differing += std::memcmp(&read[k], picture.pixels + k, 3) != 0;
    EXPECT_EQ(differing, 0);
}

TEST(ChartWindow, EveryShortcutOfTheMenuIsAnAccelerator) {
    for (const chart::Menu& menu : chart::menus())
        for (const chart::MenuEntry& entry : menu.entries)
            if (!entry.shortcut.empty()) {
                EXPECT_TRUE(win32chart::acceleratorFor(entry.shortcut, 1)) << entry.shortcut;
            }
    const auto plus = win32chart::acceleratorFor("+", 7);
    ASSERT_TRUE(plus);
    EXPECT_EQ(plus->fVirt, 0);  // the character, whichever key types it
    EXPECT_EQ(plus->key, '+');
    const auto open = win32chart::acceleratorFor("Ctrl+O", 7);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->fVirt, FCONTROL | FVIRTKEY);
    EXPECT_EQ(open->key, 'O');
}

TEST(ChartWindow, AFileDroppedOnTheWindowIsShown) {
    ScratchDir dir;
    const std::string path = dir.file("журнал.txt");
    writeBytes(path, "21    14:03:07\r\n22    14:03:08\r\n");
    win32chart::ChartWindow window;
    window.followRecording();

    // What Explorer hands over: DROPFILES and the wide names, each ended
    // by a nul, and one nul more.
    const std::wstring name = text::toWide(path);
    const std::size_t bytes = sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t);
    const HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
    auto* files = static_cast<DROPFILES*>(::GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), name.c_str(), name.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    ::SendMessageW(window.handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);

    std::wstring title(256, L'\0');
    title.resize(std::size_t(::GetWindowTextW(window.handle(), title.data(), int(title.size()))));
    EXPECT_EQ(text::toUtf8(title), "журнал.txt — Thermometer chart");
}
