// Saving the list: exact bytes, file names, and that a failure costs
// nothing that was there before.

#include "exit_path.h"
#include "reading_log.h"
#include "save_list.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

// The smallest thing SaveList accepts.
struct Entries {
    QStringList items;
    int ListCount() const { return int(items.size()); }
    QString List(int i) const { return items.at(i); }
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Caps the size of any file this process writes, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit cap = old_;
        cap.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &cap);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int);
};

} // namespace

class SaveListTest : public QObject {
    Q_OBJECT
private slots:
    void eachEntryBecomesOneCrLfLine() {
        QTemporaryDir dir;
        window::ReadingLog log;
        log.AddItem(QStringLiteral("25    14:03:07"));
        log.AddItem(QStringLiteral("-6    14:03:08"));
        log.AddItem(QStringLiteral("235    02:03:09 PM"));
        const QString name = dir.filePath("database.txt");
        QCOMPARE(logfile::SaveList(name, log), std::nullopt);
        QCOMPARE(fileBytes(name),
                 QByteArray("25    14:03:07\r\n-6    14:03:08\r\n235    02:03:09 PM\r\n"));
    }

    void anEmptyListLeavesAnEmptyFileInPlaceOfTheOld() {
        QTemporaryDir dir;
        const QString name = dir.filePath("database.txt");
        writeFile(name, "old contents\r\n");
        QCOMPARE(logfile::SaveList(name, Entries{}), std::nullopt);
        QVERIFY(QFile::exists(name));
        QCOMPARE(QFile(name).size(), 0);
    }

    void textsAreWrittenInTheSystemsNarrowEncoding() {
        QTemporaryDir dir;
        const QString name = dir.filePath("x.txt");
        QCOMPARE(logfile::SaveList(name, Entries{{QStringLiteral("25    14:03:07 ч")}}), std::nullopt);
        QCOMPARE(fileBytes(name), QByteArray("25    14:03:07 \xd1\x87\r\n"));
    }

    void theNameIsTakenAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file");
        QTest::newRow("empty") << "" << ".txt";
        QTest::newRow("already has .txt") << "log.txt" << "log.txt.txt";
        QTest::newRow("Cyrillic") << "журнал" << "журнал.txt";
        QTest::newRow("blanks kept") << " a b " << " a b .txt";
    }
    void theNameIsTakenAsTyped() {
        QFETCH(QString, typed);
        QFETCH(QString, file);
        QTemporaryDir dir;
        const QString name = logfile::logFileName(dir.path(), typed);
        QCOMPARE(name, dir.path() + QLatin1Char('/') + file);
        QCOMPARE(logfile::SaveList(name, Entries{{"1    00:00:01"}}), std::nullopt);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{file});
        QCOMPARE(fileBytes(name), QByteArray("1    00:00:01\r\n"));
    }

    void theSeparatorIsAlwaysInserted() {
        QCOMPARE(logfile::logFileName(QStringLiteral("/"), QStringLiteral("database")),
                 QStringLiteral("//database.txt"));
    }

    void anUnwritableTargetIsReportedWithItsReason_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("missing sub-directory") << "no such dir/log";
        QTest::newRow("name too long") << QString(300, QLatin1Char('n'));
    }
    void anUnwritableTargetIsReportedWithItsReason() {
        QFETCH(QString, typed);
        QTemporaryDir dir;
        const QString name = logfile::logFileName(dir.path(), typed);
        const auto error = logfile::SaveList(name, Entries{{"25    14:03:07"}});
        QVERIFY(error);
        QCOMPARE(error->fileName, name);
        QVERIFY(error->number != 0);
        QVERIFY(!error->description.isEmpty());
        QVERIFY(logfile::describe(*error).contains(name));
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void aMissingFolderIsNamedAsTheTrouble() {
        QTemporaryDir dir;
        const auto error = logfile::SaveList(dir.filePath("gone/log.txt"), Entries{});
        QVERIFY(error);
        QVERIFY(logfile::describe(*error).endsWith(
            QStringLiteral("(the folder %1 does not exist)").arg(dir.filePath("gone"))));
    }

    void aWriteFailingPartWayLeavesTheOldFileIntact() {
        QTemporaryDir dir;
        const QString name = dir.filePath("database.txt");
        writeFile(name, "earlier run\r\n");
        Entries many;
        for (int i = 0; i < 100000; ++i)
            many.items << QStringLiteral("%1    14:03:07").arg(i % 500 - 273);
        std::optional<logfile::SaveError> error;
        {
            FileSizeLimit fullDisk(4096);
            error = logfile::SaveList(name, many);
        }
        QVERIFY(error);
        QVERIFY(!error->description.isEmpty());
        QCOMPARE(fileBytes(name), QByteArray("earlier run\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"database.txt"});
        // With room again, the same list goes through whole.
        QCOMPARE(logfile::SaveList(name, many), std::nullopt);
        QCOMPARE(QFile(name).size(), qint64(many.items.join("\r\n").size() + 2));
    }
};

QTEST_GUILESS_MAIN(SaveListTest)
#include "test_save_list.moc"
