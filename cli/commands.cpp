// search, estimate, points and show: thin drivers over the attractor model.
#include "cli/commands.h"

#include "attractor/catalogue.h"
#include "attractor/parameter_file.h"
#include "cli/common.h"
#include "cli/image_files.h"
#include "cli/output.h"
#include "io/replace_file.h"

#include <iostream>
#include <memory>
#include <new>
#include <vector>

namespace vorticel::cli {
namespace {

void WritePoint(std::ostream& out, const Vecd& p, char separator) {
    out << FormatNumber(p.x, 17) << separator << FormatNumber(p.y, 17) << separator
        << FormatNumber(p.z, 17) << '\n';
}

// Up to `count` points of the orbit, one line each, until it diverges or `out` fails; the
// number written.
std::int64_t WriteCsv(std::ostream& out, Attractor& attractor, std::int32_t count) {
    std::int64_t written = 0;
    for (; written < count && out; ++written) {
        attractor.Step();
        if (attractor.diverged) {
            break;
        }
        WritePoint(out, attractor.point, ',');
    }
    return written;
}

// A PLY header states the vertex count, so the points are gathered first.
std::int64_t WritePly(std::ostream& out, Attractor& attractor, std::int32_t count) {
    std::vector<Vecd> points;
    try {
        for (std::int32_t i = 0; i < count; ++i) {
            attractor.Step();
            if (attractor.diverged) {
                break;
            }
            points.push_back(attractor.point);
        }
    } catch (const std::bad_alloc&) {
        throw NotEnoughMemory{"not enough memory to hold the " + std::to_string(count) +
                              " points a PLY file states before them (ran out after " +
                              std::to_string(points.size()) +
                              "); fewer --iterations or --format csv need less"};
    }
    out << "ply\nformat ascii 1.0\nelement vertex " << points.size()
        << "\nproperty double x\nproperty double y\nproperty double z\nend_header\n";
    for (const Vecd& p : points) {
        WritePoint(out, p, ' ');
    }
    return static_cast<std::int64_t>(points.size());
}

} // namespace

int RunSearch(const SearchOptions& options) {
    const std::optional<int> family = FamilyIndexByName(options.family);
    if (!family) {
        throw UsageError{"unknown attractor family: " + options.family};
    }
    if (!options.output.empty()) {
        CheckReplaceable(options.output); // a long search must not end in a refused save
    }
    SeedGenerator(options.seed);
    std::unique_ptr<Attractor> attractor = CreateAttractor(*family);

    const Clock::time_point start = Clock::now();
    Attractor::CancelCheck cancel;
    if (options.maxSeconds) {
        const double limit = *options.maxSeconds;
        cancel = [start, limit] { return SecondsSince(start) >= limit; };
    }
    const SearchResult result = attractor->Search(cancel);
    const double seconds = SecondsSince(start);

    if (!result.cancelled) {
        if (options.output.empty()) {
            std::cout << EncodeParameterFile(*attractor);
        } else {
            attractor->SaveParameters(options.output);
        }
    }
    PrintKey(std::cerr, "attempts", result.attempts);
    PrintKey(std::cerr, "seconds", seconds);
    if (result.cancelled) {
        std::cerr << "search cancelled after " << FormatNumber(seconds) << " s\n";
        return kExitCancelled;
    }
    PrintKey(std::cerr, "lyapunov", attractor->lyapunov);
    PrintKey(std::cerr, "dimension", attractor->dimension);
    return kExitOk;
}

int RunEstimate(const EstimateOptions& options) {
    std::unique_ptr<Attractor> attractor = LoadFromFile(options.file);
    SeedGenerator(options.seed);
    attractor->Reset();
    while (attractor->count < options.iterations && !attractor->diverged) {
        attractor->Step();
        attractor->UpdateDimension();
        attractor->UpdateLyapunov();
    }
    PrintKey(std::cout, "family", FamilyClassName(attractor->typeIndex));
    PrintKey(std::cout, "count", static_cast<std::int64_t>(attractor->count));
    PrintKey(std::cout, "diverged", static_cast<std::int64_t>(attractor->diverged ? 1 : 0));
    PrintKey(std::cout, "lyapunov", attractor->lyapunov);
    PrintKey(std::cout, "dimension", attractor->dimension);
    return kExitOk;
}

int RunPoints(const PointsOptions& options) {
    if (options.format != "csv" && options.format != "ply") {
        throw UsageError{"unknown format: " + options.format + " (csv or ply)"};
    }
    std::unique_ptr<Attractor> attractor = LoadFromFile(options.file);
    SeedGenerator(options.seed);
    if (!options.output.empty()) {
        CheckReplaceable(options.output); // before the orbit runs, not after
    }

    std::int64_t written = 0;
    const auto writePoints = [&](std::ostream& out) {
        attractor->Reset();
        for (std::int32_t i = 0; i < options.skip && !attractor->diverged; ++i) {
            attractor->Step();
        }
        written = options.format == "ply" ? WritePly(out, *attractor, options.iterations)
                                          : WriteCsv(out, *attractor, options.iterations);
    };
    if (options.output.empty()) {
        writePoints(std::cout); // main checks standard output once the command is done
    } else {
        WriteFileReplacing(options.output, writePoints);
    }
    PrintKey(std::cerr, "points", written);
    if (attractor->diverged) {
        std::cerr << "the orbit diverged after " << attractor->count << " iterations\n";
        return kExitDiverged;
    }
    return kExitOk;
}

int RunShow(const std::string& file) {
    if (IsPngName(file)) {
        return ShowImageRecipe(file);
    }
    const std::unique_ptr<Attractor> attractor = LoadFromFile(file);
    for (const std::string& line : attractor->ParameterLines()) {
        std::cout << line << '\n';
    }
    return kExitOk;
}

} // namespace vorticel::cli
