// vorticel-cli: search, estimate and export attractors from the command line.
#include "attractor/parameter_file.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "io/temporary_files.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <new>

using namespace vorticel::cli;

namespace {

// Counts are 32-bit; the message names the range rather than the largest double.
const CLI::Range kCount(0, std::numeric_limits<std::int32_t>::max());

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

// The help text, which must reach standard output as any other output must.
int PrintHelp(const CLI::App& app, const CLI::Error& request, CheckedStandardOutput& out) {
    const int code = app.exit(request);
    try {
        out.Check();
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << '\n';
        return kExitFailed;
    }
    return code;
}

} // namespace

int main(int argc, char** argv) {
    CheckedStandardOutput standardOutput;
    CLI::App app{"Vorticel command-line tool: strange attractors without a window"};
    app.require_subcommand(1);

    SearchOptions search;
    CLI::App* searchCmd = app.add_subcommand("search", "Search a chaotic parameter set");
    searchCmd->add_option("family", search.family, "Family: index 0..8, class or display name")
        ->required();
    searchCmd->add_option("--seed", search.seed, "Seed of the random generator");
    searchCmd->add_option("--max-seconds", search.maxSeconds, "Give up after this many seconds")
        ->check(kSeconds);
    searchCmd->add_option("-o,--output", search.output,
                          "Parameter file to write (default: stdout)");

    EstimateOptions estimate;
    CLI::App* estimateCmd =
        app.add_subcommand("estimate", "Lyapunov exponent and dimension of a parameter file");
    estimateCmd->add_option("file", estimate.file, "Parameter file (.vtc)")->required();
    estimateCmd->add_option("--iterations", estimate.iterations, "Iterations (default 20000)")
        ->check(kCount);
    estimateCmd->add_option("--seed", estimate.seed, "Seed of the random generator");

    PointsOptions points;
    CLI::App* pointsCmd = app.add_subcommand("points", "Write the orbit's points as CSV or PLY");
    pointsCmd->add_option("file", points.file, "Parameter file (.vtc)")->required();
    pointsCmd->add_option("--iterations", points.iterations, "Points to write (default 20000)")
        ->check(kCount);
    pointsCmd->add_option("--skip", points.skip, "Iterations to run first without output")
        ->check(kCount);
    pointsCmd->add_option("--format", points.format, "csv (default) or ply")
        ->check(CLI::IsMember({"csv", "ply"}));
    pointsCmd->add_option("-o,--output", points.output, "Output file (default: stdout)");
    pointsCmd->add_option("--seed", points.seed, "Seed of the random generator");

    std::string showFile;
    CLI::App* showCmd = app.add_subcommand(
        "show", "Print a parameter file as it would be saved, or the recipe of a PNG image");
    showCmd->add_option("file", showFile, "Parameter file (.vtc) or image (.png)")->required();

    RenderOptions render;
    CLI::App* renderCmd = app.add_subcommand(
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
    renderCmd->add_option("--iterations", render.iterations, "Iterations (default 20000000)")
        ->check(kCount);
    renderCmd->add_option("--updates", render.updates, "Image refreshes, 1..100 (default 10)");
    renderCmd->add_option("--seed", render.seed, "Seed of the random generator");
    renderCmd->add_option("--fit", render.fit,
                          "adjust (default), center or none; an image keeps its framing unless "
                          "given");
    renderCmd->add_flag("--progress", render.progress, "Show a progress bar on stderr");
    renderCmd->add_option("--threads", render.threads, "Render threads (default 0: all)")
        ->check(CLI::NonNegativeNumber);

    try {
        app.parse(argc, argv);
        render.sizeGiven = renderCmd->count("--size") > 0;
        render.rendererGiven = renderCmd->count("--renderer") > 0;
        render.iterationsGiven = renderCmd->count("--iterations") > 0;
        render.updatesGiven = renderCmd->count("--updates") > 0;
        render.fitGiven = renderCmd->count("--fit") > 0;
    } catch (const CLI::CallForHelp& e) {
        return PrintHelp(app, e, standardOutput);
    } catch (const CLI::CallForAllHelp& e) {
        return PrintHelp(app, e, standardOutput);
    } catch (const CLI::ParseError& e) {
        app.exit(e); // prints the message
        return kExitUsage;
    }

    // An interrupted save leaves no temporary file behind; one over the file size limit fails
    // as a full disk would.
    vorticel::RemoveTemporariesOnSignals();
    vorticel::ReportFileSizeLimitAsWriteError();
    try {
        int code = kExitOk;
        if (*searchCmd) {
            code = RunSearch(search);
        } else if (*estimateCmd) {
            code = RunEstimate(estimate);
        } else if (*pointsCmd) {
            code = RunPoints(points);
        } else if (*renderCmd) {
            code = RunRender(render);
        } else {
            code = RunShow(showFile);
        }
        standardOutput.Check();
        return code;
    } catch (const UsageError& e) {
        std::cerr << "error: " << e.message << '\n';
        return kExitUsage;
    } catch (const vorticel::FileError& e) {
        std::cerr << "error: " << e.what() << '\n';
        // A file the user named wrongly is a usage error; a disk that fails while it is
        // written is not.
        return e.kind() == vorticel::FileError::Kind::Write ? kExitFailed : kExitUsage;
    } catch (const std::bad_alloc&) {
        std::cerr << "error: not enough memory\n";
        return kExitFailed;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << '\n';
        return kExitFailed;
    }
}
