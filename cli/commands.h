// The subcommands of vorticel-cli; each returns the process exit code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorticel::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitCancelled = 3;
constexpr int kExitDiverged = 4;     // the orbit diverged while it was framed or rendered
constexpr int kExitNoMemory = 5;     // the work's buffers do not fit in memory
constexpr int kExitFramesFailed = 6; // frames of an animation diverged or collapsed

struct SearchOptions {
    std::string family;
    std::optional<std::uint64_t> seed;
    std::optional<double> maxSeconds;
    std::string output; // empty: the parameter file goes to stdout
};

struct EstimateOptions {
    std::string file;
    std::int32_t iterations = 20000;
    std::optional<std::uint64_t> seed;
};

struct PointsOptions {
    std::string file;
    std::int32_t iterations = 20000;
    std::int32_t skip = 0;
    std::string format = "csv";
    std::string output; // empty: stdout
    std::optional<std::uint64_t> seed;
};

struct RenderOptions {
    std::string file;
    std::string output;
    std::string renderer = "gaz";
    std::string size = "640x480";
    std::int32_t iterations = 20000000;
    std::int32_t updates = 10;
    std::optional<std::uint64_t> seed;
    std::string fit = "adjust";
    bool progress = false;
    // Which of the above were given: an image's recipe supplies the others.
    bool sizeGiven = false;
    bool rendererGiven = false;
    bool iterationsGiven = false;
    bool updatesGiven = false;
    bool fitGiven = false;
    bool threadsGiven = false;
    // Workers (orbits); 0: one per hardware thread. An image's recipe gives its own count.
    std::int32_t threads = 0;
    // What the run may hold; 0: a share of the available memory.
    std::int64_t memoryBytes = 0;
    // Strips the image is cut into; 0: as few as fit in the memory.
    std::int32_t strips = 0;
    // Bits per channel, 8 or 16 (a PNG); an image's recipe gives its own unless given.
    int depth = 8;
    bool depthGiven = false;
};

struct AnimateOptions {
    std::vector<std::string> keys; // images (.png), parameter files, or one animation (.vta)
    std::string folder;
    std::optional<std::int32_t> frames;
    std::optional<double> turn;
    std::optional<std::string> size;
    std::optional<std::int32_t> iterations;
    std::optional<std::uint64_t> seed;
    std::optional<std::int32_t> threads;
    std::string only; // "A-B" or "A"; empty: every frame
    std::string video;
    std::optional<std::int32_t> fps;
    bool progress = false;
};

int RunSearch(const SearchOptions& options);
int RunEstimate(const EstimateOptions& options);
int RunPoints(const PointsOptions& options);
int RunShow(const std::string& file);
int RunRender(const RenderOptions& options);
int RunAnimate(const AnimateOptions& options);

} // namespace vorticel::cli
