// The one shared pseudo-random generator: uniform integers 0 .. 2^31 - 1, seedable.
//
// Every random draw of the program (parameter draws, the IFS map, the dimension
// estimate, the overview scan) goes through here so that a seed reproduces a run.
#pragma once

#include <cstdint>

namespace vorticel {

// PCG32 (XSH-RR): small state, fast, and far better spread than a plain LCG.
class Random31 {
public:
    static constexpr std::int32_t kMax = 2147483647;

    void Seed(std::uint64_t seed) {
        state_ = 0;
        Advance();
        state_ += seed;
        Advance();
    }

    // An independent generator for stream `k`, fixed by this generator's state and `k`; this
    // one does not advance. Render workers draw from such streams so that no two threads share
    // a generator and a seed still repeats a multi-threaded render.
    Random31 Stream(std::uint64_t k) const {
        Random31 g;
        g.Seed(Mix(state_ + (k + 1) * 0x9E3779B97F4A7C15ULL));
        return g;
    }

    // Uniform in 0 .. kMax.
    std::int32_t Next() {
        const std::uint64_t old = state_;
        Advance();
        const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
        const auto rot = static_cast<std::uint32_t>(old >> 59u);
        const std::uint32_t out = (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
        return static_cast<std::int32_t>(out >> 1u);
    }

private:
    // The SplitMix64 finaliser: nearby inputs give unrelated seeds.
    static std::uint64_t Mix(std::uint64_t z) {
        z = (z ^ (z >> 30u)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27u)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31u);
    }
    void Advance() { state_ = state_ * 6364136223846793005ULL + kIncrement; }

    static constexpr std::uint64_t kIncrement = 1442695040888963407ULL;
    std::uint64_t state_ = 0x853c49e6748fea9bULL;
};

namespace detail {
// The process-wide generator, used on the user-interface thread only: a render run's workers
// each draw from a stream of their own (Attractor::random). Defined inline so the IFS map and
// the dimension estimate draw without a call.
inline Random31 sharedRandom;
} // namespace detail

inline Random31& SharedRandom() {
    return detail::sharedRandom;
}

inline std::int32_t RandomNext() {
    return SharedRandom().Next();
}
inline void RandomSeed(std::uint64_t seed) {
    SharedRandom().Seed(seed);
}

} // namespace vorticel
