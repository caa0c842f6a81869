// The attractor object: catalogue, reset, the guarded step and divergence.
#include "attractor/catalogue.h"
#include "attractor/families/lorenz.h"
#include "attractor/families/unravel.h"
#include "resources/strings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace vorticel {
namespace {

// A map that moves the point wherever the test says.
class Scripted : public Attractor {
public:
    void Iterate(Vecd& p) override { p = next; }
    Vecd next;
};

std::vector<std::string> Names(const Attractor& a) {
    std::vector<std::string> names;
    for (const ParameterEntry* e = a.parameters->Next(nullptr); e; e = a.parameters->Next(e)) {
        names.push_back(e->name);
    }
    return names;
}

TEST(Catalogue, OutOfRangeIndicesGiveNoAttractor) {
    EXPECT_EQ(CreateAttractor(9), nullptr);
    EXPECT_EQ(CreateAttractor(-1), nullptr);
}

class EveryFamily : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Families, EveryFamily, ::testing::Range(0, kFamilyCount));

TEST_P(EveryFamily, HasItsIdentityUniqueNamesAndValidRanges) {
    const int index = GetParam();
    const auto a = CreateAttractor(index);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->typeIndex, index);
    EXPECT_EQ(a->displayName, LoadStr(1000 + 2 * index));
    EXPECT_EQ(a->dimensions, 3);
    EXPECT_FALSE(a->onDiverge);
    EXPECT_EQ(a->count, 0);
    const std::vector<std::string> names = Names(*a);
    EXPECT_EQ(int(names.size()), a->parameters->count);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    for (const ParameterEntry* e = a->parameters->Next(nullptr); e; e = a->parameters->Next(e)) {
        EXPECT_LT(ParameterList::ReadValue(e->type, e->minimum),
                  ParameterList::ReadValue(e->type, e->maximum))
            << e->name;
    }
    // Every draw lands inside every range.
    for (int draw = 0; draw < 20; ++draw) {
        a->Randomize();
        for (const ParameterEntry* e = a->parameters->Next(nullptr); e;
             e = a->parameters->Next(e)) {
            const long double v = ParameterList::ReadValue(e->type, e->value);
            EXPECT_GE(v, ParameterList::ReadValue(e->type, e->minimum)) << e->name;
            EXPECT_LT(v, ParameterList::ReadValue(e->type, e->maximum)) << e->name;
        }
    }
}

TEST_P(EveryFamily, ResetRestartsTheOrbitAndTheEstimates) {
    const auto a = CreateAttractor(GetParam());
    a->Randomize();
    a->Reset();
    for (int i = 0; i < 300 && !a->diverged; ++i) {
        a->Step();
        a->UpdateDimension();
        a->UpdateLyapunov();
    }
    a->Reset();
    EXPECT_EQ(a->count, 0);
    EXPECT_FALSE(a->diverged);
    EXPECT_EQ(a->lyapunovSamples, 0);
    EXPECT_EQ(a->lyapunov, 0.0);
    EXPECT_EQ(a->dimension, 0.0);
    EXPECT_EQ(a->nearCount, 0);
    EXPECT_EQ(a->shadow.x, a->point.x + 1e-6);
    EXPECT_EQ(a->shadow.y, a->point.y);
    EXPECT_GT(a->bboxMin.x, a->bboxMax.x);
    EXPECT_GT(a->bboxMin.y, a->bboxMax.y);
    EXPECT_GT(a->bboxMin.z, a->bboxMax.z);
}

TEST(Catalogue, ParameterNamesInRegistrationOrder) {
    EXPECT_EQ(Names(*CreateAttractor(2)), (std::vector<std::string>{"A", "B", "C", "dT"}));
    EXPECT_EQ(Names(*CreateAttractor(0)),
              (std::vector<std::string>{"Degré", "Alpha", "Beta", "Lambda", "Gamma", "Omega"}));
    std::vector<std::string> ifs;
    for (const char* letter : {"M", "N"}) {
        for (int j = 0; j < 12; ++j) {
            ifs.push_back(letter + std::to_string(j));
        }
        ifs.push_back(std::string(letter) + "prob");
    }
    EXPECT_EQ(Names(*CreateAttractor(1)), ifs);
    EXPECT_EQ(CreateAttractor(4)->parameters->count, 3);
    EXPECT_EQ(CreateAttractor(5)->parameters->count, 6);
    EXPECT_EQ(CreateAttractor(6)->parameters->count, 18);
    EXPECT_EQ(CreateAttractor(7)->parameters->count, 30);
    EXPECT_EQ(CreateAttractor(7)->order, 2);
    EXPECT_EQ(Names(*CreateAttractor(8)),
              (std::vector<std::string>{"A", "E", "U", "L", "N", "V", "R"}));
}

TEST(Catalogue, StartPoints) {
    const Vecd expected[] = {{0.01, 0.003, 0},   {0.05, 0.05, 0.05}, {1, 1, 1},
                             {0, 0, 0},          {0.05, 0.05, 0.05}, {0.05, 0.05, 0.05},
                             {0.05, 0.05, 0.05}, {0.05, 0.05, 0.05}, {0, 0, 0}};
    for (int i = 0; i < kFamilyCount; ++i) {
        const auto a = CreateAttractor(i);
        a->point = {9, 9, 9};
        a->Reset();
        EXPECT_EQ(a->point.x, expected[i].x) << i;
        EXPECT_EQ(a->point.y, expected[i].y) << i;
        EXPECT_EQ(a->point.z, expected[i].z) << i;
    }
    EXPECT_EQ(static_cast<Unravel&>(*CreateAttractor(8)).r, 1.0);
}

TEST(Catalogue, FamilyNamesResolve) {
    EXPECT_EQ(FamilyIndexByName("2"), 2);
    EXPECT_EQ(FamilyIndexByName("lorenz_2l"), 2);
    EXPECT_EQ(FamilyIndexByName("LORENZ"), 2);
    EXPECT_EQ(FamilyIndexByName("Polynôme Sprott"), 7);
    EXPECT_EQ(FamilyIndexByName("polynomial_sprott"), 7);
    EXPECT_EQ(FamilyIndexByName("9"), std::nullopt);
    EXPECT_EQ(FamilyIndexByName("-1"), std::nullopt);
    EXPECT_EQ(FamilyIndexByName("Lorentz"), std::nullopt);
    EXPECT_EQ(FamilyIndexFromHeader("[Polynôme, type C]\r"), 6);
    EXPECT_EQ(FamilyIndexFromHeader("[IFS]"), 1);
    EXPECT_EQ(FamilyIndexFromHeader("IFS"), std::nullopt);
    EXPECT_EQ(FamilyIndexFromHeader("[Nothing]"), std::nullopt);
    EXPECT_EQ(FamilyIndexFromHeader(""), std::nullopt);
}

TEST(GuardedStep, BoundIsInclusiveAndDivergedPointsAreStillRecorded) {
    Scripted a;
    a.Reset();
    a.next = {100000.0, -100000.0, 0.0};
    a.Step();
    EXPECT_FALSE(a.diverged);
    a.next = {100000.5, 0.0, 0.0};
    a.Step();
    EXPECT_TRUE(a.diverged);
    EXPECT_EQ(a.count, 2);
    EXPECT_EQ(a.historyIndex, 1);
    EXPECT_EQ(a.history[1].x, 100000.5);
}

TEST(GuardedStep, NonFiniteCoordinatesDiverge) {
    for (const double bad : {std::nan(""), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()}) {
        Scripted a;
        a.Reset();
        a.next = {0.0, 0.0, bad};
        a.Step();
        EXPECT_TRUE(a.diverged) << bad;
    }
}

TEST(GuardedStep, BoundingBoxStartsAfterIteration100AndHistoryWraps) {
    Scripted a;
    a.Reset();
    for (int i = 0; i < 101; ++i) {
        a.next = {double(-i), double(i), 0.5};
        a.Step();
    }
    EXPECT_GT(a.bboxMin.x, a.bboxMax.x); // counts 0..100 never enter the box
    a.next = {3.0, -2.0, 1.0};
    a.Step();
    EXPECT_EQ(a.bboxMin.x, 3.0);
    EXPECT_EQ(a.bboxMax.x, 3.0);
    a.next = {-1.0, 4.0, 1.0};
    a.Step();
    EXPECT_EQ(a.bboxMin.x, -1.0);
    EXPECT_EQ(a.bboxMax.y, 4.0);
    EXPECT_EQ(a.bboxMin.y, -2.0);
    while (a.count < 501) {
        a.Step();
    }
    EXPECT_EQ(a.historyIndex, 0); // the 501st point went to slot 500 mod 500
}

TEST(Divergence, NotifiesTheOwnerExceptDuringASearch) {
    Scripted a;
    int calls = 0;
    a.onDiverge = [&calls](Attractor&) { ++calls; };
    a.MarkDiverged();
    EXPECT_EQ(calls, 1);
    a.Reset();
    a.searching = true;
    a.MarkDiverged();
    EXPECT_TRUE(a.diverged);
    EXPECT_EQ(calls, 1);
}

TEST(Divergence, LorenzEditsReachTheMapOnlyAtReset) {
    Lorenz_2L lorenz[2];
    for (Lorenz_2L& l : lorenz) {
        l.a = 10;
        l.b = 28;
        l.c = 8.0 / 3.0;
        l.dt = 0.01;
        l.Reset();
        l.Step();
    }
    auto& [a, b] = lorenz;
    b.a = 19; // not yet seen by the map
    a.Step();
    b.Step();
    EXPECT_EQ(a.point.x, b.point.x);
    EXPECT_EQ(a.point.y, b.point.y);
    for (Lorenz_2L& l : lorenz) {
        l.Reset();
        l.Step();
        l.Step();
    }
    EXPECT_NE(a.point.x, b.point.x);
}

} // namespace
} // namespace vorticel
