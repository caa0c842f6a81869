// An image's recipe: all it takes to render the image again, kept inside the PNG.
//
// The recipe is UTF-8 text, one key=value line per setting, each line ended by a line feed
// (a carriage return before it is dropped); the key is everything before the first "=".
// Numbers are written in the shortest form that reads back to the very same value (a whole
// number plainly, a real as 0.01 or 1.2345678901234567e-05); a point or a colour is three
// numbers, a pan two, separated by single spaces. The writer puts the keys in this order:
//
//   vorticel-recipe=1           the format version; always the first line
//   program=Vorticel 0.1        the program and version that wrote it
//   family=2                    family index, 0..8
//   family.class=Lorenz_2L      its class name, which must agree with the index
//   parameter.NAME=VALUE        for each parameter of the family, in registration order: with
//   exact.NAME=VALUE              "parameter." taken off, the line exactly as the parameter
//                                 file writes it (six decimals); then the exact value, which
//                                 is the one applied and must print as that line does; an
//                                 integer within the parameter's bounds (the palette's)
//   renderer=4                  renderer kind, 0..4 (Gas, Liquid, Light, Plasma, Solid)
//   shading.KEY=VALUE           each shading setting of the renderer, in the palette's order:
//                                 brightness and gamma (Gas, Liquid, Light, Plasma), opacity,
//                                 gamma and roughness (Solid); the limits of ShadingSettings
//                                 (brightness and opacity 0.001..1000, gamma 0.01..100,
//                                 roughness 0.0001..10)
//   light.min-step=D            Light and Plasma only: the range of the orbit's step lengths
//   light.max-step=D              (world units) the colours are measured against, and the
//   light.step-range=D            range they use (0: measured again from the preview ring);
//                                 each 0 or more
//   background=R G B            background colour, each channel 0..1
//   point-colour=R G B          preview point colour, each channel 0..1
//   width=640                   image size in pixels, a size a renderer takes (the width is
//   height=480                    written as the renderer rounded it, a multiple of 4)
//   camera.eye=X Y Z            camera position and look-at point, world units, each within
//   camera.target=X Y Z           +-1e9; the eye neither at the target nor straight above or
//                                 below it (the camera's up is +y)
//   camera.zoom=Z               the renderer's camera (Camera): zoom, the zoom kept
//   camera.saved-zoom=Z           for "Centrer", pan after the zoom, rotation (radians about
//   camera.pan=X Y                a unit axis; the rotation matrix is built from them), the
//   camera.rotation-angle=A       rotation centre, and the tracked screen (0..1) and world
//   camera.rotation-axis=X Y Z    bounds of the last framing pass
//   camera.centre=X Y Z
//   camera.screen-min=X Y Z
//   camera.screen-max=X Y Z
//   camera.bounds-min=X Y Z
//   camera.bounds-max=X Y Z
//                               The zoom lies in 1e-12..1e12, the saved zoom too or is 0 (none
//                               kept), the pan within +-1e15, the angle within +-2 pi, the axis
//                               is a unit axis or 0 0 0, the centre within +-1e9; the tracked
//                               bounds are any finite numbers (reset, they are the largest).
//   iterations=20000000         iteration target of the render, 0..2147483647
//   updates=10                  image refreshes during the render, 1..100
//   workers=3                   optional: the render's workers (orbits), 1..1024; every
//                                 program that reads the recipe renders it with as many,
//                                 whatever its machine's cores. Recipes written before the
//                                 key existed leave it out: they are rendered as they were
//                                 then, with one worker per hardware thread
//   seed=1                      optional: the seed the shared generator was given before the
//                                 preview ring was filled and the render ran (the command
//                                 line records it; the IFS needs it for the same pixels)
//   depth=16                    optional: bits per channel of the image, 8 (left out) or 16
//   exposure=A B C D            optional: the shading statistics imposed on the image rather
//                                 than its own (ShadeStatistics, the renderer's meaning), so
//                                 that an animation's frames keep one exposure; four finite
//                                 numbers
//
// Every key but "workers", "seed", "depth" and "exposure" is required, and no other key is
// allowed (a later format that needs more changes the version). A key given twice, a line of more
// than kMaxRecipeLineLength bytes, an empty line, a number that does not read whole, that is not
// finite or is out of its range, is refused. The camera does not depend on the image size: the same
// camera frames the same picture at twice the size, and at another aspect keeps the width of the
// view.
#pragma once

#include "attractor/vecd.h"
#include "render/camera.h"
#include "render/colour.h"
#include "render/render_run.h"
#include "render/shade_statistics.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorticel {

class Attractor;
class PreviewSurface;
class Renderer;

constexpr int kRecipeVersion = 1;
// The keyword of the PNG text chunk that holds the recipe.
constexpr std::string_view kRecipeKeyword = "vorticel-recipe";
// As the parameter file's bound: no line the program writes comes near it.
constexpr std::size_t kMaxRecipeLineLength = 1024;
// A recipe holds some sixty short lines.
constexpr std::size_t kMaxRecipeBytes = 64 * 1024;

// "Vorticel 0.1": the program's name and the version of its build.
std::string ProgramNameAndVersion();

struct RecipeParameter {
    std::string name;   // UTF-8, as registered
    std::string line;   // "name=value" as the parameter file writes it
    double value = 0.0; // the exact value (every type code converts to double exactly)
};

struct RecipeSetting {
    std::string key; // ShadingSetting::key
    float value = 0.0f;
};

// The step statistics a Light or Plasma renderer colours by.
struct LightSteps {
    double minStep = 0.0;
    double maxStep = 0.0;
    double stepRange = 0.0;
};

struct ImageRecipe {
    std::string program;                     // "Vorticel 0.1"
    int family = 0;                          // 0..8
    std::vector<RecipeParameter> parameters; // the family's, in registration order
    int renderer = 0;                        // RendererKind
    std::vector<RecipeSetting> shading;      // in ShadingSettings order
    std::optional<LightSteps> lightSteps;    // for Light and Plasma only
    ColourRGB background;
    ColourRGB pointColour;
    std::int32_t width = 0;
    std::int32_t height = 0;
    Camera camera; // eye, target and pose; no image size
    std::int32_t iterations = kDefaultIterations;
    std::int32_t updates = kDefaultUpdates;
    std::optional<std::int32_t> workers; // nullopt: one per hardware thread
    std::optional<std::uint64_t> seed;
    int depth = 8;                           // bits per channel: 8 or 16 (a 48-bit PNG)
    std::optional<ShadeStatistics> exposure; // nullopt: the image's own
};

// A recipe text that breaks the rules above; what() names the line and the rule.
class RecipeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The recipe of the image `renderer` holds, rendered from `attractor` with an iteration target
// of `iterations`, `updates` refreshes and `workers` workers, with the exposure imposed on it
// if any. No seed. (A render that follows a recipe exactly imposes its exposure itself: a view
// that opens one shades with its own.)
ImageRecipe RecipeOf(const Attractor& attractor, Renderer& renderer, std::int32_t iterations,
                     std::int32_t updates, std::int32_t workers);

std::string FormatRecipe(const ImageRecipe& recipe);
// Throws RecipeError.
ImageRecipe ParseRecipe(std::string_view text);

// The recipe's attractor with its exact parameter values, not reset (as CreateAttractor).
// Throws std::invalid_argument for a family or parameter the catalogue does not know.
std::unique_ptr<Attractor> MakeAttractor(const ImageRecipe& recipe);
// A renderer of the recipe's kind and size for `surface` (may be null), with the recipe
// applied. Throws RenderError when the buffers cannot be allocated.
std::unique_ptr<Renderer> MakeRenderer(const ImageRecipe& recipe, PreviewSurface* surface);
// Shading, step statistics, colours, eye, target and camera, on a renderer of the recipe's kind
// (std::invalid_argument otherwise) and of any size: the framing scales with the size.
void ApplyToRenderer(const ImageRecipe& recipe, Renderer& renderer);

// Writes the image of `renderer` as a PNG carrying its recipe (RecipeOf) and the program's name.
// Throws FileError.
void SaveImagePng(const std::string& fileName, const Attractor& attractor, Renderer& renderer,
                  std::int32_t iterations, std::int32_t updates, std::int32_t workers);
// The same with a recipe of the caller's (one that records the seed, say).
void SaveImagePng(const std::string& fileName, const ImageRecipe& recipe, const Renderer& renderer);
// With `depth` bits per channel: 8 writes the shown image as above; 16 shades the accumulation
// of `renderer` again (which must hold it, after a render) into a 48-bit PNG, the recipe's depth
// set to 16.
void SaveImagePng(const std::string& fileName, const ImageRecipe& recipe, Renderer& renderer,
                  int depth);
// The texts a PNG of the program carries: the recipe and the program's name.
std::vector<std::pair<std::string, std::string>> RecipeTexts(const ImageRecipe& recipe);
// The recipe of a PNG, read without decoding the image (ReadPngTexts). Throws FileError:
// NotPng, NoRecipe when the PNG holds none, BadRecipe when it breaks the rules (or holds two),
// RecipeTooLarge when it is longer than kMaxRecipeBytes, or what reading the file met.
ImageRecipe LoadImageRecipe(const std::string& fileName);

} // namespace vorticel
