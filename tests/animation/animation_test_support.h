// Keys for the animation tests: the examples framed as the command line frames them.
#pragma once

#include "animation/animation.h"

#include <string>

namespace vorticel::test {

inline ImageRecipe ExampleKey(const std::string& name, std::int32_t width = 64,
                              std::int32_t height = 48) {
    return KeyFromParameterFile(std::string(VORTICEL_TEST_EXAMPLES) + "/" + name, width, height);
}

// A small, quick animation of `keys`.
inline Animation SmallAnimation(std::vector<ImageRecipe> keys, std::int32_t frames) {
    Animation a;
    a.keys = std::move(keys);
    a.frames = frames;
    a.width = 32;
    a.height = 24;
    a.iterations = 20000;
    return a;
}

} // namespace vorticel::test
