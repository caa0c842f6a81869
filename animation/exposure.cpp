// One exposure for the whole animation: each key's shading statistics, rendered as a frame,
// imposed on the frames around it (interpolated between two keys), so that a turntable does
// not pump in brightness as its densest pixel changes from frame to frame.
#include "animation/animation.h"
#include "animation/frame_render.h"

namespace vorticel {

bool MeasureExposure(Animation& animation, const std::function<bool()>& stopRequested) {
    CheckAnimation(animation);
    RunHooks hooks;
    hooks.stopRequested = stopRequested;
    std::vector<std::optional<ShadeStatistics>> measured;
    std::string failure;
    for (std::size_t k = 0; k < animation.keys.size(); ++k) {
        const FrameRender frame = RenderFrame(KeyRecipe(animation, k), hooks);
        if (frame.result.stopped) {
            return false;
        }
        if (frame.failure.empty()) {
            measured.push_back(frame.renderer->BandStatistics());
        } else {
            measured.emplace_back(); // its frames fail and are reported as they come
            failure = KeyName(animation, k) + ": " + frame.failure;
        }
    }
    // A key that failed takes the exposure of the nearest that did not (the earlier on a tie).
    std::vector<ShadeStatistics> exposures;
    for (std::size_t k = 0; k < measured.size(); ++k) {
        for (std::size_t d = 0; d < measured.size() && exposures.size() == k; ++d) {
            if (k >= d && measured[k - d]) {
                exposures.push_back(*measured[k - d]);
            } else if (k + d < measured.size() && measured[k + d]) {
                exposures.push_back(*measured[k + d]);
            }
        }
        if (exposures.size() == k) {
            throw AnimationError("no key renders: " + failure);
        }
    }
    animation.exposures = std::move(exposures);
    return true;
}

} // namespace vorticel
