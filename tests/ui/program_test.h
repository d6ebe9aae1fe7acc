// Base fixture of the UI tests: starts the program for a test, hands it to the
// failure listener, and kills it afterwards if the test left it running.
#pragma once

#include "tests/ui/harness.h"

#include <gtest/gtest.h>

#include <memory>

namespace tracewick::ui {

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { InstallFailureListener(); }
    void TearDown() override {
        SetProcessUnderTest(nullptr);
        app_.reset();
    }

    // Starts the program; on failure records it and returns null.
    AppProcess* Launch(const LaunchOptions& options) {
        auto app = std::make_unique<AppProcess>();
        std::string error;
        if (!app->Start(options, &error)) {
            ADD_FAILURE() << "cannot start the program: " << error;
            return nullptr;
        }
        app_ = std::move(app);
        SetProcessUnderTest(app_.get());
        return app_.get();
    }

    // Starts the program with a letter that selects no page (so no splash)
    // and waits for the sheet; a null sheet on failure.
    Sheet LaunchToSheet(LaunchOptions options = {}) {
        if (options.args.empty()) options.args = {"x"};
        AppProcess* app = Launch(options);
        if (!app) return Sheet();
        HWND sheet = app->WaitForSheet();
        if (!sheet) ADD_FAILURE() << "the sheet did not appear";
        return Sheet(sheet);
    }

    AppProcess& app() { return *app_; }

    std::unique_ptr<AppProcess> app_;
};

}  // namespace tracewick::ui
