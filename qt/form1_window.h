#pragma once
// Form1 as a Qt window: the layout's controls, the button and the timers
// wired to Form1's handlers, and Qt's message boxes. Everything the
// handlers do is Form1's (app/form1.h); this is layout, wiring and Qt.

#include "form1.h"
#include "form1_controls.h"

#include <QWidget>

namespace qtui {

class Form1Window final : public QWidget, private app::Form1View {
    Q_OBJECT
public:
    Form1Window(std::unique_ptr<serial::SerialLine> port, app::Runtime& runtime,
                QWidget* parent = nullptr);
    ~Form1Window() override;

    app::Form1& form() { return form_; }
    const Form1Controls& controls() const { return controls_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setLabel1Caption(std::string_view text) override;
    void setLabel3Caption(std::string_view text) override;
    bool check1Ticked() const override;
    std::string text1Text() const override;
    void list1Grew(const app::RecordedList& list, std::int32_t first) override;
    void reportProblem(const std::string& text) override;
    void endWithReport(const std::string& report, int status) noexcept override;
    void closeWindow() override;

    Form1Controls controls_;
    app::Form1 form_;
};

} // namespace qtui
