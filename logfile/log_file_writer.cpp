#include "log_file_writer.h"

#include <QFileInfo>

namespace logfile {
namespace {
// Large enough that a million lines cost a few hundred writes, small enough
// to stay in the cache.
constexpr qsizetype kBufferBytes = 64 * 1024;

// The system's narrow encoding. Qt's "System" is the ANSI code page on
// Windows and UTF-8 elsewhere, but elsewhere it goes through a temporary
// copy on every call, which costs a save of a long list more than its
// writing does.
#ifdef Q_OS_WIN
constexpr auto kNarrowEncoding = QStringConverter::System;
#else
constexpr auto kNarrowEncoding = QStringConverter::Utf8;
#endif

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

LogFileWriter::LogFileWriter(const QString& fileName)
    : file_(fileName), encoder_(kNarrowEncoding), buffer_(kBufferBytes, Qt::Uninitialized) {
    if (!file_.open(QIODevice::WriteOnly))
        fail();
}

void LogFileWriter::writeLine(const QString& text) {
    if (error_)
        return;
    const qsizetype needed = encoder_.requiredSpace(text.size()) + 2;
    if (used_ + needed > buffer_.size()) {
        flushBuffer();
        if (needed > buffer_.size())
            buffer_.resize(needed);
    }
    char* end = encoder_.appendToBuffer(buffer_.data() + used_, text);
    *end++ = '\r';
    *end++ = '\n';
    used_ = end - buffer_.constData();
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
    if (error_ || used_ == 0)
        return;
    if (file_.write(buffer_.constData(), used_) != used_)
        fail();
    used_ = 0;
}

void LogFileWriter::fail() {
    if (!error_)
        error_ = SaveError{file_.fileName(), int(file_.error()), file_.errorString(),
                           folderProblem(file_.fileName())};
}

} // namespace logfile
