#include "form1_controls.h"

#include "fonts.h"
#include "list1_rows.h"
#include "twips.h"

#include <limits>

namespace qtui {
namespace {

QString contentOf(const app::ControlLayout& control) {
    return QString::fromUtf8(control.content.data(), qsizetype(control.content.size()));
}

QWidget* create(QWidget& form, const app::ControlLayout& control, List1Rows* log) {
    QWidget* widget = nullptr;
    switch (control.kind) {
    case app::ControlKind::Label: {
        auto* label = new QLabel(contentOf(control), &form);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
        break;
    }
    case app::ControlKind::ListBox: {
        auto* list = new QListView(&form);
        list->setModel(log);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setUniformItemSizes(true);
        widget = list;
        break;
    }
    case app::ControlKind::CommandButton: {
        auto* button = new QPushButton(contentOf(control), &form);
        // Neither Enter nor Escape may press it: leaving is always deliberate.
        button->setAutoDefault(false);
        button->setDefault(false);
        widget = button;
        break;
    }
    case app::ControlKind::TextBox: {
        auto* edit = new QLineEdit(&form);
        edit->setMaxLength(std::numeric_limits<int>::max());
        edit->setText(contentOf(control));
        widget = edit;
        break;
    }
    case app::ControlKind::CheckBox: {
        auto* box = new QCheckBox(contentOf(control), &form);
        box->setCheckState(Qt::Unchecked);
        widget = box;
        break;
    }
    }
    widget->setObjectName(QLatin1String(control.name.data(), qsizetype(control.name.size())));
    widget->setGeometry(twipsRect(control));
    return widget;
}

} // namespace

Form1Controls buildForm1Layout(QWidget& form) {
    form.setWindowTitle(QString::fromUtf8(app::kForm1Caption.data(), qsizetype(app::kForm1Caption.size())));
    const app::PixelSize client = app::clientSizeAt();
    form.setFixedSize(client.width, client.height);
    form.setFont(controlFont());

    Form1Controls c;
    c.list1Rows = new List1Rows(&form);
    // Created in tab order, so focus follows it.
    QWidget* previous = nullptr;
    for (const app::ControlLayout& control : app::kForm1Controls) {
        QWidget* widget = create(form, control, c.list1Rows);
        if (previous && widget->focusPolicy() != Qt::NoFocus)
            QWidget::setTabOrder(previous, widget);
        if (widget->focusPolicy() != Qt::NoFocus)
            previous = widget;
    }
    c.Label1 = form.findChild<QLabel*>(QStringLiteral("Label1"));
    c.Label2 = form.findChild<QLabel*>(QStringLiteral("Label2"));
    c.Label3 = form.findChild<QLabel*>(QStringLiteral("Label3"));
    c.Label4 = form.findChild<QLabel*>(QStringLiteral("Label4"));
    c.Label5 = form.findChild<QLabel*>(QStringLiteral("Label5"));
    c.List1 = form.findChild<QListView*>(QStringLiteral("List1"));
    c.Command1 = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    c.Text1 = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
    c.Check1 = form.findChild<QCheckBox*>(QStringLiteral("Check1"));
    c.Label1->setFont(readingFont());
    c.Label3->setFont(readingFont());

    // The list and the text box are drawn over the labels they overlap.
    c.List1->raise();
    c.Text1->raise();
    return c;
}

} // namespace qtui
