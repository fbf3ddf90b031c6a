#include "folder_watch.h"

#include "encoding_windows.h"

namespace win32chart {

FolderWatch::~FolderWatch() {
    stop();
}

void FolderWatch::watch(const std::string& folder) {
    if (folder == folder_ && handle_ != INVALID_HANDLE_VALUE)
        return;
    stop();
    folder_ = folder;
    handle_ = ::FindFirstChangeNotificationW(text::toWide(folder).c_str(), FALSE,
                                             FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE |
                                                 FILE_NOTIFY_CHANGE_LAST_WRITE);
}

void FolderWatch::rearm() {
    if (handle_ != INVALID_HANDLE_VALUE && !::FindNextChangeNotification(handle_))
        stop();  // the folder has gone: the timer goes on alone
}

void FolderWatch::stop() {
    if (handle_ != INVALID_HANDLE_VALUE)
        ::FindCloseChangeNotification(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    folder_.clear();
}

} // namespace win32chart
