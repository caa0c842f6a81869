// libFuzzer target: a loaded orbit stepped briefly with both estimates, whatever the values
// (huge, tiny, zero, denormal); the family is the first byte.
#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "attractor/parameter_file.h"
#include "attractor/rng.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// Long enough for the estimates to start (the box fills after 100 points), short enough to
// keep thousands of inputs a second.
constexpr int kSteps = 600;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vorticel;
    if (size == 0) {
        return 0;
    }
    const int family = data[0] % kFamilyCount;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    RandomSeed(1); // the IFS map and the dimension draw: the same input, the same run
    const auto attractor = CreateAttractor(family);
    ApplyParameterLines(*attractor->parameters, SplitParameterFile(bytes).lines);
    attractor->Reset();
    for (int i = 0; i < kSteps && !attractor->diverged; ++i) {
        attractor->Step();
        attractor->UpdateDimension();
        attractor->UpdateLyapunov();
    }
    return 0;
}
