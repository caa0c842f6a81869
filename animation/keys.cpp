// Keys from parameter files, framed as the render command frames them.
#include "animation/animation.h"
#include "attractor/catalogue.h"
#include "attractor/parameter_file.h"
#include "attractor/rng.h"
#include "render/renderer.h"

namespace vorticel {

namespace {
// The IFS draws while it is framed: one seed frames a key alike in every job.
constexpr std::uint64_t kFramingSeed = kDefaultAnimationSeed;
} // namespace

ImageRecipe KeyFromParameterFile(const std::string& fileName, std::int32_t width,
                                 std::int32_t height) {
    const std::optional<int> family = ReadFamilyIndex(fileName);
    if (!family) {
        throw AnimationError(fileName + ": its header names no attractor family");
    }
    std::unique_ptr<Attractor> attractor = CreateAttractor(*family);
    attractor->LoadParameters(fileName);
    const std::unique_ptr<Renderer> renderer = CreateRenderer(nullptr, kGas);
    renderer->SetWidth(width);
    renderer->SetHeight(height);
    renderer->GetCamera().SetEye({0.0, 0.0, -5.0});
    renderer->GetCamera().SetTarget({0.0, 0.0, 0.0});
    RandomSeed(kFramingSeed);
    if (!Fit(*attractor, *renderer, kFitPoints, FitMode::Adjust)) {
        throw AnimationError(fileName + ": the orbit diverged while it was framed");
    }
    return RecipeOf(*attractor, *renderer, kDefaultIterations, kDefaultUpdates,
                    kDefaultAnimationWorkers);
}

} // namespace vorticel
