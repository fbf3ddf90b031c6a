#pragma once
// A Form1 on a recording line and a fake window, writing into a folder of
// its own (or one it is given), with the readings delivered tick by tick.

#include "fake_window.h"
#include "form1.h"
#include "recording_line.h"
#include "sample_ticks.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// A Form1 on a recording line, writing into its own directory.
struct Bench {
    ScratchDir dir;
    FakeRuntime runtime;
    FakeWindow window;
    RecordingLine* line = nullptr;
    std::unique_ptr<app::Form1> form;

    explicit Bench(measure::NumberFormat format = {}) : Bench(std::string(), std::move(format)) {}
    // In `folder` rather than a scratch folder of its own.
    explicit Bench(std::string folder, measure::NumberFormat format = {}) {
        runtime.directory = folder.empty() ? dir.path() : std::move(folder);
        runtime.format = std::move(format);
        auto port = std::make_unique<RecordingLine>();
        line = port.get();
        form = std::make_unique<app::Form1>(std::move(port), window, runtime);
    }
    void load() {
        ASSERT_TRUE(form->load());
        line->calls.clear();
    }
    bool sample(int code) {
        line->code = code;
        return deliverSampleTicks(*form, runtime);
    }
    // The line calls made, without the keep-alive's.
    std::vector<std::string> lineCalls() const {
        std::vector<std::string> calls;
        for (const std::string& call : line->calls)
            if (call.rfind("Output", 0) != 0)
                calls.push_back(call);
        return calls;
    }
    // The DTR and RTS calls made.
    std::vector<std::string> edges() const {
        std::vector<std::string> edges;
        for (const std::string& call : lineCalls())
            if (call.rfind("DTR", 0) == 0 || call.rfind("RTS", 0) == 0)
                edges.push_back(call);
        return edges;
    }
    bool timersRunning() const {
        return std::any_of(runtime.timers.begin(), runtime.timers.end(),
                           [](const FakeTimer* timer) { return timer->isActive(); });
    }
};

