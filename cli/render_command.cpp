// vorticel-cli render: what a view does, from fit to BMP or PNG, without a window.
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/image_files.h"
#include "cli/output.h"
#include "io/replace_file.h"
#include "render/bitmap3d.h"
#include "render/image_size.h"
#include "render/render_run.h"
#include "resources/strings.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <limits>
#include <unistd.h>

namespace vorticel::cli {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

int RendererKindByName(const std::string& name) {
    const std::string key = Lower(name);
    static const char* const kEnglish[kRendererCount] = {"gas", "liquid", "light", "plasma",
                                                         "solid"};
    for (int kind = 0; kind < kRendererCount; ++kind) {
        const std::string french = Lower(std::string(LoadStr(kStrRendererFirst + kind)));
        if (key == std::to_string(kind) || key == kEnglish[kind] || key == french ||
            (kind == kLight && key == "lumiere")) {
            return kind;
        }
    }
    throw UsageError{"unknown renderer: " + name +
                     " (0..4, gaz, liquide, lumiere, plasma, solide)"};
}

// WIDTHxHEIGHT, checked as typed (in 64 bits, before the width is rounded down to a
// multiple of 4), so the message names the size that was asked for.
void ParseSize(const std::string& text, std::int32_t& width, std::int32_t& height) {
    const std::size_t x = text.find_first_of("xX");
    const auto parse = [&text](std::size_t from, std::size_t to, std::int64_t& out) {
        const char* first = text.data() + from;
        const char* last = text.data() + to;
        const auto [end, error] = std::from_chars(first, last, out);
        return error == std::errc{} && end == last && first != last;
    };
    std::int64_t w = 0;
    std::int64_t h = 0;
    if (x == std::string::npos || !parse(0, x, w) || !parse(x + 1, text.size(), h)) {
        throw UsageError{"bad size " + text + ": WIDTHxHEIGHT expected, such as 640x480"};
    }
    switch (CheckImageSize(w, h)) {
    case ImageSizeCheck::Ok:
        width = static_cast<std::int32_t>(w);
        height = static_cast<std::int32_t>(h);
        return;
    case ImageSizeCheck::WidthTooSmall:
        throw UsageError{"bad size " + text + ": the width must be at least " +
                         std::to_string(kMinImageWidth)};
    case ImageSizeCheck::HeightTooSmall:
        throw UsageError{"bad size " + text + ": the height must be at least " +
                         std::to_string(kMinImageHeight)};
    case ImageSizeCheck::TooLarge:
        break;
    }
    throw UsageError{"bad size " + text + ": the image is too large (widths up to " +
                     std::to_string(kMaxImageWidth) + ", at most " +
                     std::to_string(kMaxImagePixels) + " pixels)"};
}

FitMode FitModeByName(const std::string& name) {
    const std::string key = Lower(name);
    if (key == "adjust") {
        return FitMode::Adjust;
    }
    if (key == "center" || key == "centre") {
        return FitMode::Center;
    }
    if (key == "none") {
        return FitMode::PreviewOnly;
    }
    throw UsageError{"unknown fit mode: " + name + " (adjust, center or none)"};
}

// A bar on stderr, redrawn when the whole percentage changes.
class ProgressBar {
public:
    explicit ProgressBar(std::int32_t total) : total_(total) {}
    void Show(std::int32_t count) {
        const int percent = static_cast<int>(100.0 * count / std::max(total_, 1));
        if (percent == shown_) {
            return;
        }
        shown_ = percent;
        const int filled = percent * kWidth / 100;
        std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                  << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << percent
                  << "%" << std::flush;
    }
    void Finish() {
        if (shown_ >= 0) {
            std::cerr << '\n';
        }
    }

private:
    static constexpr int kWidth = 40;
    std::int32_t total_;
    int shown_ = -1;
};

} // namespace

int RunRender(const RenderOptions& given) {
    // An image is rendered again from its recipe, with what the command line changes.
    const std::optional<ImageRecipe> recipe = InputRecipe(given);
    const RenderOptions options = recipe ? WithRecipe(given, *recipe) : given;
    const int kind = RendererKindByName(options.renderer);
    std::int32_t width = 0;
    std::int32_t height = 0;
    ParseSize(options.size, width, height);
    const FitMode fit = FitModeByName(options.fit);
    // The command line's own numbers were checked as they were read; an image's recipe may
    // hold an iteration target that plots nothing (the window takes 0).
    if (options.iterations < kMinRenderIterations) {
        throw UsageError{
            "the image's recipe holds iterations=" + std::to_string(options.iterations) +
            ", and a render takes " + std::to_string(kMinRenderIterations) + " to " +
            std::to_string(std::numeric_limits<std::int32_t>::max()) + " (give --iterations)"};
    }
    std::unique_ptr<Attractor> attractor =
        recipe ? MakeAttractor(*recipe) : LoadFromFile(options.file);
    CheckReplaceable(options.output); // before the render, not after it
    const std::uint64_t seed = SeedGenerator(options.seed);

    const std::unique_ptr<TBitmap3D> bitmap = CreateRenderer(nullptr, kind);
    try {
        bitmap->SetWidth(width);
        bitmap->SetHeight(height);
    } catch (const RenderError& e) {
        throw UsageError{e.what()};
    }
    bitmap->SetEye({0.0, 0.0, -5.0});
    bitmap->SetTarget({0.0, 0.0, 0.0});
    if (recipe) {
        ApplyToRenderer(*recipe, *bitmap); // the same framing at any size
    }
    if (!Fit(*attractor, *bitmap, kFitPoints, fit)) {
        std::cerr << "error: the orbit diverged while framing it\n";
        return kExitDiverged;
    }

    ProgressBar bar(options.iterations);
    RunHooks hooks;
    if (options.progress || isatty(STDERR_FILENO)) {
        hooks.progress = [&bar](std::int32_t count) { bar.Show(count); };
    }
    const Clock::time_point start = Clock::now();
    const RenderRunResult result =
        RenderRun(*attractor, *bitmap, options.iterations, options.updates, hooks, options.threads);
    const double seconds = SecondsSince(start);
    if (hooks.progress) {
        bar.Show(result.count);
        bar.Finish();
    }
    SaveRenderedImage(options, *attractor, *bitmap, seed, result.threads);

    PrintKey(std::cerr, "width", static_cast<std::int64_t>(bitmap->imageWidth));
    PrintKey(std::cerr, "height", static_cast<std::int64_t>(bitmap->imageHeight));
    PrintKey(std::cerr, "iterations", static_cast<std::int64_t>(result.count));
    PrintKey(std::cerr, "refreshes", static_cast<std::int64_t>(result.refreshes));
    PrintKey(std::cerr, "seconds", seconds);
    PrintKey(std::cerr, "rate", seconds > 0.0 ? result.count / seconds : 0.0);
    PrintKey(std::cerr, "threads", static_cast<std::int64_t>(result.threads));
    if (result.diverged) {
        std::cerr << "the orbit diverged after " << result.count << " iterations\n";
        return kExitDiverged;
    }
    return kExitOk;
}

} // namespace vorticel::cli
