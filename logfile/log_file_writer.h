#pragma once
// The file side of SaveList: an all-or-nothing text file of CR LF lines.

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QStringEncoder>
#include <optional>

namespace logfile {

struct SaveError {
    QString fileName;
    int number = 0;        // QFileDevice::FileError
    QString description;   // the operating system's reason, via Qt
    QString folderProblem; // what is wrong with the folder, if anything is
};

// "Could not save /home/ann/database.txt: Permission denied
//  (the folder /home/ann is not writable)"
QString describe(const SaveError& error);

class LogFileWriter {
public:
    explicit LogFileWriter(const QString& fileName);
    LogFileWriter(const LogFileWriter&) = delete;
    LogFileWriter& operator=(const LogFileWriter&) = delete;

    bool ok() const noexcept { return !error_; }
    void writeLine(const QString& text);
    // Puts the file in place; the old one is untouched on any failure.
    std::optional<SaveError> finish();

private:
    void flushBuffer();
    void fail();

    QSaveFile file_;
    QStringEncoder encoder_;
    QByteArray buffer_;      // fixed size; lines are encoded straight into it
    qsizetype used_ = 0;
    std::optional<SaveError> error_;
};

} // namespace logfile
