// An animation: keys (image recipes of one family and one renderer) and the frames between
// them, each frame a recipe of its own that renders alone, byte for byte, as any image's does.
#pragma once

#include "render/recipe.h"
#include "render/render_run.h"
#include "render/shade_statistics.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorticel {

constexpr std::int32_t kDefaultFrames = 48;
constexpr std::int32_t kMaxFrames = 1000000;
constexpr std::int32_t kDefaultFps = 30;
constexpr std::int32_t kMaxFps = 240;
// A turn is at most this many degrees either way (a few hundred turns).
constexpr double kMaxTurnDegrees = 1e5;
// Frames are independent jobs that any machine may render: unless told, they all take this
// seed and this many workers, whatever the machine's cores, so every job gives the same bytes.
constexpr std::uint64_t kDefaultAnimationSeed = 1;
constexpr std::int32_t kDefaultAnimationWorkers = 4;

struct Animation {
    std::vector<ImageRecipe> keys;     // >= 2, or 1 with a turn
    std::vector<std::string> keyNames; // for messages: file names (or "clé 2")
    std::int32_t frames = kDefaultFrames;
    double turnDegrees = 0.0;
    std::int32_t width = 640;
    std::int32_t height = 480;
    std::int32_t fps = kDefaultFps;
    std::int32_t iterations = kDefaultIterations;
    std::optional<std::uint64_t> seed;   // nullopt: kDefaultAnimationSeed
    std::optional<std::int32_t> workers; // nullopt: kDefaultAnimationWorkers
    // The shading statistics of each key rendered as a frame (MeasureExposure), which every
    // frame between two keys shades with so that its brightness does not pump; empty: each
    // frame shades with its own.
    std::vector<ShadeStatistics> exposures;
};

// What is wrong with an animation; the message names the key it is about.
class AnimationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws AnimationError: no key, one key without a turn, keys of different families or
// renderers, frames, size, fps or turn out of range, fewer frames than two for two keys.
void CheckAnimation(const Animation& animation);

// The key's name for messages: its file name, or "clé N" (1-based) when it has none.
std::string KeyName(const Animation& animation, std::size_t key);

// The recipe of frame 1..frames: the keys interpolated at the animation's size, iterations,
// seed and workers, turned, with the exposure when it was measured. Frame 1 is key 1 and the
// last frame the last key, exactly (but for the turn). Throws AnimationError as CheckAnimation
// does, and for a frame out of range.
ImageRecipe FrameRecipe(const Animation& animation, std::int32_t frame);

// Key `key` (0-based) as a frame of the animation would render it: its size, iterations, seed
// and workers, no turn, its own exposure.
ImageRecipe KeyRecipe(const Animation& animation, std::size_t key);

// Renders each key as a frame and keeps its shading statistics in `animation.exposures`;
// false (and none kept) when stopped. A key whose orbit diverges or collapses takes the
// nearest good key's (its own frames fail); AnimationError when none renders.
bool MeasureExposure(Animation& animation, const std::function<bool()>& stopRequested = {});

// The .vta text: key=value lines like a recipe's, the keys' recipes inline. Throws
// AnimationError for text it cannot read.
std::string FormatAnimation(const Animation& animation);
Animation ParseAnimation(std::string_view text);
// Reads a .vta file (FileError when it cannot be read).
Animation LoadAnimation(const std::string& fileName);

// A key from a parameter file, framed as `vorticel-cli render` frames it: the Gas renderer at
// that size, eye at (0, 0, -5), the framing pass of kFitPoints points. Throws FileError,
// AnimationError (no family in its header, an orbit that diverges while it is framed).
ImageRecipe KeyFromParameterFile(const std::string& fileName, std::int32_t width,
                                 std::int32_t height);

struct AnimationHooks {
    // After each frame written or skipped: that frame and the fraction of the range done.
    std::function<void(std::int32_t frame, double fractionOfAll)> progress;
    std::function<bool()> stopRequested;
    // A frame whose orbit diverged or collapsed; the run goes on with the next.
    std::function<void(std::int32_t frame, const std::string& reason)> frameFailed;
};

struct AnimationRunResult {
    std::int32_t written = 0;
    std::int32_t skipped = 0;
    std::int32_t failed = 0;
    bool stopped = false;
};

// Frames first..last (1-based) into `folder` as frame-0001.png..., skipping frames already
// there whose recipe matches; each written by replacement, so an interrupted run leaves whole
// frames only. Measures the exposure first when a frame needs it and it was not measured.
AnimationRunResult RenderAnimation(const Animation& animation, const std::string& folder,
                                   std::int32_t first, std::int32_t last,
                                   const AnimationHooks& hooks = {});

// "frame-0007.png": the number zero-padded to the frame count's digits, at least four.
std::string FrameFileName(const Animation& animation, std::int32_t frame);

// ffmpeg, as a child process: whether it is on PATH, and encoding the folder's frames
// (H.264 in MP4, yuv420p, the animation's fps). EncodeVideo throws std::runtime_error.
bool VideoEncoderAvailable();
void EncodeVideo(const std::string& folder, const Animation& animation,
                 const std::string& videoFile);

} // namespace vorticel
