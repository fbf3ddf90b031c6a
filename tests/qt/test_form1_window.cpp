// Form1 as the Qt window runs it: the button and the close box, the list
// view while entries arrive, and the readings in the user's locale.
// What the handlers do is tested on a fake window (tests/core/test_form1).

#include "fake_window.h"
#include "form1_window.h"
#include "list1_rows.h"
#include "qt_runtime.h"
#include "recording_line.h"
#include "sample_ticks.h"
#include "scratch_dir.h"

#include <QScrollBar>
#include <QTest>

namespace {

// A loaded, shown window on a recording line (DCD always low: code 0),
// writing into its own directory.
struct Bench {
    ScratchDir dir;
    FakeRuntime runtime;
    RecordingLine* line = nullptr;
    std::unique_ptr<qtui::Form1Window> window;

    explicit Bench(const QLocale& locale = QLocale::c()) {
        runtime.directory = dir.path();
        runtime.format = qtui::numberFormatOf(locale);
        auto port = std::make_unique<RecordingLine>();
        line = port.get();
        window = std::make_unique<qtui::Form1Window>(std::move(port), runtime);
        if (window->form().load())
            window->show();
    }
    const qtui::Form1Controls& c() const { return window->controls(); }
    void sample() { deliverSampleTicks(window->form(), runtime); }
};

} // namespace

class Form1WindowTest : public QObject {
    Q_OBJECT
private slots:
    void theReadingReachesTheLabelsAndTheList() {
        Bench b;
        QVERIFY(b.c().Label1->text().isEmpty());
        b.c().Check1->setChecked(true);
        b.sample();
        QCOMPARE(b.c().Label1->text(), QStringLiteral("0.00 Вольт"));
        QCOMPARE(b.c().Label3->text(), QStringLiteral("-273 *C"));
        QCOMPARE(b.c().list1Rows->data(b.c().list1Rows->index(0)).toString(), QStringLiteral("-273    14:03:07"));
        QVERIFY(b.c().Label2->text().isEmpty());
    }

    void appendingNeitherScrollsNorMovesTheSelection() {
        Bench b;
        b.c().Check1->setChecked(true);
        for (int tick = 0; tick < 30; ++tick)
            b.sample();
        QListView& list = *b.c().List1;
        list.setCurrentIndex(b.c().list1Rows->index(2));
        const int scroll = list.verticalScrollBar()->value();
        b.sample();
        QCOMPARE(list.currentIndex().row(), 2);
        QCOMPARE(list.verticalScrollBar()->value(), scroll);
    }

    void theExitButtonSavesTheListAndCloses() {
        Bench b;
        b.c().Check1->setChecked(true);
        b.sample();
        b.sample();
        QTest::mouseClick(b.c().Command1, Qt::LeftButton);
        QCOMPARE(fileBytes(b.dir.file("database.txt")), std::string("-273    14:03:07\r\n").append("-273    14:03:07\r\n"));
        QVERIFY(!b.window->isVisible());
        QVERIFY(!b.runtime.timers[0]->isActive());
    }

    void theCloseBoxStopsTheTimersAndWritesNothing() {
        Bench b;
        b.c().Check1->setChecked(true);
        b.sample();
        QVERIFY(b.window->close());
        QVERIFY(!b.runtime.timers[0]->isActive());
        QVERIFY(!b.runtime.timers[1]->isActive());
        QVERIFY(b.dir.fileNames().empty());
    }

    // 506 is 2.5117 V: 2.51 V, and -22 degrees only if the label's own text
    // is read back with the same separator.
    void theReadingsTakeTheLocalesSeparator_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("label1");
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << QStringLiteral("2,51 Вольт");
        QTest::newRow("ru_RU") << QLocale(QLocale::Russian, QLocale::Russia) << QStringLiteral("2,51 Вольт");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << QStringLiteral("2.51 Вольт");
    }
    void theReadingsTakeTheLocalesSeparator() {
        QFETCH(QLocale, locale);
        QFETCH(QString, label1);
        Bench b(locale);
        b.c().Check1->setChecked(true);
        b.line->code = 506;
        // Its first bit is the line's level at rest: the first read only
        // finds out that something moves, the second measures it.
        b.sample();
        b.sample();
        QCOMPARE(b.c().Label1->text(), label1);
        QCOMPARE(b.c().Label3->text(), QStringLiteral("-22 *C"));
        QCOMPARE(b.c().list1Rows->data(b.c().list1Rows->index(0)).toString(), QStringLiteral("-22    14:03:07"));
    }
};

QTEST_MAIN(Form1WindowTest)
#include "test_form1_window.moc"
