// The command line of vorticel-cli read into the options of one subcommand, with no side
// effect: what the parse itself has to say (help, a refused argument) goes to the streams
// the caller gives.
#pragma once

#include "cli/commands.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace vorticel::cli {

enum class Command { Search, Estimate, Points, Show, Render, Animate };

struct CommandLine {
    Command command = Command::Show;
    SearchOptions search;
    EstimateOptions estimate;
    PointsOptions points;
    std::string showFile;
    RenderOptions render;
    AnimateOptions animate;
    // Set when the parse ends the program (help asked for, an argument refused): the exit
    // code, with the text already written to `out` or `err`.
    std::optional<int> exitCode;
};

// The subcommands and their options, set up once and able to read one command line after
// another (each parse starts from the defaults).
class CommandLineParser {
public:
    CommandLineParser();
    ~CommandLineParser();
    CommandLineParser(const CommandLineParser&) = delete;
    CommandLineParser& operator=(const CommandLineParser&) = delete;

    CommandLine Parse(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// One command line through a parser of its own.
CommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                             std::ostream& err);

} // namespace vorticel::cli
