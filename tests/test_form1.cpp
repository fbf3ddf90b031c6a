// The window's handlers end to end on the recording double: start-up,
// sampling, recording, the keep-alive, the exit button and errors.

#include "fake_runtime.h"
#include "form1.h"
#include "reading_log.h"
#include "recording_line.h"

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// DCD answers that read as `code`, most significant bit first.
std::deque<bool> dcdFor(int code) {
    std::deque<bool> bits;
    for (int k = 9; k >= 0; --k)
        bits.push_back((code >> k) & 1);
    return bits;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A loaded window on a recording line, writing into its own directory.
struct Bench {
    QTemporaryDir dir;
    FakeRuntime runtime;
    RecordingLine* line;
    std::unique_ptr<Form1> form;

    Bench() {
        runtime.directory = dir.path();
        auto port = std::make_unique<RecordingLine>();
        line = port.get();
        form = std::make_unique<Form1>(std::move(port), runtime);
    }
    void load() {
        QVERIFY(form->load());
        form->show();
        line->calls.clear();
    }
    void sample(int code) {
        line->dcdScript = dcdFor(code);
        form->deliver(&Form1::OnSampleTimer);
    }
    void record(bool on) { form->controls().Check1->setChecked(on); }
    const window::ReadingLog& log() const { return *form->controls().log; }
    QString file(const QString& name) const { return dir.filePath(name); }
};

} // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void loadingOpensThePortWithItsFourCalls() {
        Bench b;
        QVERIFY(b.form->load());
        QCOMPARE(b.line->calls, (std::vector<std::string>{"Settings 1200,N,8,1", "CommPort 1",
                                                          "PortOpen 1", "DTR 1"}));
        QVERIFY(b.form->timer1().isActive());
        QVERIFY(b.form->timer2().isActive());
        QCOMPARE(b.form->timer1().interval(), std::chrono::milliseconds(1000));
        QCOMPARE(b.form->timer2().interval(), std::chrono::milliseconds(1));
        QVERIFY(b.runtime.fatalReports.isEmpty());
    }

    void aFailedOpenEndsTheProgramBeforeTheWindowShows() {
        Bench b;
        b.line->failAtCall(2, 2, "No such file or directory");
        QVERIFY(!b.form->load());
        QVERIFY(!b.form->isVisible());
        QVERIFY(!b.form->timer1().isActive());
        QVERIFY(!b.form->timer2().isActive());
        QCOMPARE(b.runtime.fatalReports,
                 QStringList{"Error 2: No such file or directory (recording line)"});
        QCOMPARE(b.runtime.endStatus, std::optional<int>(Form1::kFatalExitStatus));
        QCOMPARE(b.line->calls.size(), std::size_t(3));  // DTR is never touched
        QVERIFY(QDir(b.dir.path()).isEmpty());
    }

    void aSampleFillsTheReadingAndBothLabels() {
        Bench b;
        b.load();
        QVERIFY(b.form->controls().Label1->text().isEmpty());
        QVERIFY(b.form->controls().Label3->text().isEmpty());
        b.sample(600);
        QCOMPARE(b.line->calls.size(), std::size_t(32));
        const Reading& r = b.form->reading();
        QCOMPARE(r.SampleCode, 600.0);
        QCOMPARE(r.SampleBits, (serial::SampleBits{1, 0, 0, 1, 0, 1, 1, 0, 0, 0}));
        QCOMPARE(r.VoltageText, QStringLiteral("2.98"));
        QCOMPARE(r.Temperature, 25.f);
        QCOMPARE(b.form->controls().Label1->text(), QStringLiteral("2.98 Вольт"));
        QCOMPARE(b.form->controls().Label3->text(), QStringLiteral("25 *C"));
        QVERIFY(b.form->controls().Label2->text().isEmpty());
    }

    void theLabelsFollowTheUsersSeparator() {
        Bench b;
        b.runtime.format = measure::NumberFormat::fromLocale(QLocale(QLocale::German));
        b.load();
        b.sample(600);
        QCOMPARE(b.form->controls().Label1->text(), QStringLiteral("2,98 Вольт"));
        QCOMPARE(b.form->reading().Temperature, 25.f);
    }

    void recordingAppendsOneEntryPerTickOnlyWhileTicked() {
        Bench b;
        b.load();
        b.sample(600);
        QCOMPARE(b.log().ListCount(), 0);
        b.record(true);
        for (int tick = 0; tick < 10; ++tick) {
            b.runtime.clock = QTime(14, 3, tick);
            b.sample(tick < 5 ? 600 : 537);
        }
        QCOMPARE(b.log().ListCount(), 10);
        QCOMPARE(b.log().List(0), QStringLiteral("25    14:03:00"));
        QCOMPARE(b.log().List(9), QStringLiteral("-6    14:03:09"));
        b.record(false);
        b.sample(600);
        QCOMPARE(b.log().ListCount(), 10);
    }

    void appendingNeitherScrollsNorMovesTheSelection() {
        Bench b;
        b.load();
        b.record(true);
        for (int tick = 0; tick < 30; ++tick)
            b.sample(600);
        QListView& list = *b.form->controls().List1;
        list.setCurrentIndex(b.log().index(2));
        const int scroll = list.verticalScrollBar()->value();
        b.sample(700);
        QCOMPARE(list.currentIndex().row(), 2);
        QCOMPARE(list.verticalScrollBar()->value(), scroll);
    }

    void eachKeepAliveTickWritesTwoZeroBytes() {
        Bench b;
        b.load();
        for (int tick = 0; tick < 3; ++tick)
            b.form->deliver(&Form1::OnKeepAliveTimer);
        QCOMPARE(b.line->calls, (std::vector<std::string>(3, "Output 2")));
        QCOMPARE(b.line->output, std::string(6, '\0'));
    }

    void aPortErrorWhileSamplingEndsTheProgramOnce() {
        Bench b;
        b.load();
        b.line->failAtCall(7);
        QVERIFY(!b.form->deliver(&Form1::OnSampleTimer));
        QVERIFY(!b.form->timer1().isActive());
        QVERIFY(!b.form->timer2().isActive());
        QCOMPARE(b.runtime.fatalReports, QStringList{"Error 5: Input/output error (recording line)"});
        QCOMPARE(b.runtime.endStatus, std::optional<int>(Form1::kFatalExitStatus));
        // Whatever is still queued finds the program ended.
        const std::size_t callsAtEnd = b.line->calls.size();
        QVERIFY(!b.form->deliver(&Form1::OnKeepAliveTimer));
        QVERIFY(!b.form->deliver(&Form1::OnSampleTimer));
        QCOMPARE(b.line->calls.size(), callsAtEnd);
        QCOMPARE(b.runtime.fatalReports.size(), 1);
        QVERIFY(QDir(b.dir.path()).isEmpty());  // nothing recorded, nothing written
    }

    void aPortErrorSavesWhatWasRecordedAndSaysWhere() {
        Bench b;
        b.load();
        b.record(true);
        b.sample(600);
        b.sample(537);
        b.line->failAtCall(b.line->calls.size());
        QVERIFY(!b.form->deliver(&Form1::OnKeepAliveTimer));
        const QString file = b.file("database.txt");
        QCOMPARE(fileBytes(file), QByteArray("25    14:03:07\r\n-6    14:03:07\r\n"));
        QCOMPARE(b.runtime.fatalReports.size(), 1);
        QVERIFY(b.runtime.fatalReports[0].startsWith("Error 5: Input/output error (recording line)\n"));
        QVERIFY(b.runtime.fatalReports[0].contains(file));
    }

    void aPortErrorSaysWhyRecordedReadingsCouldNotBeSaved() {
        Bench b;
        b.load();
        b.record(true);
        b.sample(600);
        b.form->controls().Text1->setText(QStringLiteral("missing/dir"));
        b.line->failAtCall(b.line->calls.size());
        QVERIFY(!b.form->deliver(&Form1::OnSampleTimer));
        QCOMPARE(b.runtime.fatalReports.size(), 1);
        QVERIFY(b.runtime.fatalReports[0].contains(b.file("missing/dir.txt")));
        QVERIFY(b.runtime.fatalReports[0].contains("lost"));
    }

    void theExitButtonSavesTheListAndCloses() {
        Bench b;
        b.load();
        b.record(true);
        for (int tick = 0; tick < 3; ++tick)
            b.sample(600);
        QTest::mouseClick(b.form->controls().Command1, Qt::LeftButton);
        QCOMPARE(fileBytes(b.file("database.txt")), QByteArray("25    14:03:07\r\n").repeated(3));
        QVERIFY(!b.form->isVisible());
        QVERIFY(!b.form->timer1().isActive());
        QVERIFY(b.runtime.problems.isEmpty());
    }

    void aFailedSaveKeepsEverythingForASecondTry() {
        Bench b;
        b.load();
        b.record(true);
        b.sample(600);
        b.sample(700);
        b.form->controls().Text1->setText(QStringLiteral("no such folder/log"));
        b.form->deliver(&Form1::OnExitClick);
        QCOMPARE(b.runtime.problems.size(), 1);
        QVERIFY(b.runtime.problems[0].contains(b.file("no such folder/log.txt")));
        QVERIFY(b.form->isVisible());
        QVERIFY(b.form->timer1().isActive());
        QCOMPARE(b.log().ListCount(), 2);
        QVERIFY(b.runtime.fatalReports.isEmpty());

        b.sample(550);
        b.form->controls().Text1->setText(QStringLiteral("log"));
        b.form->deliver(&Form1::OnExitClick);
        QCOMPARE(fileBytes(b.file("log.txt")),
                 QByteArray("25    14:03:07\r\n74    14:03:07\r\n0    14:03:07\r\n"));
        QVERIFY(!b.form->isVisible());
    }

    void theCloseBoxWritesNothing() {
        Bench b;
        b.load();
        b.record(true);
        b.sample(600);
        QVERIFY(b.form->close());
        QVERIFY(!b.form->timer1().isActive());
        QVERIFY(!b.form->timer2().isActive());
        QVERIFY(QDir(b.dir.path()).isEmpty());
    }
};

QTEST_MAIN(Form1Test)
#include "test_form1.moc"
