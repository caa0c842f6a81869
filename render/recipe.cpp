// Taking a recipe from a view's attractor and renderer, writing it, and putting it back.
#include "render/recipe.h"

#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "io/file_error.h"
#include "io/replace_file.h"
#include "render/light.h"
#include "render/png_file.h"
#include "render/recipe_text.h"
#include "render/renderer.h"
#include "render/shading_settings.h"

#include <stdexcept>

#ifndef VORTICEL_PROGRAM
#error "VORTICEL_PROGRAM and VORTICEL_VERSION come from the build"
#endif

namespace vorticel {
namespace {

using namespace recipe;

class RecipeWriter {
public:
    void Put(std::string_view key, std::string_view value) {
        text_.append(key).append("=").append(value).append("\n");
    }
    template <class T> void Number(std::string_view key, T v) { Put(key, NumberText(v)); }
    void Point(std::string_view key, const Vecd& p) {
        Put(key, NumberText(p.x) + " " + NumberText(p.y) + " " + NumberText(p.z));
    }
    void Colour(std::string_view key, const ColourRGB& c) {
        Put(key, NumberText(c.r) + " " + NumberText(c.g) + " " + NumberText(c.b));
    }
    std::string Text() && { return std::move(text_); }

private:
    std::string text_;
};

} // namespace

std::string ProgramNameAndVersion() {
    return std::string(VORTICEL_PROGRAM) + " " + VORTICEL_VERSION;
}

ImageRecipe RecipeOf(const Attractor& attractor, Renderer& renderer, std::int32_t iterations,
                     std::int32_t updates, std::int32_t workers) {
    ImageRecipe r;
    r.program = ProgramNameAndVersion();
    r.family = attractor.typeIndex;
    const ParameterList& list = *attractor.parameters;
    for (const ParameterEntry* e = list.Next(nullptr); e; e = list.Next(e)) {
        r.parameters.push_back({e->name, ParameterList::FormatLine(*e),
                                static_cast<double>(ParameterList::ReadValue(e->type, e->value))});
    }
    r.renderer = renderer.Kind();
    for (const ShadingSetting& setting : ShadingSettings(renderer)) {
        r.shading.push_back({setting.key, *setting.value});
    }
    if (const auto* light = dynamic_cast<const LightRenderer*>(&renderer)) {
        const StepStatistics steps = light->Steps();
        r.lightSteps = LightSteps{steps.minStep, steps.maxStep, steps.stepRange};
    }
    r.background = renderer.BackgroundColour();
    r.pointColour = renderer.PointColour();
    r.width = renderer.Width();
    r.height = renderer.Height();
    r.camera = renderer.GetCamera();
    r.iterations = iterations;
    r.updates = updates;
    r.workers = workers;
    r.exposure = renderer.ImposedStatistics();
    return r;
}

std::string FormatRecipe(const ImageRecipe& r) {
    RecipeWriter w;
    w.Number(kVersion, kRecipeVersion);
    w.Put(kProgram, r.program);
    w.Number(kFamily, r.family);
    w.Put(kFamilyClass, FamilyClassName(r.family));
    for (const RecipeParameter& p : r.parameters) {
        // The line is "name=value": the key takes the name, the value the rest.
        const std::size_t equals = p.line.find('=');
        w.Put(std::string(kParameterPrefix) + p.name,
              equals == std::string::npos ? std::string_view()
                                          : std::string_view(p.line).substr(equals + 1));
        w.Number(std::string(kExactPrefix) + p.name, p.value);
    }
    w.Number(kRenderer, r.renderer);
    for (const RecipeSetting& setting : r.shading) {
        w.Number(std::string(kShadingPrefix) + setting.key, setting.value);
    }
    if (r.lightSteps) {
        w.Number(kMinStep, r.lightSteps->minStep);
        w.Number(kMaxStep, r.lightSteps->maxStep);
        w.Number(kStepRange, r.lightSteps->stepRange);
    }
    w.Colour(kBackground, r.background);
    w.Colour(kPointColour, r.pointColour);
    w.Number(kWidth, r.width);
    w.Number(kHeight, r.height);
    const Camera& c = r.camera;
    w.Point(kEye, c.Eye());
    w.Point(kTarget, c.Target());
    w.Number(kZoom, c.Zoom());
    w.Number(kSavedZoom, c.SavedZoom());
    w.Put(kPan, NumberText(c.PanX()) + " " + NumberText(c.PanY()));
    w.Number(kRotationAngle, c.RotationAngle());
    w.Point(kRotationAxis, c.RotationAxis());
    w.Point(kCentre, c.Centre());
    w.Point(kScreenMin, c.Extent().screenMin);
    w.Point(kScreenMax, c.Extent().screenMax);
    w.Point(kBoundsMin, c.Extent().boundsMin);
    w.Point(kBoundsMax, c.Extent().boundsMax);
    w.Number(kIterations, r.iterations);
    w.Number(kUpdates, r.updates);
    if (r.workers) {
        w.Number(kWorkers, *r.workers);
    }
    if (r.seed) {
        w.Number(kSeed, *r.seed);
    }
    if (r.depth != 8) {
        w.Number(kDepth, r.depth);
    }
    if (r.exposure) {
        const auto& v = r.exposure->values;
        w.Put(kExposure, NumberText(v[0]) + " " + NumberText(v[1]) + " " + NumberText(v[2]) + " " +
                             NumberText(v[3]));
    }
    return std::move(w).Text();
}

std::unique_ptr<Attractor> MakeAttractor(const ImageRecipe& recipe) {
    std::unique_ptr<Attractor> attractor = CreateAttractor(recipe.family);
    if (!attractor) {
        throw std::invalid_argument("no attractor family " + std::to_string(recipe.family));
    }
    for (const RecipeParameter& p : recipe.parameters) {
        const ParameterEntry* entry = attractor->parameters->Find(p.name);
        if (!entry) {
            throw std::invalid_argument("no parameter " + p.name + " in " + attractor->displayName);
        }
        ParameterList::WriteValue(entry->value, entry->type, p.value);
    }
    return attractor;
}

std::unique_ptr<Renderer> MakeRenderer(const ImageRecipe& recipe, PreviewSurface* surface) {
    std::unique_ptr<Renderer> renderer = CreateRenderer(surface, recipe.renderer);
    if (!renderer) {
        throw std::invalid_argument("no renderer kind " + std::to_string(recipe.renderer));
    }
    renderer->SetWidth(recipe.width);
    renderer->SetHeight(recipe.height);
    ApplyToRenderer(recipe, *renderer);
    return renderer;
}

void ApplyToRenderer(const ImageRecipe& recipe, Renderer& renderer) {
    const std::vector<ShadingSetting> settings = ShadingSettings(renderer);
    auto* light = dynamic_cast<LightRenderer*>(&renderer);
    if (renderer.Kind() != recipe.renderer || settings.size() != recipe.shading.size() ||
        (light != nullptr) != recipe.lightSteps.has_value()) {
        throw std::invalid_argument("the recipe is for renderer " +
                                    std::to_string(recipe.renderer) + ", not " +
                                    std::to_string(renderer.Kind()));
    }
    for (std::size_t i = 0; i < settings.size(); ++i) {
        if (recipe.shading[i].key != settings[i].key) {
            throw std::invalid_argument("no shading setting " + recipe.shading[i].key);
        }
    }
    for (std::size_t i = 0; i < settings.size(); ++i) {
        *settings[i].value = recipe.shading[i].value;
    }
    if (light) {
        light->SetSteps(
            {recipe.lightSteps->minStep, recipe.lightSteps->maxStep, recipe.lightSteps->stepRange});
    }
    renderer.SetBackgroundColour(recipe.background);
    renderer.SetPointColour(recipe.pointColour);
    renderer.SetCamera(recipe.camera);
}

void SaveImagePng(const std::string& fileName, const Attractor& attractor, Renderer& renderer,
                  std::int32_t iterations, std::int32_t updates, std::int32_t workers) {
    SaveImagePng(fileName, RecipeOf(attractor, renderer, iterations, updates, workers), renderer);
}

std::vector<PngText> RecipeTexts(const ImageRecipe& recipe) {
    return {{std::string(kRecipeKeyword), FormatRecipe(recipe)},
            {"Software", ProgramNameAndVersion()}};
}

void SaveImagePng(const std::string& fileName, const ImageRecipe& recipe,
                  const Renderer& renderer) {
    WritePng(fileName, renderer.GetImage().Width(), renderer.GetImage().Height(),
             renderer.GetImage().Shown(), RecipeTexts(recipe));
}

void SaveImagePng(const std::string& fileName, const ImageRecipe& recipe, Renderer& renderer,
                  int depth) {
    if (depth != 16) {
        SaveImagePng(fileName, recipe, static_cast<const Renderer&>(renderer));
        return;
    }
    ImageRecipe deep = recipe;
    deep.depth = 16;
    const std::int32_t width = renderer.Width();
    const std::int32_t rows = renderer.BandRows();
    const auto rowSamples = static_cast<std::size_t>(width) * 3;
    // An empty accumulation shades nothing: the background, as the 8-bit image shows it.
    std::vector<std::uint16_t> samples(rowSamples * static_cast<std::size_t>(rows));
    if (renderer.BeginShade()) {
        renderer.ShadeRows16(0, rows, samples.data());
    } else {
        const ColourRGB& b = renderer.BackgroundColour();
        for (std::size_t i = 0; i < samples.size(); i += 3) {
            samples[i] = Channel16(b.r);
            samples[i + 1] = Channel16(b.g);
            samples[i + 2] = Channel16(b.b);
        }
    }
    WriteFileReplacing(fileName, [&](std::ostream& out) {
        PngRowWriter writer(out, fileName, width, rows, 16, RecipeTexts(deep));
        for (std::int32_t row = rows; row-- > 0;) { // the top row first
            writer.WriteRow(samples.data() + static_cast<std::size_t>(row) * rowSamples);
        }
        writer.Finish();
    });
}

ImageRecipe LoadImageRecipe(const std::string& fileName) {
    PngTextLimits limits;
    limits.keyword = kRecipeKeyword;
    limits.maxTextBytes = kMaxRecipeBytes;
    std::vector<PngText> texts;
    try {
        texts = ReadPngTexts(fileName, limits);
    } catch (const FileError& e) {
        if (e.reason() != FileError::Reason::TextTooLarge) {
            throw;
        }
        throw FileError(FileError::Kind::Read, fileName, FileError::Reason::RecipeTooLarge,
                        "its recipe is too large (more than " + std::to_string(kMaxRecipeBytes) +
                            " bytes)");
    }
    const PngText* found = nullptr;
    for (const PngText& text : texts) {
        if (text.first != kRecipeKeyword) {
            continue;
        }
        if (found) {
            throw FileError(FileError::Kind::Read, fileName, FileError::Reason::BadRecipe,
                            "it holds two recipes");
        }
        found = &text;
    }
    if (!found) {
        throw FileError(FileError::Kind::Read, fileName, FileError::Reason::NoRecipe,
                        "the image holds no Vorticel recipe (it was not saved by Vorticel)");
    }
    try {
        return ParseRecipe(found->second);
    } catch (const RecipeError& e) {
        throw FileError(FileError::Kind::Read, fileName, FileError::Reason::BadRecipe,
                        std::string("its recipe is invalid: ") + e.what());
    }
}

} // namespace vorticel
