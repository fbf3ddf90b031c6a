#include "chart_menu.h"

#include "encoding_windows.h"
#include "message.h"

#include <vector>

namespace win32chart {
namespace {

constexpr WORD kFirstCommandId = 100;
constexpr chart::Command kLastCommand = chart::Command::ZoomOut;

struct NamedKey {
    std::string_view name;
    WORD key;
};
constexpr NamedKey kNamedKeys[] = {{"Home", VK_HOME}, {"End", VK_END}, {"Left", VK_LEFT},
                                   {"Right", VK_RIGHT}, {"Up", VK_UP}, {"Down", VK_DOWN}};

} // namespace

WORD commandId(chart::Command command) {
    return WORD(kFirstCommandId + WORD(command));
}

std::optional<chart::Command> commandOf(WORD id) {
    if (id < kFirstCommandId || id > commandId(kLastCommand))
        return std::nullopt;
    return chart::Command(id - kFirstCommandId);
}

std::optional<ACCEL> acceleratorFor(std::string_view shortcut, WORD id) {
    BYTE flags = 0;
    for (const auto& [prefix, flag] : {std::pair{std::string_view("Ctrl+"), BYTE(FCONTROL)},
                                       std::pair{std::string_view("Shift+"), BYTE(FSHIFT)},
                                       std::pair{std::string_view("Alt+"), BYTE(FALT)}}) {
        if (shortcut.size() > prefix.size() && shortcut.substr(0, prefix.size()) == prefix) {
            flags |= flag;
            shortcut.remove_prefix(prefix.size());
        }
    }
    if (shortcut.size() == 1) {
        const char c = shortcut[0];
        if (c >= 'A' && c <= 'Z')
            return ACCEL{BYTE(flags | FVIRTKEY), WORD(c), id};
        if (flags == 0)  // a character: "+" is typed with Shift on one keyboard and without on another
            return ACCEL{0, WORD(c), id};
        return std::nullopt;
    }
    for (const NamedKey& named : kNamedKeys)
        if (shortcut == named.name)
            return ACCEL{BYTE(flags | FVIRTKEY), named.key, id};
    return std::nullopt;
}

HMENU makeChartMenu() {
    const HMENU bar = ::CreateMenu();
    for (const chart::Menu& menu : chart::menus()) {
        const HMENU popup = ::CreatePopupMenu();
        for (const chart::MenuEntry& entry : menu.entries) {
            std::string caption = text::render(entry.caption);
            if (!entry.shortcut.empty())
                caption += "\t" + std::string(entry.shortcut);
            ::AppendMenuW(popup, MF_STRING, commandId(entry.command), text::toWide(caption).c_str());
        }
        ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text::toWide(text::render(menu.caption)).c_str());
    }
    return bar;
}

HACCEL makeChartAccelerators() {
    std::vector<ACCEL> table;
    for (const chart::Menu& menu : chart::menus())
        for (const chart::MenuEntry& entry : menu.entries)
            if (const auto accelerator = acceleratorFor(entry.shortcut, commandId(entry.command)))
                table.push_back(*accelerator);
    return ::CreateAcceleratorTableW(table.data(), int(table.size()));
}

} // namespace win32chart
