#include "save_list.h"

#include <cstring>

namespace logfile {
namespace {
// Large enough that a million lines cost a few hundred writes, small enough
// to stay in the cache.
constexpr std::size_t kBufferBytes = 64 * 1024;
} // namespace

LogFileWriter::LogFileWriter(const std::string& fileName)
    : file_(fileName), buffer_(new char[kBufferBytes]) {}

void LogFileWriter::writeLine(std::string_view utf8) {
    if (!ok())
        return;
    const std::string_view narrow = toNarrow(utf8, scratch_);
    const std::size_t needed = narrow.size() + 2;
    if (used_ + needed > kBufferBytes) {
        flushBuffer();
        if (needed > kBufferBytes) {
            oversized_.assign(narrow).append("\r\n");
            file_.write(oversized_);
            return;
        }
    }
    char* end = buffer_.get() + used_;
    std::memcpy(end, narrow.data(), narrow.size());
    end += narrow.size();
    *end++ = '\r';
    *end++ = '\n';
    used_ = static_cast<std::size_t>(end - buffer_.get());
}

std::optional<text::Error> LogFileWriter::finish() {
    flushBuffer();
    file_.commit();
    return file_.error();
}

void LogFileWriter::flushBuffer() {
    if (used_ > 0)
        file_.write(std::string_view(buffer_.get(), used_));
    used_ = 0;
}

} // namespace logfile
