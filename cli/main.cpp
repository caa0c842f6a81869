// vorticel-cli: search, estimate and export attractors from the command line.
#include "animation/animation.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "io/file_error.h"
#include "io/temporary_files.h"
#include "render/render_run.h"

#include <iostream>
#include <new>

using namespace vorticel::cli;

namespace {

int RunCommand(const CommandLine& line) {
    switch (line.command) {
    case Command::Search:
        return RunSearch(line.search);
    case Command::Estimate:
        return RunEstimate(line.estimate);
    case Command::Points:
        return RunPoints(line.points);
    case Command::Render:
        return RunRender(line.render);
    case Command::Animate:
        return RunAnimate(line.animate);
    case Command::Show:
        break;
    }
    return RunShow(line.showFile);
}

} // namespace

int main(int argc, char** argv) {
    CheckedStandardOutput standardOutput;
    try {
        const CommandLine line = ParseCommandLine(argc, argv, std::cout, std::cerr);
        if (line.exitCode) {
            // The help text must reach standard output as any other output must.
            standardOutput.Check();
            return *line.exitCode;
        }
        // An interrupted save leaves no temporary file behind; one over the file size limit
        // fails as a full disk would.
        vorticel::RemoveTemporariesOnSignals();
        vorticel::ReportFileSizeLimitAsWriteError();
        const int code = RunCommand(line);
        standardOutput.Check();
        return code;
    } catch (const UsageError& e) {
        std::cerr << "error: " << e.message << '\n';
        return kExitUsage;
    } catch (const vorticel::AnimationError& e) {
        std::cerr << "error: " << e.what() << '\n';
        return kExitUsage;
    } catch (const vorticel::FileError& e) {
        std::cerr << "error: " << e.what() << '\n';
        // A file the user named wrongly is a usage error; a disk that fails while it is
        // written is not.
        return e.kind() == vorticel::FileError::Kind::Write ? kExitFailed : kExitUsage;
    } catch (const vorticel::MemoryBudgetError& e) {
        std::cerr << "error: " << e.what();
        if (e.fitting() > 0) {
            std::cerr << " (--threads " << e.fitting() << ")";
        }
        std::cerr << '\n';
        return kExitNoMemory;
    } catch (const NotEnoughMemory& e) {
        std::cerr << "error: " << e.message << '\n';
        return kExitNoMemory;
    } catch (const std::bad_alloc&) {
        std::cerr << "error: not enough memory\n";
        return kExitNoMemory;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << '\n';
        return kExitFailed;
    }
}
