// Shared pieces of the window tests.
#pragma once

#include "app/app_state.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/view.h"

#include <QCoreApplication>
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vorticel::testing {

struct RecordedMessage {
    MessageKind kind;
    QString caption;
    QString text;
};

std::vector<RecordedMessage>& Messages();

// A fresh frame and process-wide state for each test.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        App() = AppState{};
        Messages().clear();
        frame = std::make_unique<TMDIform>();
        frame->show();
    }
    void TearDown() override {
        frame.reset();
        QCoreApplication::processEvents();
    }
    // A view as "Nouveau" makes it, from the remembered dialog values.
    TForm_view* NewView(int family, int width = 64, int height = 48, int renderer = 0) {
        App().newFamily = static_cast<std::uint8_t>(family);
        App().newWidth = width;
        App().newHeight = height;
        App().newRenderer = static_cast<std::uint8_t>(renderer);
        return frame->CreateView();
    }
    std::unique_ptr<TMDIform> frame;
};

} // namespace vorticel::testing
