// Stand-ins for the poster and animation core while it is being written: the declarations
// the window is built against, with the plainest working bodies. Goes once the core has them.
#pragma once

#include "render/recipe.h"
#include "render/render_run.h"

#include <array>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorticel {

struct PosterOptions {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int depth = 8;
    std::int64_t memoryBytes = 0;
    std::int32_t strips = 0;
    std::int32_t threads = kAllThreads;
};
struct PosterProgress {
    double fraction = 0.0;
    std::int32_t strip = 0;
    std::int32_t strips = 1;
};
struct PosterHooks {
    std::function<void(const PosterProgress&)> progress;
    std::function<bool()> stopRequested;
};
struct PosterResult {
    std::int32_t strips = 1;
    std::int32_t threads = 1;
    std::int64_t count = 0;
    bool stopped = false;
    bool diverged = false;
};
PosterResult RenderPoster(const ImageRecipe& recipe, const PosterOptions& options,
                          const std::string& fileName, const PosterHooks& hooks = {});
void SaveImagePng(const std::string& fileName, const ImageRecipe& recipe, Renderer& bitmap,
                  int depth);

struct Animation {
    std::vector<ImageRecipe> keys;
    std::vector<std::string> keyNames;
    std::int32_t frames = 48;
    double turnDegrees = 0.0;
    std::int32_t width = 640, height = 480;
    std::int32_t fps = 30;
    std::int32_t iterations = kDefaultIterations;
    std::optional<std::uint64_t> seed;
    std::optional<std::int32_t> workers;
};
class AnimationError : public std::runtime_error {
    using runtime_error::runtime_error;
};
void CheckAnimation(const Animation& animation);
ImageRecipe FrameRecipe(const Animation& animation, std::int32_t frame);
std::string FormatAnimation(const Animation& animation);
Animation ParseAnimation(std::string_view text);
struct AnimationHooks {
    std::function<void(std::int32_t frame, double fractionOfAll)> progress;
    std::function<bool()> stopRequested;
    std::function<void(std::int32_t frame, const std::string& reason)> frameFailed;
};
struct AnimationRunResult {
    std::int32_t written = 0, skipped = 0, failed = 0;
    bool stopped = false;
};
AnimationRunResult RenderAnimation(const Animation& animation, const std::string& folder,
                                   std::int32_t first, std::int32_t last,
                                   const AnimationHooks& hooks);
std::string FrameFileName(const Animation& animation, std::int32_t frame);
bool VideoEncoderAvailable();
void EncodeVideo(const std::string& folder, const Animation& animation,
                 const std::string& videoFile);

} // namespace vorticel
