// Parameter registry: lookup, parsing, formatting, conversions and the random draw.
#include "attractor/parameter_list.h"
#include "attractor/rng.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <set>

namespace vorticel {
namespace {

struct Fixture : ::testing::Test {
    double alpha = -7.0;
    double beta = 0.0;
    std::int8_t degree = 0;
    float ratio = 0.0f;
    static constexpr double kLo = -3.0;
    static constexpr double kHi = 3.0;
    static constexpr std::int8_t kDegLo = 2;
    static constexpr std::int8_t kDegHi = 24;
    static constexpr float kFLo = 0.0f;
    static constexpr float kFHi = 1.0f;
    ParameterList list;

    void SetUp() override {
        list.Add("Alpha", alpha, kLo, kHi);
        list.Add("Beta", beta, kLo, kHi);
        list.Add("Degré", degree, kDegLo, kDegHi);
        list.Add("Ratio", ratio, kFLo, kFHi);
    }
};

TEST_F(Fixture, KeepsRegistrationOrderAndTypeCodes) {
    EXPECT_EQ(list.count, 4);
    const char* names[] = {"Alpha", "Beta", "Degré", "Ratio"};
    const std::uint8_t types[] = {kDouble, kDouble, kInt8, kFloat};
    int i = 0;
    for (const ParameterEntry* e = list.Next(nullptr); e; e = list.Next(e), ++i) {
        ASSERT_LT(i, 4);
        EXPECT_EQ(e->name, names[i]);
        EXPECT_EQ(e->type, types[i]);
    }
    EXPECT_EQ(i, 4);
    EXPECT_EQ(list.first->name, "Alpha");
    EXPECT_EQ(list.last->name, "Ratio");
    EXPECT_EQ(list.Find("Alpha")->value, &alpha);
}

TEST_F(Fixture, FindIsExactAndCaseSensitive) {
    EXPECT_EQ(list.Find("alpha"), nullptr);
    EXPECT_EQ(list.Find("Alph"), nullptr);
    EXPECT_EQ(list.Find("Alphas"), nullptr);
    EXPECT_EQ(list.Find(""), nullptr);
}

TEST_F(Fixture, ParseLineAppliesWellFormedLines) {
    EXPECT_TRUE(list.ParseLine("Alpha=0.25"));
    EXPECT_EQ(alpha, 0.25);
    EXPECT_TRUE(list.ParseLine("Beta = -1.5"));
    EXPECT_EQ(beta, -1.5);
    EXPECT_TRUE(list.ParseLine("Alpha=2.5\r"));
    EXPECT_EQ(alpha, 2.5);
    EXPECT_TRUE(list.ParseLine("Alpha ignored text =1e2 trailing"));
    EXPECT_EQ(alpha, 100.0);
    EXPECT_TRUE(list.ParseLine("Alpha=abc"));
    EXPECT_EQ(alpha, 0.0);
}

TEST_F(Fixture, ParseLineRejectsLinesWithoutAKnownKeyOrEquals) {
    alpha = 4.0;
    EXPECT_FALSE(list.ParseLine("alpha=0.25"));
    EXPECT_FALSE(list.ParseLine(" Alpha=0.25"));
    EXPECT_FALSE(list.ParseLine("[Lorenz]"));
    EXPECT_FALSE(list.ParseLine("Alpha"));
    EXPECT_FALSE(list.ParseLine("Alpha 0.25"));
    EXPECT_FALSE(list.ParseLine(""));
    EXPECT_FALSE(list.ParseLine("Gamma=1"));
    EXPECT_EQ(alpha, 4.0);
}

TEST_F(Fixture, NonAsciiNameMatchesOnlyAsAWhole) {
    EXPECT_TRUE(list.ParseLine("Degré=5"));
    EXPECT_EQ(degree, 5);
    EXPECT_FALSE(list.ParseLine("Degrés=6"));
    EXPECT_FALSE(list.ParseLine("Degr=6"));
    EXPECT_EQ(degree, 5);
    // Any other key still ends at its first non-ASCII byte.
    EXPECT_TRUE(list.ParseLine("Alphaé=1.5"));
    EXPECT_EQ(alpha, 1.5);
}

TEST_F(Fixture, IntegerEntriesTruncateAndWrap) {
    EXPECT_TRUE(list.ParseLine("Degré=7.9"));
    EXPECT_EQ(degree, 7);
    EXPECT_TRUE(list.ParseLine("Degré=300"));
    EXPECT_EQ(degree, 44);
    EXPECT_TRUE(list.ParseLine("Degré=-3.9"));
    EXPECT_EQ(degree, -3);
}

TEST_F(Fixture, DuplicateNamesReachOnlyTheFirst) {
    double shadowed = 1.0;
    list.Add("Alpha", shadowed, kLo, kHi);
    EXPECT_EQ(list.Find("Alpha")->value, &alpha);
    EXPECT_TRUE(list.ParseLine("Alpha=2"));
    EXPECT_EQ(alpha, 2.0);
    EXPECT_EQ(shadowed, 1.0);
}

TEST_F(Fixture, FormatLineUsesEachTypesFormat) {
    alpha = 1.5;
    EXPECT_EQ(ParameterList::FormatLine(*list.Find("Alpha")), "Alpha=1.500000");
    alpha = -0.0001234;
    EXPECT_EQ(ParameterList::FormatLine(*list.Find("Alpha")), "Alpha=-0.000123");
    degree = 4;
    EXPECT_EQ(ParameterList::FormatLine(*list.Find("Degré")), "Degré=4");
    ratio = 2.5f;
    EXPECT_EQ(ParameterList::FormatLine(*list.Find("Ratio")), "Ratio=2.500000");
}

// Every type code survives FormatLine -> ParseLine for values it can hold.
template <class T> struct RoundTrip : ::testing::Test {};
using AllTypes = ::testing::Types<std::int8_t, std::uint8_t, std::int16_t, std::uint16_t,
                                  std::int32_t, std::uint32_t, float, double>;
TYPED_TEST_SUITE(RoundTrip, AllTypes);

TYPED_TEST(RoundTrip, FormatThenParseRestoresTheValue) {
    using T = TypeParam;
    static constexpr T lo = std::numeric_limits<T>::lowest();
    static constexpr T hi = std::numeric_limits<T>::max();
    const T samples[] = {T(0),   T(1),
                         T(100), std::is_signed_v<T> ? T(-7) : T(7),
                         hi,     std::is_floating_point_v<T> ? T(-12.25) : lo};
    for (const T sample : samples) {
        T variable = sample;
        ParameterList list;
        const ParameterEntry* entry = list.Add("V", variable, lo, hi);
        const std::string line = ParameterList::FormatLine(*entry);
        variable = T(3);
        ASSERT_TRUE(list.ParseLine(line)) << line;
        if constexpr (std::is_floating_point_v<T>) {
            // Six decimals: large values come back exactly, fractions to 1e-6.
            EXPECT_NEAR(double(variable), double(sample), std::fabs(double(sample)) * 1e-7 + 1e-6)
                << line;
        } else {
            EXPECT_EQ(variable, sample) << line;
        }
    }
}

TEST(ParameterConversions, WriteValueTakesLowBitsOfTheTruncatedValue) {
    std::uint8_t u8 = 0;
    ParameterList::WriteValue(&u8, kUInt8, 257.9);
    EXPECT_EQ(u8, 1);
    ParameterList::WriteValue(&u8, kUInt8, -1.0);
    EXPECT_EQ(u8, 255);
    std::int16_t s16 = 0;
    ParameterList::WriteValue(&s16, kInt16, 65535.0);
    EXPECT_EQ(s16, -1);
    std::uint32_t u32 = 0;
    ParameterList::WriteValue(&u32, kUInt32, 4294967296.0 + 5.0);
    EXPECT_EQ(u32, 5u);
    std::int32_t s32 = 9;
    // Beyond 64 bits and non-finite values are still defined, never a crash.
    ParameterList::WriteValue(&s32, kInt32, 1e300);
    EXPECT_EQ(s32, 0);
    ParameterList::WriteValue(&s32, kInt32, std::nan(""));
    EXPECT_EQ(s32, 0);
    ParameterList::WriteValue(&s32, kInt32, -std::numeric_limits<double>::infinity());
    EXPECT_EQ(s32, 0);
    ParameterList::WriteValue(&s32, 42, 3.0); // unknown code stores nothing
    EXPECT_EQ(s32, 0);
    EXPECT_EQ(ParameterList::ReadValue(42, &s32), 0.0L);
    float f = 0;
    ParameterList::WriteValue(&f, kFloat, 0.1);
    EXPECT_EQ(f, 0.1f);
}

TEST(ParameterConversions, ParseDecimalReadsTheLongestNumberPrefix) {
    EXPECT_EQ(ParseDecimal("  -2.5e1xyz"), -25.0);
    EXPECT_EQ(ParseDecimal("+.5"), 0.5);
    EXPECT_EQ(ParseDecimal("7."), 7.0);
    EXPECT_EQ(ParseDecimal("1e"), 1.0);
    EXPECT_EQ(ParseDecimal("1e+"), 1.0);
    EXPECT_EQ(ParseDecimal("."), 0.0);
    EXPECT_EQ(ParseDecimal("-"), 0.0);
    EXPECT_EQ(ParseDecimal(""), 0.0);
    EXPECT_EQ(ParseDecimal("nan"), 0.0);
    EXPECT_EQ(ParseDecimal("inf"), 0.0);
    EXPECT_EQ(ParseDecimal("0x10"), 0.0);
    EXPECT_EQ(ParseDecimal("1,5"), 1.0);
    EXPECT_EQ(ParseDecimal("1e-400"), 0.0);
    EXPECT_EQ(ParseDecimal("1e400"), std::numeric_limits<double>::infinity());
}

// Files always use a point, even when the user's locale writes numbers with a comma.
TEST(ParameterConversions, NumbersIgnoreAFrenchLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "fr_FR.UTF-8")) {
        GTEST_SKIP() << "fr_FR.UTF-8 locale not installed";
    }
    double v = 0.0;
    static constexpr double lo = 0.0;
    static constexpr double hi = 1.0;
    ParameterList list;
    const ParameterEntry* e = list.Add("V", v, lo, hi);
    EXPECT_TRUE(list.ParseLine("V=0.75"));
    EXPECT_EQ(v, 0.75);
    EXPECT_EQ(ParameterList::FormatLine(*e), "V=0.750000");
    EXPECT_EQ(ParseDecimal("1,5"), 1.0);
    std::setlocale(LC_ALL, saved.c_str());
}

// Every type at the ends of its range: what FormatLine writes, ParseLine reads back exactly.
template <class T> class ExtremeValues : public ::testing::Test {};
using AllTypes = ::testing::Types<std::int8_t, std::uint8_t, std::int16_t, std::uint16_t,
                                  std::int32_t, std::uint32_t, float, double>;
TYPED_TEST_SUITE(ExtremeValues, AllTypes);

TYPED_TEST(ExtremeValues, FormatThenParseIsTheIdentity) {
    using Limits = std::numeric_limits<TypeParam>;
    for (const TypeParam extreme : {Limits::lowest(), Limits::max(), TypeParam(0)}) {
        TypeParam value = extreme;
        const TypeParam lo = Limits::lowest();
        const TypeParam hi = Limits::max();
        ParameterList list;
        const ParameterEntry* entry = list.Add("V", value, lo, hi);
        const std::string line = ParameterList::FormatLine(*entry);
        value = TypeParam(1);
        ASSERT_TRUE(list.ParseLine(line)) << line;
        EXPECT_EQ(value, extreme) << line;
        EXPECT_EQ(ParameterList::FormatLine(*entry), line);
    }
}

TEST(ParameterConversions, BeyondTheRangeOfDoublesReadsAsTheLargestDouble) {
    double d = 0.0;
    float f = 0.0f;
    const double dLimit = 0.0;
    const float fLimit = 0.0f;
    ParameterList list;
    list.Add("D", d, dLimit, dLimit);
    list.Add("F", f, fLimit, fLimit);
    ASSERT_TRUE(list.ParseLine("D=1e400"));
    EXPECT_EQ(d, std::numeric_limits<double>::max()); // not infinity, which no load reads
    ASSERT_TRUE(list.ParseLine("D=-1e99999"));
    EXPECT_EQ(d, std::numeric_limits<double>::lowest());
    ASSERT_TRUE(list.ParseLine("F=1e300")); // beyond the float range: its largest value
    EXPECT_EQ(f, std::numeric_limits<float>::max());
    ASSERT_TRUE(list.ParseLine("F=-1e400"));
    EXPECT_EQ(f, std::numeric_limits<float>::lowest());
}

TEST(RandomDraw, StaysOnTheGridInsideTheRangeAndNeverReachesTheTop) {
    RandomSeed(12345);
    double v = 0.0;
    static constexpr double lo = -1.2;
    static constexpr double hi = 1.2;
    ParameterList list;
    const ParameterEntry* e = list.Add("P0", v, lo, hi);
    std::set<long> seen;
    for (int i = 0; i < 20000; ++i) {
        ParameterList::RandomizeEntry(*e, 3);
        ASSERT_GE(v, -1.2);
        ASSERT_LT(v, 1.2);
        const double k = (v + 1.2) * 1000.0;
        ASSERT_NEAR(k, std::round(k), 1e-6);
        seen.insert(std::lround(k));
    }
    EXPECT_GT(seen.size(), 2000u); // 2400 grid values, most of them drawn
    EXPECT_LE(*seen.rbegin(), 2399);
}

TEST(RandomDraw, IntegerEntriesAndEmptyRanges) {
    RandomSeed(1);
    std::int8_t degree = 0;
    static constexpr std::int8_t lo = 2;
    static constexpr std::int8_t hi = 24;
    ParameterList list;
    const ParameterEntry* e = list.Add("D", degree, lo, hi);
    std::set<int> seen;
    for (int i = 0; i < 5000; ++i) {
        ParameterList::RandomizeEntry(*e, 3);
        seen.insert(degree);
    }
    EXPECT_EQ(seen.size(), 22u);
    EXPECT_EQ(*seen.begin(), 2);
    EXPECT_EQ(*seen.rbegin(), 23);

    double v = 5.0;
    static constexpr double same = 1.0;
    const ParameterEntry* flat = list.Add("F", v, same, same);
    ParameterList::RandomizeEntry(*flat, 3);
    EXPECT_EQ(v, 0.0);
    static constexpr double wideLo = 0.0;
    static constexpr double wideHi = 10.0;
    v = 5.0;
    const ParameterEntry* noDigits = list.Add("G", v, wideLo, wideHi);
    ParameterList::RandomizeEntry(*noDigits, 0);
    EXPECT_EQ(v, 0.0);
}

TEST(RandomDraw, TheGeneratorIsSeedableAnd31Bits) {
    RandomSeed(99);
    const std::int32_t a = RandomNext();
    const std::int32_t b = RandomNext();
    RandomSeed(99);
    EXPECT_EQ(RandomNext(), a);
    EXPECT_EQ(RandomNext(), b);
    std::int64_t sum = 0;
    bool highBit = false;
    for (int i = 0; i < 100000; ++i) {
        const std::int32_t r = RandomNext();
        ASSERT_GE(r, 0);
        highBit = highBit || r >= (1 << 30);
        sum += r;
    }
    EXPECT_TRUE(highBit);
    EXPECT_NEAR(double(sum) / 100000.0 / Random31::kMax, 0.5, 0.01);
}

} // namespace
} // namespace vorticel
