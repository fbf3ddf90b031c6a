#include "log_file_writer.h"

#include <QFileInfo>

namespace logfile {
namespace {
// Large enough that a million lines cost a few hundred writes, small enough
// to stay in the cache.
constexpr qsizetype kBufferBytes = 64 * 1024;
// The OS's reason alone can mislead ("No such file or directory" for a
// missing folder): say plainly when the folder itself is the trouble.
QString folderProblem(const QString& fileName) {
    const QFileInfo folder(QFileInfo(fileName).absolutePath());
    if (!folder.exists())
        return QStringLiteral("the folder %1 does not exist").arg(folder.filePath());
    if (!folder.isDir())
        return QStringLiteral("%1 is not a folder").arg(folder.filePath());
    if (!folder.isWritable())
        return QStringLiteral("the folder %1 is not writable").arg(folder.filePath());
    return {};
}

} // namespace

QString describe(const SaveError& error) {
    QString text = QStringLiteral("Could not save %1: %2").arg(error.fileName, error.description);
    if (!error.folderProblem.isEmpty())
        text += QStringLiteral(" (%1)").arg(error.folderProblem);
    return text;
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
        error_ = SaveError{file_.fileName(), int(file_.error()), file_.errorString(),
                           folderProblem(file_.fileName())};
}

} // namespace logfile
