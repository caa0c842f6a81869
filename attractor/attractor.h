// An attractor: one dynamical system of a family and the running state of its orbit.
#pragma once

#include "attractor/parameter_list.h"
#include "attractor/rng.h"
#include "attractor/vecd.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace vorticel {

// What a search ended with.
struct SearchResult {
    bool cancelled = false;
    std::int64_t attempts = 0; // parameter sets drawn, the accepted one included
};

class Attractor {
public:
    static constexpr int kHistorySize = 500;
    static constexpr double kDivergenceBound = 100000.0;
    static constexpr std::int32_t kBoxStart = 100;       // points after this count enter the box
    static constexpr std::int32_t kSearchLength = 20000; // iterations of one search attempt

    using DivergeHandler = std::function<void(Attractor&)>;
    // Asked between search attempts and at least every 10,000 iterations; true stops the search.
    using CancelCheck = std::function<bool()>;

    Attractor();
    Attractor(const Attractor&) = delete;
    Attractor& operator=(const Attractor&) = delete;

    // Draws new parameter values inside their ranges (three decimals).
    virtual void Randomize();
    // Applies the family's map to `p` in place.
    virtual void Iterate(Vecd& p) = 0;
    virtual ~Attractor();
    // Puts the family's start point in place and restarts the orbit and every estimate.
    virtual void Reset();

    // One iteration of the orbit with its bookkeeping (divergence, history, bounding box).
    void Step();
    // Iterates up to `endCount` with the bookkeeping of Step, handing each point to
    // `visit(const Vecd&)` before the step that moves it on; `map(Vecd&)` is the family's map.
    // Stops after the step that diverges; the owner is told once that step is recorded (Step
    // tells it before). The point, count, history and box stay out of the object until the
    // end: `map` must not read them from it (the render loop passes the family's map by name
    // so the compiler sees it whole).
    template <class Map, class Visit> void Advance(std::int32_t endCount, Map&& map, Visit&& visit);
    // Sets `diverged` and tells the owner unless a search runs.
    void MarkDiverged();

    // A new attractor of the same family with the same parameter values, not reset and
    // without a divergence handler; null for a class that cannot make one.
    std::unique_ptr<Attractor> Clone() const;
    // Takes the orbit's point, history and count from `other` and widens the bounding box by
    // its box (a render run hands its workers' orbits back this way).
    void TakeOrbitFrom(const Attractor& other, std::int32_t totalCount);

    // Running estimates, called after each Step of a search or overview sample.
    double UpdateDimension();
    double UpdateLyapunov();

    // Draws parameter sets until one gives a bounded, chaotic, fractal orbit, or until `cancel`
    // answers true. The attractor keeps the state of the last attempt.
    SearchResult Search(const CancelCheck& cancel = {});

    // The parameter file, UTF-8 lines without line ends: "[display name]" then name=value lines.
    std::vector<std::string> ParameterLines() const;
    // Writes the parameter file (Windows-1252, CRLF); throws FileError when it cannot.
    void SaveParameters(const std::string& fileName) const;
    // Applies a parameter file's lines. Throws FileError when it cannot be read (nothing
    // changes then) or when none of its lines names a parameter of this attractor.
    void LoadParameters(const std::string& fileName);

    std::int32_t lyapunovSamples = 0;
    double lyapunovSum = 0.0;
    bool searching = false;
    Vecd shadow;
    std::int16_t historyIndex = 0;
    std::int32_t nearCount = 0;
    std::int32_t nearerCount = 0;
    std::array<Vecd, kHistorySize> history{};
    double referenceSize = 0.0;
    DivergeHandler onDiverge;
    bool diverged = false;
    std::int8_t dimensions = 3;
    std::int8_t order = 0;
    std::string displayName; // UTF-8
    std::int8_t typeIndex = -1;
    double lyapunov = 0.0;
    double dimension = 0.0;
    Vecd point;
    Vecd bboxMin;
    Vecd bboxMax;
    std::int32_t count = 0;
    std::unique_ptr<ParameterList> parameters;
    // The draws of the map (IFS). Not owned; a render worker points it at a stream of its own.
    Random31* random = &SharedRandom();

protected:
    // Widens lo..hi by the coordinate v.
    static void Grow(double v, double& lo, double& hi);
    // An attractor of the same class, before any parameter is copied; the catalogue's by
    // default. A family whose constructor takes arguments, or a class outside the catalogue,
    // overrides it.
    virtual std::unique_ptr<Attractor> NewOfSameKind() const;
    // Registers the family's identity; called first by each family constructor.
    void SetFamily(int familyIndex);
    // The reset shared by all families, run after the family has placed `point`.
    void CommonReset();
};

// True while every coordinate lies within the divergence bound; false for NaN and infinities.
inline bool WithinBounds(const Vecd& p) {
    return std::fabs(p.x) <= Attractor::kDivergenceBound &&
           std::fabs(p.y) <= Attractor::kDivergenceBound &&
           std::fabs(p.z) <= Attractor::kDivergenceBound;
}

// Inline: the box of every step of every loop, the render loop's included. A coordinate
// replaces the minimum only when smaller and the maximum only when greater.
inline void Attractor::Grow(double v, double& lo, double& hi) {
    lo = v < lo ? v : lo;
    hi = v > hi ? v : hi;
}

// Inline: the fit and the search step through here, one virtual map call per point.
inline void Attractor::Step() {
    Iterate(point);
    const Vecd p = point;
    if (!WithinBounds(p)) {
        MarkDiverged();
    }
    const std::int32_t c = count;
    historyIndex = static_cast<std::int16_t>(c % kHistorySize);
    history[static_cast<std::size_t>(historyIndex)] = p;
    if (c > kBoxStart) {
        Grow(p.x, bboxMin.x, bboxMax.x);
        Grow(p.y, bboxMin.y, bboxMax.y);
        Grow(p.z, bboxMin.z, bboxMax.z);
    }
    count = c + 1;
}

// Flattened: the loop is instantiated twice (before and after the box starts), and GCC's growth
// limits then keep the visit out of line, a call per point that reloads the projection
// matrix each time. Whatever the visit calls only now and then is marked noinline instead.
template <class Map, class Visit>
[[gnu::flatten]] void Attractor::Advance(std::int32_t endCount, Map&& map, Visit&& visit) {
    // Everything the steps write stays local until the end: a store into the object could, for
    // all the compiler knows, reach the renderer that `visit` reads, and would make it reload
    // the renderer's matrix and buffers at every point.
    Vecd p = point;
    const std::int32_t start = count;
    std::int32_t c = start;
    double lo[3] = {bboxMin.x, bboxMin.y, bboxMin.z};
    double hi[3] = {bboxMax.x, bboxMax.y, bboxMax.z};
    double recent[3 * kHistorySize]; // the history slots of this call, x y z
    int slot = c % kHistorySize;
    bool out = false;
    // One step; true when the orbit has diverged. The points up to count 100 stay out of the
    // box, so the loop below is split there rather than testing the count at every point.
    const auto step = [&](auto inBox) {
        visit(static_cast<const Vecd&>(p));
        map(p);
        out = !WithinBounds(p);
        recent[3 * slot] = p.x;
        recent[3 * slot + 1] = p.y;
        recent[3 * slot + 2] = p.z;
        if constexpr (decltype(inBox)::value) {
            Grow(p.x, lo[0], hi[0]);
            Grow(p.y, lo[1], hi[1]);
            Grow(p.z, lo[2], hi[2]);
        }
        slot = slot + 1 == kHistorySize ? 0 : slot + 1;
        ++c;
        return out || diverged;
    };
    bool stopped = false;
    while (!stopped && c < endCount && c <= kBoxStart) {
        stopped = step(std::false_type{});
    }
    while (!stopped && c < endCount) {
        stopped = step(std::true_type{});
    }
    for (std::int32_t k = std::max(start, c - kHistorySize); k < c; ++k) {
        const int s = k % kHistorySize;
        history[static_cast<std::size_t>(s)] = {recent[3 * s], recent[3 * s + 1],
                                                recent[3 * s + 2]};
    }
    if (c != start) {
        historyIndex = static_cast<std::int16_t>((c - 1) % kHistorySize);
    }
    point = p;
    count = c;
    bboxMin = {lo[0], lo[1], lo[2]};
    bboxMax = {hi[0], hi[1], hi[2]};
    if (out) {
        MarkDiverged(); // the owner is told once the step is complete
    }
}

} // namespace vorticel
