// The keys of a recipe and the way its numbers are written, shared by its writer and reader.
#pragma once

#include <charconv>
#include <string>
#include <string_view>

namespace vorticel::recipe {

constexpr std::string_view kVersion = "vorticel-recipe";
constexpr std::string_view kProgram = "program";
constexpr std::string_view kFamily = "family";
constexpr std::string_view kFamilyClass = "family.class";
constexpr std::string_view kParameterPrefix = "parameter.";
constexpr std::string_view kExactPrefix = "exact.";
constexpr std::string_view kRenderer = "renderer";
constexpr std::string_view kShadingPrefix = "shading.";
constexpr std::string_view kMinStep = "light.min-step";
constexpr std::string_view kMaxStep = "light.max-step";
constexpr std::string_view kStepRange = "light.step-range";
constexpr std::string_view kBackground = "background";
constexpr std::string_view kPointColour = "point-colour";
constexpr std::string_view kWidth = "width";
constexpr std::string_view kHeight = "height";
constexpr std::string_view kEye = "camera.eye";
constexpr std::string_view kTarget = "camera.target";
constexpr std::string_view kZoom = "camera.zoom";
constexpr std::string_view kSavedZoom = "camera.saved-zoom";
constexpr std::string_view kPan = "camera.pan";
constexpr std::string_view kRotationAngle = "camera.rotation-angle";
constexpr std::string_view kRotationAxis = "camera.rotation-axis";
constexpr std::string_view kCentre = "camera.centre";
constexpr std::string_view kScreenMin = "camera.screen-min";
constexpr std::string_view kScreenMax = "camera.screen-max";
constexpr std::string_view kBoundsMin = "camera.bounds-min";
constexpr std::string_view kBoundsMax = "camera.bounds-max";
constexpr std::string_view kIterations = "iterations";
constexpr std::string_view kUpdates = "updates";
constexpr std::string_view kWorkers = "workers";
constexpr std::string_view kSeed = "seed";
constexpr std::string_view kDepth = "depth";
constexpr std::string_view kExposure = "exposure";

// The shortest text that reads back (std::from_chars) to exactly `v`; any arithmetic type.
template <class T> std::string NumberText(T v) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

} // namespace vorticel::recipe
