// Renderer names, sizes and fit modes of the render command.
#include "cli/render_arguments.h"

#include "cli/output.h"
#include "cli/whole_number.h"
#include "render/bmp_writer.h"
#include "render/image_size.h"
#include "render/renderer.h"
#include "resources/strings.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <string_view>

namespace vorticel::cli {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

} // namespace

int RendererKindByName(const std::string& name) {
    const std::string key = Lower(name);
    static const char* const kEnglish[kRendererCount] = {"gas", "liquid", "light", "plasma",
                                                         "solid"};
    for (int kind = 0; kind < kRendererCount; ++kind) {
        const std::string french = Lower(std::string(LoadStr(kStrRendererFirst + kind)));
        if (key == std::to_string(kind) || key == kEnglish[kind] || key == french ||
            (kind == kLight && key == "lumiere")) {
            return kind;
        }
    }
    throw UsageError{"unknown renderer: " + name +
                     " (0..4, gaz, liquide, lumiere, plasma, solide)"};
}

// WIDTHxHEIGHT, checked as typed (in 64 bits, before the width is rounded down to a
// multiple of 4), so the message names the size that was asked for.
void ParseSize(const std::string& text, std::int32_t& width, std::int32_t& height) {
    const std::size_t x = text.find_first_of("xX");
    constexpr std::int64_t kLo = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kHi = std::numeric_limits<std::int64_t>::max();
    std::int64_t w = 0;
    std::int64_t h = 0;
    WholeNumberCheck checks[2] = {WholeNumberCheck::NotWhole, WholeNumberCheck::NotWhole};
    if (x != std::string::npos) {
        const std::string_view s(text);
        checks[0] = ReadWholeNumber(s.substr(0, x), kLo, kHi, w);
        checks[1] = ReadWholeNumber(s.substr(x + 1), kLo, kHi, h);
    }
    for (const WholeNumberCheck check : checks) {
        if (check == WholeNumberCheck::NotWhole) {
            throw UsageError{"bad size " + text + ": WIDTHxHEIGHT expected, such as 640x480"};
        }
    }
    // Beyond 64 bits: too large (or too small) by far.
    if (checks[0] == WholeNumberCheck::OutOfRange) {
        w = text[0] == '-' ? 0 : kHi;
    }
    if (checks[1] == WholeNumberCheck::OutOfRange) {
        h = text[x + 1] == '-' ? 0 : kHi;
    }
    switch (CheckPosterSize(w, h)) {
    case ImageSizeCheck::Ok:
        width = static_cast<std::int32_t>(w);
        height = static_cast<std::int32_t>(h);
        return;
    case ImageSizeCheck::WidthTooSmall:
        throw UsageError{"bad size " + text + ": the width must be at least " +
                         std::to_string(kMinImageWidth)};
    case ImageSizeCheck::HeightTooSmall:
        throw UsageError{"bad size " + text + ": the height must be at least " +
                         std::to_string(kMinImageHeight)};
    case ImageSizeCheck::TooLarge:
        break;
    }
    throw UsageError{"bad size " + text + ": the image is too large (widths up to " +
                     std::to_string(kMaxImageWidth) + ", heights up to " +
                     std::to_string(kMaxPosterHeight) + ")"};
}

void CheckBmpSize(const std::string& text, std::int32_t width, std::int32_t height) {
    if (!BmpHolds(width & 0xFFFC, height)) {
        throw UsageError{"bad size " + text +
                         ": the image is too large for a BMP file (at most 4 GB of pixels; "
                         "a PNG takes it)"};
    }
}

FitMode FitModeByName(const std::string& name) {
    const std::string key = Lower(name);
    if (key == "adjust") {
        return FitMode::Adjust;
    }
    if (key == "center" || key == "centre") {
        return FitMode::Center;
    }
    if (key == "none") {
        return FitMode::PreviewOnly;
    }
    throw UsageError{"unknown fit mode: " + name + " (adjust, center or none)"};
}

} // namespace vorticel::cli
