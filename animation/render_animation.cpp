// The frame loop: each frame rendered alone from its recipe, skipped when it is there already.
#include "animation/animation.h"
#include "animation/frame_render.h"
#include "io/file_error.h"

#include <filesystem>

namespace vorticel {
namespace {

// Whether `fileName` is already the frame of `expected`: a PNG whose recipe is the same. An
// exposure not measured yet is the one the frame holds (it comes from the same keys).
bool FrameIsThere(const std::string& fileName, const ImageRecipe& expected) {
    std::error_code ignored;
    if (!std::filesystem::exists(fileName, ignored)) {
        return false;
    }
    ImageRecipe there;
    try {
        there = LoadImageRecipe(fileName);
    } catch (const FileError&) {
        return false; // not a frame of ours: rendered over
    }
    ImageRecipe wanted = expected;
    if (!wanted.exposure) {
        wanted.exposure = there.exposure;
    }
    return FormatRecipe(there) == FormatRecipe(wanted);
}

} // namespace

std::string FrameFileName(const Animation& animation, std::int32_t frame) {
    const std::size_t digits = std::max<std::size_t>(4, std::to_string(animation.frames).size());
    std::string number = std::to_string(frame);
    number.insert(0, digits > number.size() ? digits - number.size() : 0, '0');
    return "frame-" + number + ".png";
}

AnimationRunResult RenderAnimation(const Animation& given, const std::string& folder,
                                   std::int32_t first, std::int32_t last,
                                   const AnimationHooks& hooks) {
    CheckAnimation(given);
    if (first < 1 || last > given.frames || first > last) {
        throw AnimationError("frames " + std::to_string(first) + "-" + std::to_string(last) +
                             ": a range within 1-" + std::to_string(given.frames) + " expected");
    }
    Animation a = given;
    AnimationRunResult run;
    RunHooks frameHooks;
    frameHooks.stopRequested = hooks.stopRequested;
    const double total = last - first + 1;
    for (std::int32_t k = first; k <= last; ++k) {
        if (hooks.stopRequested && hooks.stopRequested()) {
            run.stopped = true;
            break;
        }
        const std::string fileName = folder + "/" + FrameFileName(a, k);
        if (FrameIsThere(fileName, FrameRecipe(a, k))) {
            ++run.skipped;
        } else {
            if (a.exposures.empty() && !MeasureExposure(a, hooks.stopRequested)) {
                run.stopped = true;
                break;
            }
            const ImageRecipe recipe = FrameRecipe(a, k);
            const FrameRender frame = RenderFrame(recipe, frameHooks);
            if (frame.result.stopped) {
                run.stopped = true; // a frame cut short is not kept
                break;
            }
            if (!frame.failure.empty()) {
                ++run.failed;
                if (hooks.frameFailed) {
                    hooks.frameFailed(k, frame.failure);
                }
            } else {
                SaveFrame(fileName, recipe, frame);
                ++run.written;
            }
        }
        if (hooks.progress) {
            hooks.progress(k, (k - first + 1) / total);
        }
    }
    return run;
}

} // namespace vorticel
