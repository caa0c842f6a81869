// Shared pieces of the window tests.
#pragma once

#include "app/app_state.h"
#include "app/close_guard.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/view.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
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
        frame = std::make_unique<MainFrame>();
        frame->show();
        // The question before a close and its save dialogs answer as the test says.
        frame->Closing().ask = [this](const QStringList& lines) {
            questions.push_back(lines);
            return closeAnswer;
        };
        frame->Closing().chooseFile = [this](ViewWindow&, SaveKind kind) {
            saveDialogs.push_back(kind);
            return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
        };
    }
    void TearDown() override {
        frame.reset();
        QCoreApplication::processEvents();
    }
    // A view as "Nouveau" makes it, from the remembered dialog values.
    ViewWindow* NewView(int family, int width = 64, int height = 48, int renderer = 0) {
        App().newFamily = static_cast<std::uint8_t>(family);
        App().newWidth = width;
        App().newHeight = height;
        App().newRenderer = static_cast<std::uint8_t>(renderer);
        return frame->CreateView();
    }
    std::unique_ptr<MainFrame> frame;
    std::vector<QStringList> questions;             // each question asked, its lines
    CloseAnswer closeAnswer = CloseAnswer::Discard; // what the user answers
    std::vector<SaveKind> saveDialogs;              // each save dialog shown
    QStringList fileNames;                          // what the save dialogs return, in turn
};

} // namespace vorticel::testing
