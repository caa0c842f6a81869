// The command line of vorticel-cli read into the options of one subcommand, with no side
// effect: what the parse itself has to say (help, a refused argument) goes to the streams
// the caller gives.
#pragma once

#include "cli/commands.h"

#include <optional>
#include <ostream>
#include <string>

namespace vorticel::cli {

enum class Command { Search, Estimate, Points, Show, Render };

struct CommandLine {
    Command command = Command::Show;
    SearchOptions search;
    EstimateOptions estimate;
    PointsOptions points;
    std::string showFile;
    RenderOptions render;
    // Set when the parse ends the program (help asked for, an argument refused): the exit
    // code, with the text already written to `out` or `err`.
    std::optional<int> exitCode;
};

CommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                             std::ostream& err);

} // namespace vorticel::cli
