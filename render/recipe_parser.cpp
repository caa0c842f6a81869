// Reading a recipe under the same strict, bounded rules as the parameter file's reader.
#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "render/image_size.h"
#include "render/light.h"
#include "render/recipe.h"
#include "render/recipe_text.h"
#include "render/renderer.h"
#include "render/shading_settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>

namespace vorticel {
namespace {

using namespace recipe;

struct Line {
    std::string_view value;
    std::size_t number = 0;
};

// The lines of a recipe by key; each key is taken once, and whatever is left is unknown.
class RecipeLines {
public:
    explicit RecipeLines(std::string_view text) {
        if (text.size() > kMaxRecipeBytes) {
            throw RecipeError("the recipe is longer than " + std::to_string(kMaxRecipeBytes) +
                              " bytes");
        }
        std::size_t number = 0;
        while (!text.empty()) {
            const std::size_t feed = text.find('\n');
            std::string_view line = text.substr(0, feed);
            text.remove_prefix(feed == std::string_view::npos ? text.size() : feed + 1);
            ++number;
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            Add(line, number);
        }
        if (number == 0) {
            throw RecipeError("the recipe is empty");
        }
    }

    Line Take(std::string_view key) {
        const auto it = lines_.find(key);
        if (it == lines_.end()) {
            throw RecipeError("no " + std::string(key) + "= line");
        }
        const Line line = it->second;
        lines_.erase(it);
        return line;
    }
    bool Has(std::string_view key) const { return lines_.count(key) != 0; }

    // Refuses the first line (in line order) that no rule took.
    void RefuseLeftovers() const {
        const Line* first = nullptr;
        std::string_view key;
        for (const auto& [k, line] : lines_) {
            if (!first || line.number < first->number) {
                first = &line;
                key = k;
            }
        }
        if (first) {
            throw RecipeError("line " + std::to_string(first->number) + ": unknown key " +
                              std::string(key));
        }
    }

private:
    void Add(std::string_view line, std::size_t number) {
        const std::string at = "line " + std::to_string(number) + ": ";
        if (line.size() > kMaxRecipeLineLength) {
            throw RecipeError(at + "longer than " + std::to_string(kMaxRecipeLineLength) +
                              " characters");
        }
        const std::size_t equals = line.find('=');
        if (line.empty() || equals == std::string_view::npos || equals == 0) {
            throw RecipeError(at + "key=value expected");
        }
        const std::string_view key = line.substr(0, equals);
        if (number == 1 && line != std::string(kVersion) + "=" + std::to_string(kRecipeVersion)) {
            throw RecipeError(at + "not a version " + std::to_string(kRecipeVersion) + " recipe (" +
                              std::string(kVersion) + "=" + std::to_string(kRecipeVersion) +
                              " expected)");
        }
        if (!lines_.emplace(key, Line{line.substr(equals + 1), number}).second) {
            throw RecipeError(at + "duplicate key " + std::string(key));
        }
    }

    std::map<std::string, Line, std::less<>> lines_;
};

[[noreturn]] void Refuse(std::string_view key, const Line& line, const std::string& why) {
    throw RecipeError("line " + std::to_string(line.number) + ": " + std::string(key) + "=" +
                      std::string(line.value) + ": " + why);
}

template <class T> bool ReadWhole(std::string_view text, T& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, out);
    return error == std::errc{} && ptr == end && !text.empty();
}

std::int64_t Integer(RecipeLines& lines, std::string_view key, std::int64_t lo, std::int64_t hi) {
    const Line line = lines.Take(key);
    std::int64_t v = 0;
    if (!ReadWhole(line.value, v) || v < lo || v > hi) {
        Refuse(key, line,
               "a whole number " + std::to_string(lo) + ".." + std::to_string(hi) + " expected");
    }
    return v;
}

// `count` finite numbers separated by single spaces.
template <class T, std::size_t N>
void Numbers(std::string_view key, const Line& line, T (&out)[N]) {
    std::string_view rest = line.value;
    for (std::size_t i = 0; i < N; ++i) {
        const std::size_t space = i + 1 < N ? rest.find(' ') : rest.size();
        if (space == std::string_view::npos || !ReadWhole(rest.substr(0, space), out[i]) ||
            !std::isfinite(out[i])) {
            Refuse(key, line,
                   N == 1 ? "a finite number expected"
                          : std::to_string(N) + " finite numbers separated by spaces expected");
        }
        rest.remove_prefix(i + 1 < N ? space + 1 : space);
    }
}

constexpr double kLargest = std::numeric_limits<double>::max();

// N finite numbers, each within lo..hi.
template <class T, std::size_t N>
void Numbers(std::string_view key, const Line& line, T (&out)[N], double lo, double hi) {
    Numbers(key, line, out);
    for (const T v : out) {
        if (!(v >= lo && v <= hi)) {
            Refuse(key, line,
                   std::string(N == 1 ? "a number" : "numbers") + " from " +
                       NumberText(static_cast<T>(lo)) + " to " + NumberText(static_cast<T>(hi)) +
                       " expected");
        }
    }
}

double Real(RecipeLines& lines, std::string_view key, double lo = -kLargest, double hi = kLargest) {
    double v[1];
    Numbers(key, lines.Take(key), v, lo, hi);
    return v[0];
}

Vecd Point(RecipeLines& lines, std::string_view key, double bound = kLargest) {
    double v[3];
    Numbers(key, lines.Take(key), v, -bound, bound);
    return {v[0], v[1], v[2]};
}

ColourRGB Colour(RecipeLines& lines, std::string_view key) {
    const Line line = lines.Take(key);
    float v[3];
    Numbers(key, line, v);
    for (const float c : v) {
        if (!(c >= 0.0f && c <= 1.0f)) {
            Refuse(key, line, "each channel must lie in 0..1");
        }
    }
    return {v[0], v[1], v[2]};
}

// The exact value of `entry`, which must fit its type, and the check that its parameter line
// is the one the parameter file writes for it.
RecipeParameter Parameter(RecipeLines& lines, const ParameterEntry& entry) {
    const std::string exactKey = std::string(kExactPrefix) + entry.name;
    const std::string lineKey = std::string(kParameterPrefix) + entry.name;
    const Line exact = lines.Take(exactKey);
    const Line written = lines.Take(lineKey);
    double v[1];
    Numbers(exactKey, exact, v);
    // A value the variable's type holds comes back unchanged; one out of its range, with a
    // fraction for an integer or beyond a float's precision does not.
    ParameterList::WriteValue(entry.value, entry.type, v[0]);
    if (static_cast<double>(ParameterList::ReadValue(entry.type, entry.value)) != v[0]) {
        Refuse(exactKey, exact, "not a value of this parameter's type");
    }
    if (const auto bounds = ParameterList::BoundsOfInteger(entry)) {
        const auto [lo, hi] = *bounds;
        if (v[0] < static_cast<double>(lo) || v[0] > static_cast<double>(hi)) {
            Refuse(exactKey, exact,
                   "a whole number " + std::to_string(lo) + ".." + std::to_string(hi) +
                       " expected");
        }
    }
    const std::string line = ParameterList::FormatLine(entry);
    if (line != entry.name + "=" + std::string(written.value)) {
        Refuse(lineKey, written,
               "the parameter file writes " + line + " for " + exactKey + "=" +
                   std::string(exact.value));
    }
    return {entry.name, line, v[0]};
}

void ReadAttractor(RecipeLines& lines, ImageRecipe& r) {
    r.program = std::string(lines.Take(kProgram).value);
    if (r.program.empty()) {
        throw RecipeError("the program= line is empty");
    }
    r.family = static_cast<int>(Integer(lines, kFamily, 0, kFamilyCount - 1));
    const Line familyClass = lines.Take(kFamilyClass);
    if (familyClass.value != FamilyClassName(r.family)) {
        Refuse(kFamilyClass, familyClass,
               "family " + std::to_string(r.family) + " is " +
                   std::string(FamilyClassName(r.family)));
    }
    const std::unique_ptr<Attractor> attractor = CreateAttractor(r.family);
    const ParameterList& list = *attractor->parameters;
    for (const ParameterEntry* e = list.Next(nullptr); e; e = list.Next(e)) {
        r.parameters.push_back(Parameter(lines, *e));
    }
}

void ReadRenderer(RecipeLines& lines, ImageRecipe& r) {
    r.renderer = static_cast<int>(Integer(lines, kRenderer, 0, kRendererCount - 1));
    // The renderer itself says which settings it has.
    const std::unique_ptr<Renderer> kind = CreateRenderer(nullptr, r.renderer);
    for (const ShadingSetting& setting : ShadingSettings(*kind)) {
        const std::string key = std::string(kShadingPrefix) + setting.key;
        float v[1];
        Numbers(key, lines.Take(key), v, setting.lo, setting.hi);
        r.shading.push_back({setting.key, v[0]});
    }
    if (dynamic_cast<const LightRenderer*>(kind.get())) {
        // Lengths; a ring not yet measured holds the largest and the smallest double.
        r.lightSteps = LightSteps{Real(lines, kMinStep, 0.0), Real(lines, kMaxStep, 0.0),
                                  Real(lines, kStepRange, 0.0)};
    }
    r.background = Colour(lines, kBackground);
    r.pointColour = Colour(lines, kPointColour);
}

// A camera that frames a picture: see the limits in camera.h.
void ReadCamera(RecipeLines& lines, ImageRecipe& r) {
    const Line eyeLine = lines.Take(kEye);
    double eye[3];
    Numbers(kEye, eyeLine, eye, -kMaxCoordinate, kMaxCoordinate);
    const Vecd eyePoint{eye[0], eye[1], eye[2]};
    const Vecd target = Point(lines, kTarget, kMaxCoordinate);
    // The camera's up is +y: looking straight up or down, or at itself, it has no direction.
    if (eyePoint.x == target.x && eyePoint.z == target.z) {
        Refuse(kEye, eyeLine,
               "the camera must not stand at camera.target nor straight above or below it");
    }
    Camera& c = r.camera;
    c.SetEye(eyePoint);
    c.SetTarget(target);
    c.SetZoom(Real(lines, kZoom, kMinZoom, kMaxZoom));
    const Line saved = lines.Take(kSavedZoom);
    double savedZoom[1];
    Numbers(kSavedZoom, saved, savedZoom);
    // 0: no zoom kept (a renderer just replaced).
    if (savedZoom[0] != 0.0 && !(savedZoom[0] >= kMinZoom && savedZoom[0] <= kMaxZoom)) {
        Refuse(kSavedZoom, saved,
               "0 or a number from " + NumberText(kMinZoom) + " to " + NumberText(kMaxZoom) +
                   " expected");
    }
    c.SetSavedZoom(savedZoom[0]);
    double pan[2];
    Numbers(kPan, lines.Take(kPan), pan, -kMaxPan, kMaxPan);
    c.SetPan(pan[0], pan[1]);
    constexpr double kTurn = 6.283185307179586;
    const double rotationAngle = Real(lines, kRotationAngle, -kTurn, kTurn);
    const Line axisLine = lines.Take(kRotationAxis);
    double axis[3];
    Numbers(kRotationAxis, axisLine, axis, -2.0, 2.0);
    const Vecd rotationAxis{axis[0], axis[1], axis[2]};
    const double length = std::sqrt(Dot(rotationAxis, rotationAxis));
    if (length != 0.0 && std::fabs(length - 1.0) > kAxisLengthTolerance) {
        Refuse(kRotationAxis, axisLine, "a unit axis (or 0 0 0) expected");
    }
    c.SetRotation(rotationAxis, rotationAngle);
    c.SetCentre(Point(lines, kCentre, kMaxCoordinate));
    // The tracked bounds of the last framing: reset, they hold the largest doubles.
    FramingExtent extent;
    extent.screenMin = Point(lines, kScreenMin);
    extent.screenMax = Point(lines, kScreenMax);
    extent.boundsMin = Point(lines, kBoundsMin);
    extent.boundsMax = Point(lines, kBoundsMax);
    c.SetExtent(extent);
}

void ReadView(RecipeLines& lines, ImageRecipe& r) {
    const std::int64_t width = Integer(lines, kWidth, kMinImageWidth, kMaxImageWidth);
    const std::int64_t height =
        Integer(lines, kHeight, kMinImageHeight, std::numeric_limits<std::int32_t>::max());
    if (CheckPosterSize(width, height) != ImageSizeCheck::Ok) {
        throw RecipeError("the image size " + std::to_string(width) + "x" + std::to_string(height) +
                          " is too large");
    }
    r.width = static_cast<std::int32_t>(width);
    r.height = static_cast<std::int32_t>(height);
    ReadCamera(lines, r);
    r.iterations = static_cast<std::int32_t>(
        Integer(lines, kIterations, 0, std::numeric_limits<std::int32_t>::max()));
    r.updates = static_cast<std::int32_t>(Integer(lines, kUpdates, kMinUpdates, kMaxUpdates));
    if (lines.Has(kWorkers)) {
        r.workers = static_cast<std::int32_t>(Integer(lines, kWorkers, 1, kMaxWorkers));
    }
    if (lines.Has(kSeed)) {
        const Line line = lines.Take(kSeed);
        std::uint64_t seed = 0;
        if (!ReadWhole(line.value, seed)) {
            Refuse(kSeed, line, "a whole number 0..18446744073709551615 expected");
        }
        r.seed = seed;
    }
    if (lines.Has(kDepth)) {
        const Line line = lines.Take(kDepth);
        if (line.value != "8" && line.value != "16") {
            Refuse(kDepth, line, "8 or 16 expected");
        }
        r.depth = line.value == "16" ? 16 : 8;
    }
    if (lines.Has(kExposure)) {
        ShadeStatistics exposure;
        double v[4];
        Numbers(kExposure, lines.Take(kExposure), v);
        std::copy(std::begin(v), std::end(v), exposure.values.begin());
        r.exposure = exposure;
    }
}

} // namespace

ImageRecipe ParseRecipe(std::string_view text) {
    RecipeLines lines(text);
    lines.Take(kVersion); // checked as the first line
    ImageRecipe r;
    ReadAttractor(lines, r);
    ReadRenderer(lines, r);
    ReadView(lines, r);
    lines.RefuseLeftovers();
    return r;
}

} // namespace vorticel
