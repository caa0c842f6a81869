// The .vta animation file, UTF-8 key=value lines like a recipe's:
//
//   vorticel-animation=1   the format version; always the first line
//   program=Vorticel 0.1   the program that wrote it (any text)
//   keys=3                 how many keys follow, 1 or more
//   frames=48              1..kMaxFrames (2 or more for two keys)
//   turn=360               optional: degrees about the view's vertical axis (default 0)
//   width=640, height=480  the frames' size
//   fps=30                 the video's frames per second, 1..kMaxFps
//   iterations=20000000    of each frame
//   seed=1, workers=4      optional (kDefaultAnimationSeed, kDefaultAnimationWorkers)
//   key.N.name=a.png       optional: key N's file name, for messages
//   key.N.LINE             each line of key N's recipe (N from 1), in its order
//
// A key given twice, an unknown key, a key number without its recipe or a recipe that breaks
// its rules is refused; the animation must pass CheckAnimation.
#include "animation/animation.h"
#include "io/read_file.h"
#include "render/recipe_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <map>

namespace vorticel {
namespace {

constexpr std::string_view kVersionKey = "vorticel-animation";
constexpr int kAnimationVersion = 1;
constexpr std::string_view kKeyPrefix = "key.";
constexpr std::string_view kNameKey = "name";
// The keys' recipes and a few settings: a thousand keys fit.
constexpr std::size_t kMaxAnimationBytes = 64 * 1024 * 1024;

using recipe::NumberText;

template <class T> bool ReadWhole(std::string_view text, T& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, out);
    return error == std::errc{} && ptr == end && !text.empty();
}

struct KeyText {
    std::string name;
    std::string recipe;
};

// The settings by key, and the keys' lines by number.
struct Lines {
    std::map<std::string, std::string, std::less<>> settings;
    std::map<std::int64_t, KeyText> keys;
};

Lines Split(std::string_view text) {
    Lines lines;
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t feed = text.find('\n');
        std::string_view line = text.substr(0, feed);
        text.remove_prefix(feed == std::string_view::npos ? text.size() : feed + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::string at = "line " + std::to_string(number) + ": ";
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            throw AnimationError(at + "key=value expected");
        }
        const std::string_view key = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);
        if (number == 1 && (key != kVersionKey || value != std::to_string(kAnimationVersion))) {
            throw AnimationError(at + "not a version 1 animation (" + std::string(kVersionKey) +
                                 "=1 expected)");
        }
        if (key.substr(0, kKeyPrefix.size()) == kKeyPrefix) {
            const std::string_view rest = key.substr(kKeyPrefix.size());
            const std::size_t dot = rest.find('.');
            std::int64_t n = 0;
            if (dot == std::string_view::npos || !ReadWhole(rest.substr(0, dot), n) || n < 1) {
                throw AnimationError(at + "key.N.KEY=VALUE expected, N from 1");
            }
            KeyText& k = lines.keys[n];
            if (rest.substr(dot + 1) == kNameKey) {
                k.name = std::string(value);
            } else {
                k.recipe.append(rest.substr(dot + 1)).append("=").append(value).append("\n");
            }
        } else if (!lines.settings.emplace(key, value).second) {
            throw AnimationError(at + "duplicate key " + std::string(key));
        }
    }
    return lines;
}

class Settings {
public:
    explicit Settings(Lines& lines) : lines_(lines) {}

    bool Has(std::string_view key) const { return lines_.settings.count(key) != 0; }
    template <class T> T Whole(std::string_view key, T lo, T hi) {
        T v{};
        const std::string text = Take(key);
        if (!ReadWhole(std::string_view(text), v) || v < lo || v > hi) {
            throw AnimationError(std::string(key) + "=" + text + ": a whole number " +
                                 std::to_string(lo) + ".." + std::to_string(hi) + " expected");
        }
        return v;
    }
    double Real(std::string_view key) {
        double v = 0.0;
        const std::string text = Take(key);
        if (!ReadWhole(std::string_view(text), v) || !std::isfinite(v)) {
            throw AnimationError(std::string(key) + "=" + text + ": a finite number expected");
        }
        return v;
    }
    std::string Text(std::string_view key) { return Take(key); }
    void RefuseLeftovers() const {
        if (!lines_.settings.empty()) {
            throw AnimationError("unknown key " + lines_.settings.begin()->first);
        }
    }

private:
    std::string Take(std::string_view key) {
        const auto it = lines_.settings.find(key);
        if (it == lines_.settings.end()) {
            throw AnimationError("no " + std::string(key) + "= line");
        }
        std::string value = it->second;
        lines_.settings.erase(it);
        return value;
    }
    Lines& lines_;
};

} // namespace

std::string FormatAnimation(const Animation& a) {
    std::string text;
    const auto put = [&text](std::string_view key, const std::string& value) {
        text.append(key).append("=").append(value).append("\n");
    };
    put(kVersionKey, std::to_string(kAnimationVersion));
    put("program", ProgramNameAndVersion());
    put("keys", std::to_string(a.keys.size()));
    put("frames", std::to_string(a.frames));
    put("turn", NumberText(a.turnDegrees));
    put("width", std::to_string(a.width));
    put("height", std::to_string(a.height));
    put("fps", std::to_string(a.fps));
    put("iterations", std::to_string(a.iterations));
    if (a.seed) {
        put("seed", std::to_string(*a.seed));
    }
    if (a.workers) {
        put("workers", std::to_string(*a.workers));
    }
    for (std::size_t k = 0; k < a.keys.size(); ++k) {
        const std::string prefix = std::string(kKeyPrefix) + std::to_string(k + 1) + ".";
        if (k < a.keyNames.size() && !a.keyNames[k].empty()) {
            put(prefix + std::string(kNameKey), a.keyNames[k]);
        }
        const std::string recipe = FormatRecipe(a.keys[k]);
        for (std::size_t start = 0; start < recipe.size();) {
            const std::size_t feed = recipe.find('\n', start);
            text.append(prefix).append(recipe, start, feed - start).append("\n");
            start = feed + 1;
        }
    }
    return text;
}

Animation ParseAnimation(std::string_view text) {
    if (text.size() > kMaxAnimationBytes) {
        throw AnimationError("the animation is longer than " + std::to_string(kMaxAnimationBytes) +
                             " bytes");
    }
    Lines lines = Split(text);
    Settings settings(lines);
    Animation a;
    settings.Whole<std::int32_t>(kVersionKey, kAnimationVersion, kAnimationVersion);
    settings.Text("program"); // whichever version wrote it
    const auto keys = settings.Whole<std::int64_t>("keys", 1, kMaxFrames);
    a.frames = settings.Whole<std::int32_t>("frames", 1, kMaxFrames);
    a.turnDegrees = settings.Has("turn") ? settings.Real("turn") : 0.0;
    a.width = settings.Whole<std::int32_t>("width", 1, std::numeric_limits<std::int32_t>::max());
    a.height = settings.Whole<std::int32_t>("height", 1, std::numeric_limits<std::int32_t>::max());
    a.fps = settings.Whole<std::int32_t>("fps", 1, kMaxFps);
    a.iterations = settings.Whole<std::int32_t>("iterations", kMinRenderIterations,
                                                std::numeric_limits<std::int32_t>::max());
    if (settings.Has("seed")) {
        a.seed =
            settings.Whole<std::uint64_t>("seed", 0, std::numeric_limits<std::uint64_t>::max());
    }
    if (settings.Has("workers")) {
        a.workers = settings.Whole<std::int32_t>("workers", 1, kMaxWorkers);
    }
    settings.RefuseLeftovers();
    if (static_cast<std::int64_t>(lines.keys.size()) != keys ||
        lines.keys.rbegin()->first != keys) {
        throw AnimationError("keys=" + std::to_string(keys) + ", but the file holds the lines of " +
                             std::to_string(lines.keys.size()) + " keys numbered from 1");
    }
    for (const auto& [n, key] : lines.keys) {
        a.keyNames.push_back(key.name);
        try {
            a.keys.push_back(ParseRecipe(key.recipe));
        } catch (const RecipeError& e) {
            throw AnimationError(KeyName(a, static_cast<std::size_t>(n - 1)) +
                                 ": its recipe (key." + std::to_string(n) + ".): " + e.what());
        }
    }
    CheckAnimation(a);
    return a;
}

Animation LoadAnimation(const std::string& fileName) {
    return ParseAnimation(ReadRegularFile(fileName, kMaxAnimationBytes));
}

} // namespace vorticel
