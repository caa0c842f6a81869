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
    std::vector<ShadeStatistics> exposures;
    for (std::size_t k = 0; k < animation.keys.size(); ++k) {
        const FrameRender frame = RenderFrame(KeyRecipe(animation, k), hooks);
        if (frame.result.stopped) {
            return false;
        }
        if (!frame.failure.empty()) {
            throw AnimationError(KeyName(animation, k) + ": " + frame.failure);
        }
        exposures.push_back(ShadeStatistics{}); // STUB until merge
    }
    animation.exposures = std::move(exposures);
    return true;
}

} // namespace vorticel
