// Copies of an attractor, the chunked orbit loop against Step, and generator streams: what a
// render run's workers rely on.
#include "attractor/catalogue.h"
#include "attractor/family_dispatch.h"
#include "attractor/rng.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <type_traits>
#include <typeinfo>
#include <vector>

namespace vorticel {
namespace {

void ExpectSameOrbit(const Attractor& a, const Attractor& b) {
    EXPECT_EQ(a.count, b.count);
    EXPECT_EQ(a.diverged, b.diverged);
    EXPECT_EQ(a.historyIndex, b.historyIndex);
    // Bit for bit: NaN-free orbits compare equal exactly; a diverged point may be NaN.
    const auto same = [](const Vecd& p, const Vecd& q) {
        return std::memcmp(&p, &q, sizeof(Vecd)) == 0;
    };
    EXPECT_TRUE(same(a.point, b.point));
    EXPECT_TRUE(same(a.bboxMin, b.bboxMin));
    EXPECT_TRUE(same(a.bboxMax, b.bboxMax));
    for (std::size_t i = 0; i < a.history.size(); ++i) {
        ASSERT_TRUE(same(a.history[i], b.history[i])) << i;
    }
}

// The family's map by name, in chunks, as the render loop runs it.
void AdvanceInChunks(Attractor& a, const std::vector<std::int32_t>& chunks) {
    WithFamily(a, [&chunks](auto& family) {
        using Family = std::remove_reference_t<decltype(family)>;
        for (const std::int32_t n : chunks) {
            if constexpr (std::is_same_v<Family, Attractor>) {
                FAIL() << "a catalogue family was not recognised";
            } else {
                family.Advance(
                    family.count + n, [&family](Vecd& p) { family.Family::Iterate(p); },
                    [](const Vecd&) {});
            }
            if (family.diverged) {
                return;
            }
        }
    });
}

class EveryFamilyCopy : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Families, EveryFamilyCopy, ::testing::Range(0, kFamilyCount));

TEST_P(EveryFamilyCopy, CloneCarriesEveryParameterAndNoHandler) {
    const std::unique_ptr<Attractor> a = CreateAttractor(GetParam());
    RandomSeed(40 + GetParam());
    a->Randomize();
    a->onDiverge = [](Attractor&) {};
    const std::unique_ptr<Attractor> copy = a->Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(typeid(*copy), typeid(*a));
    EXPECT_EQ(copy->ParameterLines(), a->ParameterLines());
    EXPECT_EQ(copy->dimensions, a->dimensions);
    EXPECT_EQ(copy->order, a->order);
    EXPECT_FALSE(copy->onDiverge);
    EXPECT_EQ(copy->random, &SharedRandom());
}

// A chaotic parameter set found by a search, and random ones that mostly diverge within a few
// steps; the chunk sizes cross the 500-point history and the box's start at count 100.
TEST_P(EveryFamilyCopy, ChunkedLoopFollowsStepBitForBit) {
    for (int seed = 0; seed < 3; ++seed) {
        const std::unique_ptr<Attractor> stepped = CreateAttractor(GetParam());
        RandomSeed(100 * GetParam() + seed);
        if (seed == 0) {
            stepped->Search();
        } else {
            stepped->Randomize();
        }
        const std::unique_ptr<Attractor> chunked = stepped->Clone();
        Random31 first = SharedRandom(); // the IFS map draws: the same stream for both
        Random31 second = first;
        stepped->random = &first;
        chunked->random = &second;
        stepped->Reset();
        chunked->Reset();
        const std::vector<std::int32_t> chunks = {1, 7, 99, 600, 1, 3000, 499, 501};
        std::int32_t total = 0;
        for (const std::int32_t n : chunks) {
            total += n;
        }
        while (stepped->count < total && !stepped->diverged) {
            stepped->Step();
        }
        AdvanceInChunks(*chunked, chunks);
        ExpectSameOrbit(*stepped, *chunked);
    }
}

TEST(ChunkedLoop, VisitsEachPointBeforeItsStepAndStopsAfterTheDivergingOne) {
    Unravel u;
    u.a = 0.5;
    u.l = 1.0;
    u.n = 1.0;
    u.v = 1.0;
    u.r = 0.0; // the map itself reports the divergence
    u.Reset();
    int told = 0;
    u.onDiverge = [&told](Attractor&) { ++told; };
    int visits = 0;
    u.Advance(
        1000, [&u](Vecd& p) { u.Unravel::Iterate(p); }, [&visits](const Vecd&) { ++visits; });
    EXPECT_EQ(visits, 1);
    EXPECT_EQ(u.count, 1);
    EXPECT_TRUE(u.diverged);
    EXPECT_EQ(told, 1);

    Lorenz_2L l; // out of bounds on the third step
    l.Reset();
    l.point = {1.0, 1.0, 1.0};
    int steps = 0;
    l.Advance(
        100, [&steps](Vecd& p) { p.x = ++steps == 3 ? 2e5 : p.x; }, [](const Vecd&) {});
    EXPECT_EQ(l.count, 3);
    EXPECT_TRUE(l.diverged);
    EXPECT_EQ(l.point.x, 2e5);
}

TEST(Clone, AnIfsKeepsItsNumberOfMaps) {
    IFS three(3);
    three.coefficients[30] = 0.25;
    three.probabilities[2] = 0.5;
    const std::unique_ptr<Attractor> copy = three.Clone();
    const auto& ifs = dynamic_cast<const IFS&>(*copy);
    EXPECT_EQ(ifs.mapCount, 3);
    EXPECT_EQ(ifs.coefficients[30], 0.25);
    EXPECT_EQ(ifs.probabilities[2], 0.5);
}

TEST(ParameterList, CopyValuesNeedsTheSameEntries) {
    const std::unique_ptr<Attractor> lorenz = CreateAttractor(2);
    const std::unique_ptr<Attractor> pickover = CreateAttractor(3); // also four doubles
    const std::unique_ptr<Attractor> other = CreateAttractor(2);
    static_cast<Lorenz_2L&>(*lorenz).dt = 0.02;
    EXPECT_FALSE(pickover->parameters->CopyValuesFrom(*lorenz->parameters)); // other names
    EXPECT_FALSE(CreateAttractor(0)->parameters->CopyValuesFrom(*lorenz->parameters));
    EXPECT_TRUE(other->parameters->CopyValuesFrom(*lorenz->parameters));
    EXPECT_EQ(static_cast<Lorenz_2L&>(*other).dt, 0.02);
}

TEST(Random31, StreamsAreFixedByTheStateApartAndLeaveTheParentAlone) {
    Random31 parent;
    parent.Seed(9);
    Random31 untouched = parent;
    Random31 s1 = parent.Stream(1);
    Random31 s1again = parent.Stream(1);
    Random31 s2 = parent.Stream(2);
    std::set<std::int32_t> draws;
    for (int i = 0; i < 100; ++i) {
        const std::int32_t a = s1.Next();
        EXPECT_EQ(a, s1again.Next());
        draws.insert(a);
        draws.insert(s2.Next());
        const std::int32_t p = parent.Next();
        EXPECT_EQ(p, untouched.Next()); // making the streams drew nothing from the parent
        draws.insert(p);
    }
    EXPECT_EQ(draws.size(), std::size_t(300)); // three streams, no draw shared
}

} // namespace
} // namespace vorticel
