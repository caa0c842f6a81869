// libFuzzer target: vorticel-cli's command line. The input is the arguments, separated by zero
// bytes. Whatever the parse accepts must hold numbers within their ranges, and the render's
// words and size must be read or refused with a UsageError, never anything else. A parse after
// any other reads as a parse by a parser of its own.
#include "cli/command_line.h"
#include "cli/output.h"
#include "cli/render_arguments.h"
#include "render/image_size.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxArguments = 64;

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// What an accepted command line holds: numbers within their ranges, and words and a size
// that are read or refused with a UsageError.
void CheckAccepted(const vorticel::cli::CommandLine& line) {
    using namespace vorticel;
    using namespace vorticel::cli;
    Check(line.estimate.iterations >= 0 && line.points.iterations >= 0 && line.points.skip >= 0);
    if (line.command != Command::Render) {
        return;
    }
    const RenderOptions& r = line.render;
    Check(r.iterations >= kMinRenderIterations && r.updates >= kMinUpdates &&
          r.updates <= kMaxUpdates && r.threads >= 0 && r.threads <= kMaxWorkers);
    try {
        RendererKindByName(r.renderer);
    } catch (const UsageError&) {
    }
    try {
        FitModeByName(r.fit);
    } catch (const UsageError&) {
    }
    try {
        std::int32_t width = 0;
        std::int32_t height = 0;
        ParseSize(r.size, width, height);
        Check(CheckPosterSize(width, height) == ImageSizeCheck::Ok);
    } catch (const UsageError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vorticel;
    using namespace vorticel::cli;
    std::vector<std::string> arguments{"vorticel-cli"};
    std::string current;
    for (std::size_t i = 0; i < size && arguments.size() < kMaxArguments; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (arguments.size() < kMaxArguments) {
        arguments.push_back(current);
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    // One parser for every input, as a parse starts from the defaults: setting the options
    // up costs far more than reading a command line.
    static CommandLineParser parser;
    const CommandLine line = parser.Parse(static_cast<int>(argv.size()), argv.data(), out, err);
    if (line.exitCode) {
        Check(*line.exitCode == kExitOk || *line.exitCode == kExitUsage);
        return 0;
    }
    CheckAccepted(line);
    // Nothing is left over from the inputs before: checked on one accepted input in eight
    // (chosen by its size, so a finding repeats), as a parser of its own costs some hundred
    // parses.
    if (size % 8 == 0) {
        std::ostringstream freshOut;
        std::ostringstream freshErr;
        const CommandLine fresh =
            ParseCommandLine(static_cast<int>(argv.size()), argv.data(), freshOut, freshErr);
        Check(!fresh.exitCode && fresh.command == line.command &&
              fresh.render.threads == line.render.threads &&
              fresh.render.seed == line.render.seed &&
              fresh.render.progress == line.render.progress &&
              fresh.render.iterationsGiven == line.render.iterationsGiven &&
              fresh.search.seed == line.search.seed && fresh.points.skip == line.points.skip);
    }
    return 0;
}
