#include "form1_window.h"

#include "reading_log.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMessageBox>
#include <cstdio>

namespace qtui {
namespace {

const QString kReportTitle = QStringLiteral("Thermometer");

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void toStandardError(const std::string& text) {
    std::fprintf(stderr, "thermometer: %s\n", text.c_str());
    std::fflush(stderr);
}

} // namespace

Form1Window::Form1Window(std::unique_ptr<serial::SerialLine> port, app::Runtime& runtime,
                         QWidget* parent)
    : QWidget(parent), ui_(buildForm1Layout(*this)), form_(std::move(port), *this, runtime) {
    connect(ui_.Command1, &QPushButton::clicked, this,
            [this] { form_.deliver(&app::Form1::OnExitClick); });
}

Form1Window::~Form1Window() = default;

void Form1Window::closeEvent(QCloseEvent* event) {
    form_.windowClosing();
    QWidget::closeEvent(event);
}

void Form1Window::setLabel1Caption(std::string_view text) {
    ui_.Label1->setText(fromUtf8(text));
}

void Form1Window::setLabel3Caption(std::string_view text) {
    ui_.Label3->setText(fromUtf8(text));
}

bool Form1Window::check1Ticked() const {
    return ui_.Check1->checkState() == Qt::Checked;
}

std::string Form1Window::text1Text() const {
    return ui_.Text1->text().toStdString();
}

void Form1Window::listGrew(const app::RecordedList& list, std::int32_t first) {
    ui_.log->grew(list, first);
}

void Form1Window::reportProblem(const std::string& text) {
    toStandardError(text);
    auto* box = new QMessageBox(QMessageBox::Warning, kReportTitle, QString::fromStdString(text),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void Form1Window::reportFatal(const std::string& report) {
    toStandardError(report);
    // A modal loop inside the handler is safe here: Form1 has stopped both
    // timers and ended, so nothing queued meanwhile runs a handler.
    QMessageBox box(QMessageBox::Critical, kReportTitle, QString::fromStdString(report),
                    QMessageBox::Ok);
    box.exec();
}

void Form1Window::closeWindow() {
    close();
}

void Form1Window::endProgram(int status) {
    QCoreApplication::exit(status);
}

} // namespace qtui
