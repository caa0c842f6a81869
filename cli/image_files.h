// Images with their recipe on the command line: which files are PNG, rendering a PNG again,
// and writing the rendered image as PNG or BMP.
#pragma once

#include "cli/commands.h"
#include "render/recipe.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vorticel {
class Attractor;
class Renderer;
} // namespace vorticel

namespace vorticel::cli {

// Whether a file is taken as a PNG image: by its extension, ".png" in any case.
bool IsPngName(const std::string& fileName);

// The recipe of the render's input when it is a PNG, nullopt for a parameter file. Throws
// FileError when the PNG holds no valid recipe.
std::optional<ImageRecipe> InputRecipe(const RenderOptions& options);

// The options of a render of `recipe`: what was given on the command line, the recipe's own
// values for the rest. The renderer comes from the recipe (--renderer is a UsageError); the
// framing too, unless --fit was given ("none": the preview ring is refilled, nothing moves);
// and the worker count, unless --threads was given.
RenderOptions WithRecipe(const RenderOptions& given, const ImageRecipe& recipe);

// vorticel-cli show IMAGE.png: prints the image's recipe.
int ShowImageRecipe(const std::string& fileName);

} // namespace vorticel::cli
