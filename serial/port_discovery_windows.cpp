#include "port_discovery.h"

#include "encoding_windows.h"

#include <iterator>

#include <windows.h>

namespace serial {
namespace {

// The values of SERIALCOMM, read only: nothing is opened while looking.
// A port that vanishes meanwhile just ends the list early.
std::vector<ListedPort> listedPorts() {
    std::vector<ListedPort> listed;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &key) != ERROR_SUCCESS)
        return listed;  // no serial driver has ever started: nothing listed
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        wchar_t data[256] = {};
        DWORD nameLength = DWORD(std::size(name));
        DWORD dataBytes = sizeof data - sizeof(wchar_t);  // room for a terminator
        DWORD type = 0;
        const LSTATUS status = ::RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                               reinterpret_cast<BYTE*>(data), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS || type != REG_SZ)
            continue;  // too long for a port's name, or not a name at all
        std::wstring_view port(data, dataBytes / sizeof(wchar_t));
        while (!port.empty() && port.back() == L'\0')
            port.remove_suffix(1);
        listed.push_back({text::toUtf8({name, nameLength}), text::toUtf8(port)});
    }
    ::RegCloseKey(key);
    return listed;
}

} // namespace

std::string deviceForPort(int number) {
    return windowsDeviceForPort(number, number == 1 ? listedPorts() : std::vector<ListedPort>{});
}

text::Message listedPortsNote() {
    return windowsListedPortsNote(listedPorts());
}

} // namespace serial
