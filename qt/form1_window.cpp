#include "form1_window.h"

#include "list1_rows.h"
#include "message.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

namespace qtui {
namespace {

QString fromCatalogue(text::MessageId id) {
    return QString::fromStdString(text::render(id));
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void toStandardError(const std::string& text) {
    const std::string line = text::programLine(text);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

// The button's text is the catalogue's: Qt's own "OK" would need Qt's
// translations, which the program does not carry.
void setUpReportBox(QMessageBox& box) {
    box.setWindowTitle(fromCatalogue(text::MessageId::BoxTitle));
    box.setStandardButtons(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(fromCatalogue(text::MessageId::OkButton));
}

} // namespace

Form1Window::Form1Window(std::unique_ptr<serial::SerialLine> port, app::Runtime& runtime,
                         QWidget* parent)
    : QWidget(parent), controls_(buildForm1Layout(*this)), form_(std::move(port), *this, runtime) {
    connect(controls_.Command1, &QPushButton::clicked, this,
            [this] { form_.deliver(&app::Form1::OnExitClick); });
}

Form1Window::~Form1Window() = default;

void Form1Window::closeEvent(QCloseEvent* event) {
    form_.windowClosing();
    QWidget::closeEvent(event);
}

void Form1Window::setLabel1Caption(std::string_view text) {
    controls_.Label1->setText(fromUtf8(text));
}

void Form1Window::setLabel3Caption(std::string_view text) {
    controls_.Label3->setText(fromUtf8(text));
}

bool Form1Window::check1Ticked() const {
    return controls_.Check1->checkState() == Qt::Checked;
}

std::string Form1Window::text1Text() const {
    return controls_.Text1->text().toStdString();
}

void Form1Window::list1Grew(const app::RecordedList& list, std::int32_t first) {
    controls_.list1Rows->list1Grew(list, first);
}

void Form1Window::reportProblem(const std::string& text) {
    toStandardError(text);
    auto* box = new QMessageBox(QMessageBox::Warning, {}, QString::fromStdString(text),
                                QMessageBox::NoButton, this);
    setUpReportBox(*box);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void Form1Window::endWithReport(const std::string& report, int status) noexcept {
    try {
        toStandardError(report);
        // A modal loop inside the handler is safe here: Form1 has stopped
        // both timers and ended, so nothing queued meanwhile runs a handler.
        QMessageBox box(QMessageBox::Critical, {}, QString::fromStdString(report));
        setUpReportBox(box);
        box.exec();
    } catch (...) {
        // The program ends all the same.
    }
    QCoreApplication::exit(status);
}

void Form1Window::closeWindow() {
    close();
}

} // namespace qtui
