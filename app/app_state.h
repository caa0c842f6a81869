// The process-wide state of the application, kept together in one place.
#pragma once

#include <cstdint>

namespace vorticel {

class ViewWindow;

struct AppState {
    ViewWindow* activeView = nullptr; // cleared when that view closes
    bool renderRunning = false;       // a render run is in progress in some view
    bool searchRunning = false;       // a search is in progress in some view
    bool scanRunning = false;         // an overview scan is in progress
    bool jobRunning = false;          // a poster or an animation is being rendered
    bool appClosing = false;          // the main frame is closing
    std::uint8_t openViewCount = 0;
    std::int16_t untitledCounter = 0;
    // What the new-attractor dialog last stored.
    std::uint8_t newFamily = 0;
    std::int32_t newWidth = 640;
    std::int32_t newHeight = 480;
    std::uint8_t newRenderer = 0;

    // Only one long activity (search, render, scan, poster or animation) runs at a time.
    bool LongActivity() const {
        return renderRunning || searchRunning || scanRunning || jobRunning;
    }
};

AppState& App();

} // namespace vorticel
