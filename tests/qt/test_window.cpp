// The window's layout as the user sees it: places, names, order, captions
// and whether every caption fits its control.

#include "fonts.h"
#include "form1_controls.h"
#include "list1_rows.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void controlsSitWhereTheLayoutPutsThem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        // Twips / 15: Left, Top, Width, Height.
        QTest::newRow("Label2") << "Label2" << QRect(272, 8, 89, 41);
        QTest::newRow("Label3") << "Label3" << QRect(8, 72, 241, 49);
        QTest::newRow("Label1") << "Label1" << QRect(8, 16, 241, 49);
        QTest::newRow("List1") << "List1" << QRect(264, 16, 121, 82);
        QTest::newRow("Command1") << "Command1" << QRect(328, 128, 57, 25);
        QTest::newRow("Text1") << "Text1" << QRect(88, 136, 121, 19);
        QTest::newRow("Check1") << "Check1" << QRect(264, 104, 129, 17);
        QTest::newRow("Label4") << "Label4" << QRect(8, 136, 81, 17);
        QTest::newRow("Label5") << "Label5" << QRect(216, 136, 25, 17);
    }
    void controlsSitWhereTheLayoutPutsThem() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QWidget form;
        qtui::buildForm1Layout(form);
        auto* control = form.findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), geometry);
    }

    void theWindowStartsAsTheUserFirstSeesIt() {
        QWidget form;
        const auto c = qtui::buildForm1Layout(form);
        QCOMPARE(form.windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(form.size(), QSize(391, 160));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(c.Command1->text(), QStringLiteral("Выход"));
        QCOMPARE(c.Check1->text(), QStringLiteral("Записывать данные"));
        QCOMPARE(c.Check1->checkState(), Qt::Unchecked);
        QCOMPARE(c.Label4->text(), QStringLiteral("Сохранить как"));
        QCOMPARE(c.Label5->text(), QStringLiteral(".txt"));
        QCOMPARE(c.Text1->text(), QStringLiteral("database"));
        QVERIFY(c.Text1->maxLength() > 1'000'000);
        QVERIFY(c.Label1->text().isEmpty() && c.Label2->text().isEmpty() && c.Label3->text().isEmpty());
        QCOMPARE(c.list1Rows->rowCount(), 0);
        QVERIFY(!c.Command1->isDefault() && !c.Command1->autoDefault());
    }

    void tabGoesListButtonNameCheckBox() {
        QWidget form;
        const auto c = qtui::buildForm1Layout(form);
        // The next control of the form that Tab stops at.
        const auto next = [&form](QWidget* from) {
            QWidget* w = from->nextInFocusChain();
            while (w != from && (w->parentWidget() != &form || !(w->focusPolicy() & Qt::TabFocus)))
                w = w->nextInFocusChain();
            return w;
        };
        QCOMPARE(next(c.List1), static_cast<QWidget*>(c.Command1));
        QCOMPARE(next(c.Command1), static_cast<QWidget*>(c.Text1));
        QCOMPARE(next(c.Text1), static_cast<QWidget*>(c.Check1));
        QCOMPARE(next(c.Check1), static_cast<QWidget*>(c.List1));
        // The list and the name box are drawn over the labels they overlap.
        const QObjectList& stack = form.children();
        QVERIFY(stack.indexOf(c.List1) > stack.indexOf(c.Label2));
        QVERIFY(stack.indexOf(c.Text1) > stack.indexOf(c.Label4));
    }

    void theReadingsUseLargeTypeAndTheRestTheBundledFace() {
        QWidget form;
        const auto c = qtui::buildForm1Layout(form);
        QCOMPARE(c.Label1->font().pointSize(), 24);
        QCOMPARE(c.Label3->font().pointSize(), 24);
        QCOMPARE(c.Label1->font().weight(), QFont::Normal);
        QCOMPARE(c.Check1->font().pointSize(), 8);
        QCOMPARE(QFontInfo(c.Check1->font()).family(), qtui::bundledFamily());
        QCOMPARE(qtui::bundledFamily(), QStringLiteral("Liberation Sans"));
        // The face came from inside the program, not from the system's fonts.
        QCOMPARE(QFontDatabase::applicationFontFamilies(0), QStringList{"Liberation Sans"});
        // The readings' face is the layout's own where installed.
        QCOMPARE(qtui::readingFamily({"DejaVu Sans", "MS Sans Serif"}), QStringLiteral("MS Sans Serif"));
        QCOMPARE(qtui::readingFamily({"DejaVu Sans"}), QStringLiteral("Liberation Sans"));
    }

    void everyCaptionFitsItsControl() {
        QWidget form;
        const auto c = qtui::buildForm1Layout(form);
        const auto fits = [](QLabel* label) {
            const QFontMetrics m(label->font());
            return m.horizontalAdvance(label->text()) <= label->width() && m.height() <= label->height();
        };
        QVERIFY(fits(c.Label4));
        QVERIFY(fits(c.Label5));
        // The longest readings the labels ever show.
        c.Label1->setText(QStringLiteral("5.08 Вольт"));
        c.Label3->setText(QStringLiteral("-273 *C"));
        QVERIFY(fits(c.Label1));
        QVERIFY(fits(c.Label3));

        for (QAbstractButton* button : {static_cast<QAbstractButton*>(c.Check1),
                                        static_cast<QAbstractButton*>(c.Command1)}) {
            const QSize needed = button->sizeHint();
            const QFontMetrics m(button->font());
            QVERIFY2(m.horizontalAdvance(button->text()) < button->width(), qPrintable(button->text()));
            if (button == c.Check1)  // box, gap and caption side by side
                QVERIFY2(needed.width() <= button->width(), qPrintable(QString::number(needed.width())));
            QVERIFY2(m.height() <= button->height(), qPrintable(button->text()));
        }
    }
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"
