// vorticel-cli animate: the frames between keys, each a PNG that renders alone, then a video.
#include "animation/animation.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/image_files.h"
#include "cli/output.h"
#include "cli/render_arguments.h"
#include "cli/whole_number.h"

#include <cstdio>
#include <iostream>
#include <sys/stat.h>

namespace vorticel::cli {
namespace {

bool IsAnimationName(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    std::string extension = dot == std::string::npos ? "" : fileName.substr(dot);
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension == ".vta";
}

// The animation of a .vta or of the keys, with what the command line gives over it.
Animation AnimationOf(const AnimateOptions& options) {
    Animation a;
    const bool file = options.keys.size() == 1 && IsAnimationName(options.keys[0]);
    if (file) {
        a = LoadAnimation(options.keys[0]);
    }
    if (options.size) {
        ParseSize(*options.size, a.width, a.height);
    }
    a.frames = options.frames.value_or(a.frames);
    a.turnDegrees = options.turn.value_or(a.turnDegrees);
    a.iterations = options.iterations.value_or(a.iterations);
    a.fps = options.fps.value_or(a.fps);
    if (options.seed) {
        a.seed = options.seed;
    }
    if (options.threads) {
        a.workers = options.threads;
    }
    if (!file) {
        for (const std::string& key : options.keys) {
            if (IsAnimationName(key)) {
                throw UsageError{"an animation file (" + key + ") stands alone, without keys"};
            }
            a.keys.push_back(IsPngName(key) ? LoadImageRecipe(key)
                                            : KeyFromParameterFile(key, a.width, a.height));
            a.keyNames.push_back(key);
        }
    }
    CheckAnimation(a);
    return a;
}

// "A-B" or "A", within 1..frames.
void ParseRange(const std::string& text, std::int32_t frames, std::int32_t& first,
                std::int32_t& last) {
    first = 1;
    last = frames;
    if (text.empty()) {
        return;
    }
    const std::size_t dash = text.find('-');
    const std::string_view s(text);
    const bool ok = ReadWholeNumber<std::int32_t>(s.substr(0, dash), 1, frames, first) ==
                        WholeNumberCheck::Ok &&
                    (dash == std::string::npos
                         ? (last = first, true)
                         : ReadWholeNumber<std::int32_t>(s.substr(dash + 1), first, frames, last) ==
                               WholeNumberCheck::Ok);
    if (!ok) {
        throw UsageError{"--only " + text + ": frames A-B (or A) from 1 to " +
                         std::to_string(frames) + " expected, A at most B"};
    }
}

std::string Duration(double seconds) {
    const long s = static_cast<long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

} // namespace

int RunAnimate(const AnimateOptions& options) {
    const Animation animation = AnimationOf(options);
    std::int32_t first = 1;
    std::int32_t last = 1;
    ParseRange(options.only, animation.frames, first, last);
    if (::mkdir(options.folder.c_str(), 0777) != 0 && errno != EEXIST) {
        throw UsageError{"cannot create the folder " + options.folder};
    }

    const Clock::time_point start = Clock::now();
    AnimationHooks hooks;
    std::int32_t done = 0;
    hooks.frameFailed = [](std::int32_t frame, const std::string& reason) {
        std::cerr << "\nframe " << frame << ": " << reason << '\n';
    };
    if (options.progress) {
        hooks.progress = [&](std::int32_t, double fraction) {
            ++done;
            const double elapsed = SecondsSince(start);
            const double left = fraction > 0.0 ? elapsed * (1.0 - fraction) / fraction : 0.0;
            std::cerr << "\rframes " << done << "/" << (last - first + 1) << ", time left "
                      << Duration(left) << std::flush;
        };
    }
    const AnimationRunResult run = RenderAnimation(animation, options.folder, first, last, hooks);
    const double seconds = SecondsSince(start);
    if (options.progress) {
        std::cerr << '\n';
    }
    PrintKey(std::cerr, "frames", static_cast<std::int64_t>(last - first + 1));
    PrintKey(std::cerr, "written", static_cast<std::int64_t>(run.written));
    PrintKey(std::cerr, "skipped", static_cast<std::int64_t>(run.skipped));
    PrintKey(std::cerr, "failed", static_cast<std::int64_t>(run.failed));
    PrintKey(std::cerr, "seconds", seconds);
    PrintKey(std::cerr, "frames-per-minute", seconds > 0.0 ? run.written * 60.0 / seconds : 0.0);

    int code = run.failed > 0 ? kExitFramesFailed : kExitOk;
    if (!options.video.empty()) {
        if (!VideoEncoderAvailable()) {
            std::cerr << "error: ffmpeg was not found, so there is no video; the frames are in "
                      << options.folder << '\n';
            return code == kExitOk ? kExitFailed : code;
        }
        EncodeVideo(options.folder, animation, options.video);
        PrintKey(std::cerr, "video", options.video);
    }
    return code;
}

} // namespace vorticel::cli
