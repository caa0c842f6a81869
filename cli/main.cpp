// vorticel-cli: search, estimate and export attractors from the command line.
#include "attractor/parameter_file.h"
#include "cli/commands.h"
#include "cli/output.h"

#include <CLI/CLI.hpp>
#include <iostream>

using namespace vorticel::cli;

int main(int argc, char** argv) {
    CLI::App app{"Vorticel command-line tool: strange attractors without a window"};
    app.require_subcommand(1);

    SearchOptions search;
    CLI::App* searchCmd = app.add_subcommand("search", "Search a chaotic parameter set");
    searchCmd->add_option("family", search.family, "Family: index 0..8, class or display name")
        ->required();
    searchCmd->add_option("--seed", search.seed, "Seed of the random generator");
    searchCmd->add_option("--max-seconds", search.maxSeconds, "Give up after this many seconds")
        ->check(CLI::PositiveNumber);
    searchCmd->add_option("-o,--output", search.output,
                          "Parameter file to write (default: stdout)");

    EstimateOptions estimate;
    CLI::App* estimateCmd =
        app.add_subcommand("estimate", "Lyapunov exponent and dimension of a parameter file");
    estimateCmd->add_option("file", estimate.file, "Parameter file (.vtc)")->required();
    estimateCmd->add_option("--iterations", estimate.iterations, "Iterations (default 20000)")
        ->check(CLI::NonNegativeNumber);
    estimateCmd->add_option("--seed", estimate.seed, "Seed of the random generator");

    PointsOptions points;
    CLI::App* pointsCmd = app.add_subcommand("points", "Write the orbit's points as CSV or PLY");
    pointsCmd->add_option("file", points.file, "Parameter file (.vtc)")->required();
    pointsCmd->add_option("--iterations", points.iterations, "Points to write (default 20000)")
        ->check(CLI::NonNegativeNumber);
    pointsCmd->add_option("--skip", points.skip, "Iterations to run first without output")
        ->check(CLI::NonNegativeNumber);
    pointsCmd->add_option("--format", points.format, "csv (default) or ply")
        ->check(CLI::IsMember({"csv", "ply"}));
    pointsCmd->add_option("-o,--output", points.output, "Output file (default: stdout)");
    pointsCmd->add_option("--seed", points.seed, "Seed of the random generator");

    std::string showFile;
    CLI::App* showCmd = app.add_subcommand("show", "Print a parameter file as it would be saved");
    showCmd->add_option("file", showFile, "Parameter file (.vtc)")->required();

    RenderOptions render;
    CLI::App* renderCmd = app.add_subcommand("render", "Render a parameter file into a BMP image");
    renderCmd->add_option("file", render.file, "Parameter file (.vtc)")->required();
    renderCmd->add_option("-o,--output", render.output, "BMP file to write")->required();
    renderCmd->add_option("--renderer", render.renderer,
                          "0..4 or gaz, liquide, lumiere, plasma, solide (default gaz)");
    renderCmd->add_option("--size", render.size, "WIDTHxHEIGHT (default 640x480)");
    renderCmd->add_option("--iterations", render.iterations, "Iterations (default 20000000)")
        ->check(CLI::NonNegativeNumber);
    renderCmd->add_option("--updates", render.updates, "Image refreshes, 1..100 (default 10)");
    renderCmd->add_option("--seed", render.seed, "Seed of the random generator");
    renderCmd->add_option("--fit", render.fit, "adjust (default), center or none");
    renderCmd->add_flag("--progress", render.progress, "Show a progress bar on stderr");
    renderCmd->add_option("--threads", render.threads, "Render threads (default 0: all)")
        ->check(CLI::NonNegativeNumber);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e); // prints the message
        return kExitUsage;
    }

    try {
        if (*searchCmd) {
            return RunSearch(search);
        }
        if (*estimateCmd) {
            return RunEstimate(estimate);
        }
        if (*pointsCmd) {
            return RunPoints(points);
        }
        if (*renderCmd) {
            return RunRender(render);
        }
        return RunShow(showFile);
    } catch (const UsageError& e) {
        std::cerr << "error: " << e.message << '\n';
        return kExitUsage;
    } catch (const vorticel::FileError& e) {
        std::cerr << "error: " << e.what() << '\n';
        return kExitUsage;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << '\n';
        return kExitFailed;
    }
}
