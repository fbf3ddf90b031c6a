// SaveList against the floor of a safe save: the same bytes written through
// one 64 KiB buffer to a temporary file in the same directory, fsync, rename.
// Two floors: bytes already encoded (pure I/O), and the same loop encoding
// the list's strings on the way (what any save of this list must do).

#include "reading_log.h"
#include "sample_entries.h"
#include "save_list.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;

const window::ReadingLog& logOf(int count) {
    static std::map<int, std::unique_ptr<window::ReadingLog>> logs;
    auto& log = logs[count];
    if (!log) {
        log = std::make_unique<window::ReadingLog>();
        for (int i = 0; i < count; ++i)
            log->AddItem(sampleEntry(i));
    }
    return *log;
}

const std::vector<std::string>& encodedLinesOf(int count) {
    static std::map<int, std::vector<std::string>> lines;
    auto& encoded = lines[count];
    if (encoded.empty()) {
        const auto& log = logOf(count);
        encoded.reserve(std::size_t(count));
        for (int i = 0; i < log.ListCount(); ++i)
            encoded.push_back(log.List(i).toStdString() + "\r\n");
    }
    return encoded;
}

QTemporaryDir& scratchDir() {
    static QTemporaryDir dir;
    return dir;
}

// Appends bytes to the buffer and writes it out whenever it fills.
class BufferedFile {
public:
    explicit BufferedFile(int fd) : fd_(fd) { buffer_.reserve(kBufferBytes + 4096); }
    bool append(const char* data, std::size_t size) {
        buffer_.append(data, size);
        return buffer_.size() < kBufferBytes || flush();
    }
    bool flush() {
        std::size_t done = 0;
        while (done < buffer_.size()) {
            const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            done += std::size_t(n);
        }
        buffer_.clear();
        return true;
    }

private:
    int fd_;
    std::string buffer_;
};

template <class WriteAll>
bool safeSave(const std::string& target, WriteAll writeAll) {
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    BufferedFile file(fd);
    bool ok = writeAll(file) && file.flush() && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

// UTF-16 to UTF-8 with an ASCII fast path; the entries are ASCII, but a
// locale's time format might not be.
bool appendUtf8(BufferedFile& file, const QString& text) {
    char ascii[256];
    const qsizetype size = text.size();
    if (size <= qsizetype(sizeof ascii)) {
        const char16_t* chars = reinterpret_cast<const char16_t*>(text.utf16());
        qsizetype i = 0;
        for (; i < size && chars[i] < 0x80; ++i)
            ascii[i] = char(chars[i]);
        if (i == size)
            return file.append(ascii, std::size_t(size));
    }
    const QByteArray utf8 = text.toUtf8();
    return file.append(utf8.constData(), std::size_t(utf8.size()));
}

void BM_SaveList(benchmark::State& state) {
    const auto& log = logOf(int(state.range(0)));
    const QString target = scratchDir().filePath(QStringLiteral("savelist.txt"));
    for (auto _ : state) {
        if (const auto error = logfile::SaveList(target, log)) {
            state.SkipWithError(logfile::describe(*error).toStdString().c_str());
            break;
        }
    }
    // The comparison is only fair if both write the same file.
    qint64 expected = 0;
    for (const std::string& line : encodedLinesOf(log.ListCount()))
        expected += qint64(line.size());
    if (QFileInfo(target).size() != expected)
        state.SkipWithError("SaveList wrote a different number of bytes than the floor");
    state.counters["entries"] = double(log.ListCount());
}
BENCHMARK(BM_SaveList)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The floor's loop: a safe save of what writeAll writes, each iteration.
template <class WriteAll>
void timeSafeSaves(benchmark::State& state, WriteAll writeAll) {
    const std::string target = scratchDir().filePath(QStringLiteral("floor.txt")).toStdString();
    for (auto _ : state) {
        if (!safeSave(target, writeAll)) {
            state.SkipWithError(std::strerror(errno));
            break;
        }
    }
}

void BM_SafeSaveFloor_EncodedBytes(benchmark::State& state) {
    const auto& lines = encodedLinesOf(int(state.range(0)));
    timeSafeSaves(state, [&](BufferedFile& file) {
        for (const std::string& line : lines)
            if (!file.append(line.data(), line.size()))
                return false;
        return true;
    });
}
BENCHMARK(BM_SafeSaveFloor_EncodedBytes)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_SafeSaveFloor_FromStrings(benchmark::State& state) {
    const auto& log = logOf(int(state.range(0)));
    timeSafeSaves(state, [&](BufferedFile& file) {
        for (int i = 0; i < log.ListCount(); ++i)
            if (!appendUtf8(file, log.List(i)) || !file.append("\r\n", 2))
                return false;
        return true;
    });
}
BENCHMARK(BM_SafeSaveFloor_FromStrings)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace
