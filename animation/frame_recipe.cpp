// The frames' recipes: the keys checked, then interpolated and turned.
#include "animation/animation.h"
#include "animation/key_curve.h"
#include "animation/quaternion.h"
#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "render/image_size.h"

#include <algorithm>
#include <cmath>

namespace vorticel {
namespace {

constexpr double kPi = 3.14159265358979323846;

template <class Get> std::vector<double> Values(const std::vector<ImageRecipe>& keys, Get get) {
    std::vector<double> values;
    values.reserve(keys.size());
    for (const ImageRecipe& key : keys) {
        values.push_back(static_cast<double>(get(key)));
    }
    return values;
}

template <class Get>
Vecd LinearPoint(const std::vector<ImageRecipe>& keys, const KeyPosition& at, Get get) {
    return {Linear(Values(keys, [&](const ImageRecipe& k) { return get(k).x; }), at),
            Linear(Values(keys, [&](const ImageRecipe& k) { return get(k).y; }), at),
            Linear(Values(keys, [&](const ImageRecipe& k) { return get(k).z; }), at)};
}

template <class Get>
ColourRGB LinearColour(const std::vector<ImageRecipe>& keys, const KeyPosition& at, Get get) {
    const auto channel = [&](auto pick) {
        const double v =
            Linear(Values(keys, [&](const ImageRecipe& k) { return pick(get(k)); }), at);
        return static_cast<float>(std::clamp(v, 0.0, 1.0));
    };
    return {channel([](const ColourRGB& c) { return c.r; }),
            channel([](const ColourRGB& c) { return c.g; }),
            channel([](const ColourRGB& c) { return c.b; })};
}

// Every parameter on its curve, as the variable of its type holds it; integers stepped.
void InterpolateParameters(const std::vector<ImageRecipe>& keys, const KeyPosition& at,
                           ImageRecipe& r) {
    const std::unique_ptr<Attractor> attractor = CreateAttractor(r.family);
    for (std::size_t j = 0; j < r.parameters.size(); ++j) {
        RecipeParameter& p = r.parameters[j];
        const ParameterEntry* entry = attractor->parameters->Find(p.name);
        const std::vector<double> values =
            Values(keys, [j](const ImageRecipe& k) { return k.parameters[j].value; });
        const bool integer = ParameterList::BoundsOfInteger(*entry).has_value();
        ParameterList::WriteValue(entry->value, entry->type,
                                  integer ? Stepped(values, at) : SmoothCurve(values, at));
        p.value = static_cast<double>(ParameterList::ReadValue(entry->type, entry->value));
        p.line = ParameterList::FormatLine(*entry);
    }
}

void InterpolateShading(const std::vector<ImageRecipe>& keys, const KeyPosition& at,
                        ImageRecipe& r) {
    for (std::size_t j = 0; j < r.shading.size(); ++j) {
        r.shading[j].value = static_cast<float>(
            Linear(Values(keys, [j](const ImageRecipe& k) { return k.shading[j].value; }), at));
    }
    // Steps measured on both sides slide; "measure again" (0) keeps the nearer key's.
    const bool measured = std::all_of(keys.begin(), keys.end(), [](const ImageRecipe& k) {
        return k.lightSteps && k.lightSteps->stepRange > 0.0;
    });
    if (measured) {
        r.lightSteps->minStep =
            Linear(Values(keys, [](const ImageRecipe& k) { return k.lightSteps->minStep; }), at);
        r.lightSteps->maxStep =
            Linear(Values(keys, [](const ImageRecipe& k) { return k.lightSteps->maxStep; }), at);
        r.lightSteps->stepRange =
            Linear(Values(keys, [](const ImageRecipe& k) { return k.lightSteps->stepRange; }), at);
    }
    r.background = LinearColour(keys, at, [](const ImageRecipe& k) { return k.background; });
    r.pointColour = LinearColour(keys, at, [](const ImageRecipe& k) { return k.pointColour; });
}

Quaternion RotationOf(const Camera& c) {
    return Quaternion::FromAxisAngle(c.RotationAxis(), c.RotationAngle());
}

// Rotation along the shortest arc, zoom geometric, the rest in straight lines.
void InterpolateCamera(const std::vector<ImageRecipe>& keys, const KeyPosition& at,
                       ImageRecipe& r) {
    Camera& c = r.camera;
    c.SetEye(LinearPoint(keys, at, [](const ImageRecipe& k) { return k.camera.Eye(); }));
    c.SetTarget(LinearPoint(keys, at, [](const ImageRecipe& k) { return k.camera.Target(); }));
    c.SetZoom(Geometric(Values(keys, [](const ImageRecipe& k) { return k.camera.Zoom(); }), at));
    const std::vector<double> saved =
        Values(keys, [](const ImageRecipe& k) { return k.camera.SavedZoom(); });
    if (std::all_of(saved.begin(), saved.end(), [](double z) { return z > 0.0; })) {
        c.SetSavedZoom(Geometric(saved, at));
    }
    c.SetPan(Linear(Values(keys, [](const ImageRecipe& k) { return k.camera.PanX(); }), at),
             Linear(Values(keys, [](const ImageRecipe& k) { return k.camera.PanY(); }), at));
    const Quaternion q =
        Slerp(RotationOf(keys[at.index].camera), RotationOf(keys[at.index + 1].camera), at.t);
    Vecd axis;
    double angle = 0.0;
    q.ToAxisAngle(axis, angle);
    c.SetRotation(axis, angle);
    c.SetCentre(LinearPoint(keys, at, [](const ImageRecipe& k) { return k.camera.Centre(); }));
}

// The view's vertical axis in the space the rotation turns: the look-at's up.
Vecd ViewUp(const Camera& c) {
    const Vecd forward = c.Target() - c.Eye();
    const Vecd y{0.0, 1.0, 0.0};
    const Vecd up = y - forward * (Dot(forward, y) / Dot(forward, forward));
    const double length = std::sqrt(Dot(up, up));
    return length > 0.0 ? up / length : y;
}

void Turn(double radians, Camera& c) {
    const Quaternion q = Quaternion::FromAxisAngle(ViewUp(c), radians) * RotationOf(c);
    Vecd axis;
    double angle = 0.0;
    q.ToAxisAngle(axis, angle);
    c.SetRotation(axis, angle);
}

ShadeStatistics Exposure(const Animation& a, const KeyPosition& at) {
    if (at.OnKey()) {
        return a.exposures[at.index];
    }
    ShadeStatistics s = a.exposures[at.index];
    const ShadeStatistics& next = a.exposures[at.index + 1];
    for (std::size_t i = 0; i < s.values.size(); ++i) {
        s.values[i] += (next.values[i] - s.values[i]) * at.t;
    }
    return s;
}

// The animation's size, iterations, seed and workers on a recipe.
void WithFrameSettings(const Animation& a, ImageRecipe& r) {
    r.program = ProgramNameAndVersion();
    r.width = a.width - a.width % 4; // as the renderer rounds it
    r.height = a.height;
    r.iterations = a.iterations;
    r.updates = 1; // only the last image is kept
    r.seed = a.seed.value_or(kDefaultAnimationSeed);
    // As many as the render will use: a short target takes fewer.
    r.workers = RunThreadCount(a.workers.value_or(kDefaultAnimationWorkers), a.iterations, 0, 0);
}

[[noreturn]] void Refuse(const Animation& a, std::size_t key, const std::string& why) {
    throw AnimationError(KeyName(a, key) + ": " + why);
}

} // namespace

std::string KeyName(const Animation& animation, std::size_t key) {
    if (key < animation.keyNames.size() && !animation.keyNames[key].empty()) {
        return animation.keyNames[key];
    }
    return "clé " + std::to_string(key + 1);
}

void CheckAnimation(const Animation& a) {
    if (a.keys.empty()) {
        throw AnimationError("an animation needs a key");
    }
    if (a.keys.size() == 1 && a.turnDegrees == 0.0) {
        throw AnimationError(KeyName(a, 0) + " is the only key: give a second key or a turn");
    }
    const ImageRecipe& first = a.keys.front();
    for (std::size_t k = 1; k < a.keys.size(); ++k) {
        const ImageRecipe& key = a.keys[k];
        if (key.family != first.family || key.parameters.size() != first.parameters.size()) {
            Refuse(a, k,
                   "a " + std::string(FamilyClassName(key.family)) + ", where " + KeyName(a, 0) +
                       " is a " + std::string(FamilyClassName(first.family)) +
                       " (the keys must all be of one family)");
        }
        if (key.renderer != first.renderer) {
            Refuse(a, k,
                   "rendered with renderer " + std::to_string(key.renderer) + ", where " +
                       KeyName(a, 0) + " has " + std::to_string(first.renderer) +
                       " (the renderer cannot change between keys)");
        }
    }
    if (a.frames < 1 || a.frames > kMaxFrames || (a.keys.size() > 1 && a.frames < 2)) {
        throw AnimationError("frames=" + std::to_string(a.frames) + ": " +
                             (a.keys.size() > 1 ? "2" : "1") + " to " + std::to_string(kMaxFrames) +
                             " frames expected");
    }
    if (CheckImageSize(a.width, a.height) != ImageSizeCheck::Ok) {
        throw AnimationError("the size " + std::to_string(a.width) + "x" +
                             std::to_string(a.height) + " is not an image size");
    }
    if (a.fps < 1 || a.fps > kMaxFps) {
        throw AnimationError("fps=" + std::to_string(a.fps) + ": 1 to " + std::to_string(kMaxFps) +
                             " expected");
    }
    if (!(std::fabs(a.turnDegrees) <= kMaxTurnDegrees)) {
        throw AnimationError("the turn must lie within +-" + std::to_string(kMaxTurnDegrees) +
                             " degrees");
    }
    if (a.iterations < kMinRenderIterations) {
        throw AnimationError("iterations=" + std::to_string(a.iterations) + ": at least " +
                             std::to_string(kMinRenderIterations) + " expected");
    }
    if (a.workers && (*a.workers < 1 || *a.workers > kMaxWorkers)) {
        throw AnimationError("workers=" + std::to_string(*a.workers) + ": 1 to " +
                             std::to_string(kMaxWorkers) + " expected");
    }
    if (!a.exposures.empty() && a.exposures.size() != a.keys.size()) {
        throw AnimationError("one exposure per key expected");
    }
}

ImageRecipe KeyRecipe(const Animation& a, std::size_t key) {
    if (key >= a.keys.size()) {
        throw AnimationError("no key " + std::to_string(key + 1));
    }
    ImageRecipe r = a.keys[key];
    WithFrameSettings(a, r);
    r.exposure.reset();
    return r;
}

ImageRecipe FrameRecipe(const Animation& a, std::int32_t frame) {
    CheckAnimation(a);
    if (frame < 1 || frame > a.frames) {
        throw AnimationError("no frame " + std::to_string(frame) + " in 1-" +
                             std::to_string(a.frames));
    }
    const KeyPosition at = PositionOfFrame(frame, a.frames, a.keys.size());
    ImageRecipe r = a.keys[at.index];
    if (!at.OnKey()) {
        InterpolateParameters(a.keys, at, r);
        InterpolateShading(a.keys, at, r);
        InterpolateCamera(a.keys, at, r);
    }
    // k of N turns by DEG (k - 1) / N: a whole turn loops without a repeated frame.
    const double degrees = a.turnDegrees * (frame - 1) / a.frames;
    if (degrees != 0.0) {
        Turn(degrees * kPi / 180.0, r.camera);
    }
    WithFrameSettings(a, r);
    r.exposure.reset();
    if (a.exposures.size() == a.keys.size()) {
        r.exposure = Exposure(a, at);
    }
    return r;
}

} // namespace vorticel
