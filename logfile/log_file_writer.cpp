#include "log_file_writer.h"

namespace logfile {
namespace {
// Large enough that a million lines cost a few hundred writes, small enough
// to stay in the cache.
constexpr qsizetype kBufferBytes = 64 * 1024;
} // namespace

QString describe(const SaveError& error) {
    return QStringLiteral("Could not save %1: %2").arg(error.fileName, error.description);
}

LogFileWriter::LogFileWriter(const QString& fileName) : file_(fileName) {
    buffer_.reserve(kBufferBytes + 256);
    if (!file_.open(QIODevice::WriteOnly))
        fail();
}

void LogFileWriter::writeLine(const QString& text) {
    if (error_)
        return;
    buffer_ += encoder_.encode(text);
    buffer_ += "\r\n";
    if (buffer_.size() >= kBufferBytes)
        flushBuffer();
}

std::optional<SaveError> LogFileWriter::finish() {
    flushBuffer();
    if (!error_ && !file_.commit())
        fail();
    if (error_)
        file_.cancelWriting();
    return error_;
}

void LogFileWriter::flushBuffer() {
    if (error_ || buffer_.isEmpty())
        return;
    if (file_.write(buffer_) != buffer_.size())
        fail();
    buffer_.clear();
}

void LogFileWriter::fail() {
    if (!error_)
        error_ = SaveError{file_.fileName(), int(file_.error()), file_.errorString()};
}

} // namespace logfile
