// An attractor: one dynamical system of a family and the running state of its orbit.
#pragma once

#include "attractor/parameter_list.h"
#include "attractor/vecd.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
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
    // Sets `diverged` and tells the owner unless a search runs.
    void MarkDiverged();

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

protected:
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

// Inline: it is the innermost loop of every render, beside the one virtual map call.
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
        bboxMin.x = p.x < bboxMin.x ? p.x : bboxMin.x;
        bboxMin.y = p.y < bboxMin.y ? p.y : bboxMin.y;
        bboxMin.z = p.z < bboxMin.z ? p.z : bboxMin.z;
        bboxMax.x = p.x > bboxMax.x ? p.x : bboxMax.x;
        bboxMax.y = p.y > bboxMax.y ? p.y : bboxMax.y;
        bboxMax.z = p.z > bboxMax.z ? p.z : bboxMax.z;
    }
    count = c + 1;
}

} // namespace vorticel
