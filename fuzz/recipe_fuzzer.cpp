// libFuzzer target: the image recipe reader. Whatever it accepts must be written back to a
// text it reads as the same recipe, and must apply to an attractor and a small renderer.
#include "attractor/attractor.h"
#include "render/recipe.h"
#include "render/renderer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vorticel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ImageRecipe recipe;
    try {
        recipe = ParseRecipe(text);
    } catch (const RecipeError&) {
        return 0;
    }
    const std::string written = FormatRecipe(recipe);
    if (FormatRecipe(ParseRecipe(written)) != written) {
        std::abort(); // the writer wrote what its own reader reads otherwise
    }
    MakeAttractor(recipe);
    // Not MakeRenderer: the recipe's own size may take gigabytes.
    const std::unique_ptr<Renderer> renderer = CreateRenderer(nullptr, recipe.renderer);
    renderer->SetWidth(16);
    renderer->SetHeight(16);
    ApplyToRenderer(recipe, *renderer);
    return 0;
}
