#pragma once
// Word from Windows that something in a folder changed: a file made,
// deleted or renamed there, or one's size or time changed. The chart looks
// again at once rather than at its next second. Windows sees a file grow
// only once its writer flushes it (the thermometer's journal every 5 s), so
// the one-second timer stays; this adds the deletes and the replacements
// as they happen. Holds no file open, only the folder, as Explorer does.

#include <string>

#include <windows.h>

namespace win32chart {

class FolderWatch {
public:
    FolderWatch() = default;
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches `folder` (UTF-8) from now on, and no other; a folder that
    // cannot be watched leaves the timer alone to notice changes.
    void watch(const std::string& folder);
    // Signalled when something changed; INVALID_HANDLE_VALUE when nothing
    // is watched.
    HANDLE handle() const noexcept { return handle_; }
    // After a change has been acted on: the next one signals again.
    void rearm();

private:
    void stop();

    std::string folder_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

} // namespace win32chart
