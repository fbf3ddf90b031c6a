#include "form1.h"

#include "conversion.h"
#include "exit_path.h"
#include "keep_alive.h"
#include "log_entry.h"
#include "port_error.h"
#include "reading_log.h"

#include <QCloseEvent>

using namespace std::chrono_literals;

Form1::Form1(std::unique_ptr<serial::SerialLine> port, Runtime& runtime, QWidget* parent)
    : QWidget(parent),
      MSComm1(std::move(port)),
      runtime_(runtime),
      ui_(window::buildForm1Layout(*this)),
      Timer1(1000ms, [this] { deliver(&Form1::OnSampleTimer); }),
      Timer2(1ms, [this] { deliver(&Form1::OnKeepAliveTimer); }) {
    connect(ui_.Command1, &QPushButton::clicked, this, [this] { deliver(&Form1::OnExitClick); });
    // Both timers count from the moment the window exists; their first
    // ticks can only be delivered once the event loop runs.
    Timer1.start();
    Timer2.start();
}

Form1::~Form1() = default;

bool Form1::load() {
    return deliver(&Form1::OnFormLoad);
}

void Form1::OnFormLoad() {
    MSComm1->Settings("1200,N,8,1");
    MSComm1->CommPort(1);
    MSComm1->PortOpen(true);
    MSComm1->DTREnable(true);
}

void Form1::OnSampleTimer() {
    reading_.SampleBits = serial::readSampleBits(*MSComm1);
    reading_.SampleCode = serial::sampleCode(reading_.SampleBits);

    const measure::Conversion texts = measure::convertCode(reading_.SampleCode, runtime_.numberFormat());
    reading_.VoltageText = texts.VoltageText;
    reading_.Temperature = texts.Temperature;

    ui_.Label1->setText(texts.voltageDisplay);
    ui_.Label3->setText(texts.temperatureDisplay);

    if (ui_.Check1->checkState() == Qt::Checked) {
        const QString time = measure::timeOfDayText(runtime_.timeOfDay());
        ui_.log->AddItem(measure::logEntry(texts.temperatureText, time));
    }
}

void Form1::OnKeepAliveTimer() {
    serial::sendKeepAlive(*MSComm1);
}

void Form1::OnExitClick() {
    const QString fileName = logFileName();
    if (const auto error = logfile::SaveList(fileName, *ui_.log)) {
        // Keep the window, the list and the sampling: the user can correct
        // the name and press the button again.
        runtime_.reportProblem(this, logfile::describe(*error));
        return;
    }
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    Timer2.stop();
    QWidget::closeEvent(event);
}

bool Form1::deliver(void (Form1::*handler)()) {
    if (ended_)
        return false;
    try {
        (this->*handler)();
        return true;
    } catch (const serial::PortError& error) {
        endOnError(error);
        return false;
    }
}

void Form1::endOnError(const serial::PortError& error) {
    ended_ = true;
    Timer1.stop();
    Timer2.stop();

    QString report = QString::fromStdString(serial::reportLine(error));
    if (ui_.log->ListCount() > 0) {
        const QString fileName = logFileName();
        if (const auto saveError = logfile::SaveList(fileName, *ui_.log))
            report += QLatin1Char('\n') + logfile::describe(*saveError)
                    + QStringLiteral("; the recorded readings are lost.");
        else
            report += QStringLiteral("\nThe %1 recorded readings were saved to %2.")
                          .arg(ui_.log->ListCount())
                          .arg(fileName);
    }
    runtime_.reportFatal(report);
    runtime_.endProgram(kFatalExitStatus);
}

QString Form1::logFileName() const {
    return logfile::logFileName(runtime_.programDirectory(), ui_.Text1->text());
}
