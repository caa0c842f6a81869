// search, estimate, points and show: thin drivers over the attractor model.
#include "cli/commands.h"

#include "attractor/catalogue.h"
#include "attractor/parameter_file.h"
#include "cli/common.h"
#include "cli/output.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

namespace vorticel::cli {
namespace {

void WritePoint(std::ostream& out, const Vecd& p) {
    out << FormatNumber(p.x, 17) << ',' << FormatNumber(p.y, 17) << ',' << FormatNumber(p.z, 17)
        << '\n';
}

void WritePly(std::ostream& out, const std::vector<Vecd>& points) {
    out << "ply\nformat ascii 1.0\nelement vertex " << points.size()
        << "\nproperty double x\nproperty double y\nproperty double z\nend_header\n";
    for (const Vecd& p : points) {
        out << FormatNumber(p.x, 17) << ' ' << FormatNumber(p.y, 17) << ' ' << FormatNumber(p.z, 17)
            << '\n';
    }
}

} // namespace

int RunSearch(const SearchOptions& options) {
    const std::optional<int> family = FamilyIndexByName(options.family);
    if (!family) {
        throw UsageError{"unknown attractor family: " + options.family};
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
            std::cout << EncodeParameterFile(*attractor) << std::flush;
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

    std::ofstream file;
    if (!options.output.empty()) {
        file.open(options.output, std::ios::binary | std::ios::trunc);
        if (!file) {
            throw UsageError{"cannot create file " + options.output};
        }
    }
    std::ostream& out = options.output.empty() ? std::cout : file;

    attractor->Reset();
    for (std::int32_t i = 0; i < options.skip && !attractor->diverged; ++i) {
        attractor->Step();
    }
    // A PLY header states the vertex count, so those points are gathered first.
    const bool ply = options.format == "ply";
    std::vector<Vecd> gathered;
    std::int64_t written = 0;
    for (std::int32_t i = 0; i < options.iterations && !attractor->diverged; ++i) {
        attractor->Step();
        if (attractor->diverged) {
            break;
        }
        if (ply) {
            gathered.push_back(attractor->point);
        } else {
            WritePoint(out, attractor->point);
        }
        ++written;
    }
    if (ply) {
        WritePly(out, gathered);
    }
    out.flush();
    PrintKey(std::cerr, "points", written);
    if (!out) {
        std::cerr << "error: writing the points failed\n";
        return kExitFailed;
    }
    if (attractor->diverged) {
        std::cerr << "the orbit diverged after " << attractor->count << " iterations\n";
        return kExitFailed;
    }
    return kExitOk;
}

int RunShow(const std::string& file) {
    const std::unique_ptr<Attractor> attractor = LoadFromFile(file);
    for (const std::string& line : attractor->ParameterLines()) {
        std::cout << line << '\n';
    }
    return kExitOk;
}

} // namespace vorticel::cli
