// SaveList against the floor of a safe save: the same bytes written through
// one 64 KiB buffer to a temporary file in the same directory, fsync, rename.
// Two floors: the lines already joined with their line ends (pure I/O), and
// the same loop taking the list's strings one by one (what any save of this
// list must do).

#include "recorded_list.h"
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

const app::RecordedList& logOf(int count) {
    static std::map<int, std::unique_ptr<app::RecordedList>> logs;
    auto& log = logs[count];
    if (!log) {
        log = std::make_unique<app::RecordedList>();
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
            encoded.push_back(std::string(log.List(i)) + "\r\n");
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

void BM_SaveList(benchmark::State& state) {
    const auto& log = logOf(int(state.range(0)));
    const std::string target = scratchDir().filePath(QStringLiteral("savelist.txt")).toStdString();
    for (auto _ : state) {
        if (const auto error = logfile::SaveList(target, log)) {
            state.SkipWithError(text::reportLine(*error).c_str());
            break;
        }
    }
    // The comparison is only fair if both write the same file.
    qint64 expected = 0;
    for (const std::string& line : encodedLinesOf(log.ListCount()))
        expected += qint64(line.size());
    if (QFileInfo(QString::fromStdString(target)).size() != expected)
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
            if (!file.append(log.List(i).data(), log.List(i).size()) || !file.append("\r\n", 2))
                return false;
        return true;
    });
}
BENCHMARK(BM_SafeSaveFloor_FromStrings)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace
