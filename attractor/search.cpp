// The random search for a chaotic parameter set.
#include "attractor/attractor.h"

namespace vorticel {
namespace {

constexpr std::int32_t kFirstLyapunovTest = 100;
constexpr double kMinLyapunov = 0.001;
constexpr double kMinDimension = 1.5;
constexpr std::int32_t kCancelPollPeriod = 10000;

} // namespace

SearchResult Attractor::Search(const CancelCheck& cancel) {
    SearchResult result;
    searching = true;
    for (;;) {
        if (cancel && cancel()) {
            result.cancelled = true;
            break;
        }
        Randomize();
        Reset();
        ++result.attempts;
        while (count < kSearchLength && !diverged &&
               (count < kFirstLyapunovTest || lyapunov > kMinLyapunov)) {
            Step();
            UpdateDimension();
            UpdateLyapunov();
            if (cancel && count % kCancelPollPeriod == 0 && cancel()) {
                result.cancelled = true;
                searching = false;
                return result;
            }
        }
        // An orbit that diverged on its last step is not bounded, however good its estimates.
        if (count >= kSearchLength && !diverged && dimension >= kMinDimension &&
            lyapunov >= kMinLyapunov) {
            break;
        }
    }
    searching = false;
    return result;
}

} // namespace vorticel
