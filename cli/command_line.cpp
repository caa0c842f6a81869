// The subcommands, their options and the ranges of their numbers.
#include "cli/command_line.h"

#include "animation/animation.h"
#include "cli/memory_size.h"
#include "cli/whole_number.h"
#include "render/image_size.h"
#include "render/render_run.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace vorticel::cli {
namespace {

constexpr std::int32_t kMaxCount = std::numeric_limits<std::int32_t>::max();
constexpr std::uint64_t kMaxSeed = std::numeric_limits<std::uint64_t>::max();

// A whole-number option lo..hi; a refused value is a CLI::ValidationError that names the
// range. `Target` is T or std::optional<T>.
template <class T, class Target>
CLI::Option* AddWholeNumber(CLI::App& app, const std::string& names, Target& target, T lo, T hi,
                            const std::string& description) {
    // The name as the user knows it: the long form ("--seed"), the last of `names`.
    const std::string name = names.substr(names.rfind(',') + 1);
    CLI::Option* option = app.add_option_function<std::string>(
        names,
        [&target, name, lo, hi](const std::string& text) {
            T v{};
            const WholeNumberCheck check = ReadWholeNumber(text, lo, hi, v);
            if (check != WholeNumberCheck::Ok) {
                throw CLI::ValidationError(WholeNumberMessage(name, text, check, lo, hi));
            }
            target = v;
        },
        description);
    return option->type_name(std::is_unsigned_v<T> ? "UINT" : "INT");
}

void AddSeed(CLI::App& app, std::optional<std::uint64_t>& seed) {
    AddWholeNumber<std::uint64_t>(app, "--seed", seed, 0, kMaxSeed,
                                  "Seed of the random generator, 0..2^64-1");
}

// A time limit must be a finite number of seconds above 0: NaN would never cancel.
const CLI::Validator kSeconds(
    [](std::string& text) {
        double seconds = 0.0;
        if (CLI::detail::lexical_cast(text, seconds) && std::isfinite(seconds) && seconds > 0) {
            return std::string();
        }
        return "a positive, finite number of seconds was expected, not " + text;
    },
    "SECONDS");

} // namespace

// The App and the options it writes: the options hold references into `line`, which each
// parse sets back to the defaults in place.
struct CommandLineParser::Parts {
    Parts();
    CLI::App app{"Vorticel command-line tool: strange attractors without a window"};
    CommandLine line;
    CLI::App* searchCmd = nullptr;
    CLI::App* estimateCmd = nullptr;
    CLI::App* pointsCmd = nullptr;
    CLI::App* renderCmd = nullptr;
    CLI::App* animateCmd = nullptr;
};

CommandLineParser::Parts::Parts() {
    app.require_subcommand(1);

    SearchOptions& search = line.search;
    searchCmd = app.add_subcommand("search", "Search a chaotic parameter set");
    searchCmd->add_option("family", search.family, "Family: index 0..8, class or display name")
        ->required();
    AddSeed(*searchCmd, search.seed);
    searchCmd->add_option("--max-seconds", search.maxSeconds, "Give up after this many seconds")
        ->check(kSeconds);
    searchCmd->add_option("-o,--output", search.output,
                          "Parameter file to write (default: stdout)");

    EstimateOptions& estimate = line.estimate;
    estimateCmd =
        app.add_subcommand("estimate", "Lyapunov exponent and dimension of a parameter file");
    estimateCmd->add_option("file", estimate.file, "Parameter file (.vtc)")->required();
    AddWholeNumber<std::int32_t>(*estimateCmd, "--iterations", estimate.iterations, 0, kMaxCount,
                                 "Iterations (default 20000)");
    AddSeed(*estimateCmd, estimate.seed);

    PointsOptions& points = line.points;
    pointsCmd = app.add_subcommand("points", "Write the orbit's points as CSV or PLY");
    pointsCmd->add_option("file", points.file, "Parameter file (.vtc)")->required();
    AddWholeNumber<std::int32_t>(*pointsCmd, "--iterations", points.iterations, 0, kMaxCount,
                                 "Points to write (default 20000)");
    AddWholeNumber<std::int32_t>(*pointsCmd, "--skip", points.skip, 0, kMaxCount,
                                 "Iterations to run first without output");
    pointsCmd->add_option("--format", points.format, "csv (default) or ply")
        ->check(CLI::IsMember({"csv", "ply"}));
    pointsCmd->add_option("-o,--output", points.output, "Output file (default: stdout)");
    AddSeed(*pointsCmd, points.seed);

    CLI::App* showCmd = app.add_subcommand(
        "show", "Print a parameter file as it would be saved, or the recipe of a PNG image");
    showCmd->add_option("file", line.showFile, "Parameter file (.vtc) or image (.png)")->required();

    RenderOptions& render = line.render;
    renderCmd = app.add_subcommand(
        "render",
        "Render a parameter file, or a PNG image's recipe again, into a PNG or BMP image");
    renderCmd->add_option("file", render.file, "Parameter file (.vtc) or image (.png)")->required();
    renderCmd
        ->add_option("-o,--output", render.output,
                     "Image to write: PNG with its recipe for .png, else BMP")
        ->required();
    renderCmd->add_option("--renderer", render.renderer,
                          "0..4 or gaz, liquide, lumiere, plasma, solide (default gaz)");
    renderCmd->add_option("--size", render.size,
                          "WIDTHxHEIGHT (default 640x480, or an image's own size)");
    AddWholeNumber<std::int32_t>(*renderCmd, "--iterations", render.iterations,
                                 kMinRenderIterations, kMaxCount,
                                 "Iterations (default 20000000, or an image's own)");
    AddWholeNumber<std::int32_t>(*renderCmd, "--updates", render.updates, kMinUpdates, kMaxUpdates,
                                 "Image refreshes, 1..100 (default 10)");
    AddSeed(*renderCmd, render.seed);
    renderCmd->add_option("--fit", render.fit,
                          "adjust (default), center or none; an image keeps its framing unless "
                          "given");
    renderCmd->add_flag("--progress", render.progress, "Show a progress bar on stderr");
    AddWholeNumber<std::int32_t>(*renderCmd, "--threads", render.threads, kAllThreads, kMaxWorkers,
                                 "Workers, each an orbit of its own (default 0: one per hardware "
                                 "thread, or an image's own count)");
    renderCmd
        ->add_option_function<std::string>(
            "--memory",
            [&render](const std::string& text) {
                const WholeNumberCheck check =
                    ReadMemorySize(text, kMinMemoryBytes, kMaxMemoryBytes, render.memoryBytes);
                if (check != WholeNumberCheck::Ok) {
                    throw CLI::ValidationError(MemorySizeMessage("--memory", text, check));
                }
            },
            "Memory the render may hold, such as 512M or 4G (default: a share of the available "
            "memory); larger images are rendered in strips")
        ->type_name("SIZE");
    AddWholeNumber<std::int32_t>(*renderCmd, "--strips", render.strips, 1,
                                 static_cast<std::int32_t>(kMaxPosterHeight),
                                 "Strips to cut the image into (default: as few as fit)");
    renderCmd
        ->add_option_function<std::string>(
            "--depth",
            [&render](const std::string& text) {
                if (text != "8" && text != "16") {
                    throw CLI::ValidationError("--depth takes 8 or 16; " + text + " is neither");
                }
                render.depth = text == "16" ? 16 : 8;
            },
            "Bits per channel: 8 (default) or 16, a 48-bit PNG")
        ->type_name("BITS");

    AnimateOptions& animate = line.animate;
    animateCmd = app.add_subcommand(
        "animate", "Render the frames between keys (images or parameter files) into a folder");
    animateCmd
        ->add_option("keys", animate.keys,
                     "Keys: images (.png) or parameter files (.vtc) of one family, or one "
                     "animation file (.vta)")
        ->required();
    animateCmd->add_option("-o,--output", animate.folder, "Folder of the frames")->required();
    AddWholeNumber<std::int32_t>(*animateCmd, "--frames", animate.frames, 1, kMaxFrames,
                                 "Frames (default 48)");
    animateCmd
        ->add_option_function<double>(
            "--turn", [&animate](double degrees) { animate.turn = degrees; },
            "Turn about the view's vertical axis over the animation, in degrees")
        ->check(CLI::Range(-kMaxTurnDegrees, kMaxTurnDegrees));
    animateCmd->add_option_function<std::string>(
        "--size", [&animate](const std::string& size) { animate.size = size; },
        "WIDTHxHEIGHT (default 640x480)");
    AddWholeNumber<std::int32_t>(*animateCmd, "--iterations", animate.iterations,
                                 kMinRenderIterations, kMaxCount,
                                 "Iterations of each frame (default 20000000)");
    AddSeed(*animateCmd, animate.seed);
    AddWholeNumber<std::int32_t>(*animateCmd, "--threads", animate.threads, 1, kMaxWorkers,
                                 "Workers of each frame (default 4, on any machine)");
    animateCmd->add_option("--only", animate.only,
                           "Frames A-B (or A) only, as a whole run "
                           "renders them");
    animateCmd->add_option("--video", animate.video, "Also encode the frames into this MP4");
    AddWholeNumber<std::int32_t>(*animateCmd, "--fps", animate.fps, 1, kMaxFps,
                                 "Frames per second of the video (default 30)");
    animateCmd->add_flag("--progress", animate.progress, "Show frames done and time left");
}

CommandLineParser::CommandLineParser() : parts_(std::make_unique<Parts>()) {}

CommandLineParser::~CommandLineParser() = default;

CommandLine CommandLineParser::Parse(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err) {
    CLI::App& app = parts_->app;
    CommandLine& line = parts_->line;
    line = CommandLine{};
    RenderOptions& render = line.render;
    const CLI::App* renderCmd = parts_->renderCmd;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help asked for exits 0 with the help text on `out`; a refused argument exits 2.
        const int code = app.exit(e, out, err);
        line.exitCode = code == 0 ? kExitOk : kExitUsage;
        return line;
    }
    render.sizeGiven = renderCmd->count("--size") > 0;
    render.rendererGiven = renderCmd->count("--renderer") > 0;
    render.iterationsGiven = renderCmd->count("--iterations") > 0;
    render.updatesGiven = renderCmd->count("--updates") > 0;
    render.fitGiven = renderCmd->count("--fit") > 0;
    render.threadsGiven = renderCmd->count("--threads") > 0;
    render.depthGiven = renderCmd->count("--depth") > 0;
    if (*parts_->searchCmd) {
        line.command = Command::Search;
    } else if (*parts_->estimateCmd) {
        line.command = Command::Estimate;
    } else if (*parts_->pointsCmd) {
        line.command = Command::Points;
    } else if (*renderCmd) {
        line.command = Command::Render;
    } else if (*parts_->animateCmd) {
        line.command = Command::Animate;
    } else {
        line.command = Command::Show;
    }
    return line;
}

CommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                             std::ostream& err) {
    return CommandLineParser().Parse(argc, argv, out, err);
}

} // namespace vorticel::cli
