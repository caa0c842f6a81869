// libFuzzer target: the parameter-file reader and line parser. Each input is loaded into the
// family its header names (any of the nine; another family when it names none, as a file
// opened into a view of another family), saved and loaded again; the second load must give
// what the first saved.
#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "attractor/parameter_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

using namespace vorticel;

[[noreturn]] void Fail() {
    std::abort(); // libFuzzer reports the input that got here
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ParameterFileText text = SplitParameterFile(bytes);
    // One family an input keeps the runs fast; the header, as the fuzzer learns to write one
    // from the dictionary, picks among all nine.
    const int family =
        FamilyIndexFromHeader(text.header).value_or(static_cast<int>(size % kFamilyCount));
    const auto first = CreateAttractor(family);
    ApplyParameterLines(*first->parameters, text.lines);
    const std::string saved = EncodeParameterFile(*first);

    const ParameterFileText reread = SplitParameterFile(saved);
    if (reread.firstLongLine != 0 || FamilyIndexFromHeader(reread.header) != family) {
        Fail(); // the writer wrote what its own reader refuses
    }
    const auto second = CreateAttractor(family);
    if (ApplyParameterLines(*second->parameters, reread.lines) !=
        static_cast<std::size_t>(second->parameters->count)) {
        Fail(); // a saved line that sets no parameter
    }
    if (EncodeParameterFile(*second) != saved) {
        Fail();
    }
    return 0;
}
