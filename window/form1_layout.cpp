#include "form1_layout.h"

#include "fonts.h"
#include "reading_log.h"
#include "twips.h"

#include <limits>

namespace window {
namespace {

template <class Control>
Control* place(QWidget& form, const char* name, QRect geometry) {
    auto* control = new Control(&form);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

QLabel* label(QWidget& form, const char* name, QRect geometry, const QString& caption = {}) {
    auto* control = place<QLabel>(form, name, geometry);
    control->setText(caption);
    control->setTextFormat(Qt::PlainText);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return control;
}

} // namespace

Form1Controls buildForm1Layout(QWidget& form) {
    form.setWindowTitle(QStringLiteral("Form1"));
    form.setFixedSize(kClientWidth, kClientHeight);
    form.setFont(controlFont());

    Form1Controls c;
    // Created in tab order; the labels first so the list and the text box,
    // raised below, are drawn over the labels they overlap.
    c.Label2 = label(form, "Label2", twipsRect(4080, 120, 1335, 615));
    c.Label3 = label(form, "Label3", twipsRect(120, 1080, 3615, 735));
    c.Label1 = label(form, "Label1", twipsRect(120, 240, 3615, 735));
    c.Label3->setFont(readingFont());
    c.Label1->setFont(readingFont());

    c.log = new ReadingLog(&form);
    c.List1 = place<QListView>(form, "List1", twipsRect(3960, 240, 1815, 1230));
    c.List1->setModel(c.log);
    c.List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    c.List1->setSelectionMode(QAbstractItemView::SingleSelection);
    c.List1->setUniformItemSizes(true);

    c.Command1 = place<QPushButton>(form, "Command1", twipsRect(4920, 1920, 855, 375));
    c.Command1->setText(QStringLiteral("Выход"));
    // Neither Enter nor Escape may press it: leaving is always deliberate.
    c.Command1->setAutoDefault(false);
    c.Command1->setDefault(false);

    c.Text1 = place<QLineEdit>(form, "Text1", twipsRect(1320, 2040, 1815, 285));
    c.Text1->setMaxLength(std::numeric_limits<int>::max());
    c.Text1->setText(QStringLiteral("database"));

    c.Check1 = place<QCheckBox>(form, "Check1", twipsRect(3960, 1560, 1935, 255));
    c.Check1->setText(QStringLiteral("Записывать данные"));
    c.Check1->setCheckState(Qt::Unchecked);

    c.Label4 = label(form, "Label4", twipsRect(120, 2040, 1215, 255), QStringLiteral("Сохранить как"));
    c.Label5 = label(form, "Label5", twipsRect(3240, 2040, 375, 255), QStringLiteral(".txt"));

    c.List1->raise();
    c.Text1->raise();

    QWidget::setTabOrder(c.List1, c.Command1);
    QWidget::setTabOrder(c.Command1, c.Text1);
    QWidget::setTabOrder(c.Text1, c.Check1);
    return c;
}

} // namespace window
