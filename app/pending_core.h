// Stand-ins for the poster core while it is being written: the declarations
// the window is built against, with the plainest working bodies. Goes once the core has them.
#pragma once

#include "render/recipe.h"
#include "render/render_run.h"

#include <array>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorticel {

struct PosterOptions {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int depth = 8;
    std::int64_t memoryBytes = 0;
    std::int32_t strips = 0;
    std::int32_t threads = kAllThreads;
};
struct PosterProgress {
    double fraction = 0.0;
    std::int32_t strip = 0;
    std::int32_t strips = 1;
};
struct PosterHooks {
    std::function<void(const PosterProgress&)> progress;
    std::function<bool()> stopRequested;
};
struct PosterResult {
    std::int32_t strips = 1;
    std::int32_t threads = 1;
    std::int64_t count = 0;
    bool stopped = false;
    bool diverged = false;
};
PosterResult RenderPoster(const ImageRecipe& recipe, const PosterOptions& options,
                          const std::string& fileName, const PosterHooks& hooks = {});
void SaveImagePng(const std::string& fileName, const ImageRecipe& recipe, Renderer& bitmap,
                  int depth);

} // namespace vorticel
