// Number text of the property rows under a comma and a point separator.
#include "props/number_text.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>

namespace vorticel {
namespace {

const QChar kComma(QLatin1Char(','));
const QChar kPoint(QLatin1Char('.'));

std::string Format(long double v, QChar point = kComma) {
    return FormatReal(v, point).toStdString();
}

TEST(NumberText, IntegersInDecimal) {
    EXPECT_EQ(FormatNumber<std::int8_t>(-128, kComma).toStdString(), "-128");
    EXPECT_EQ(FormatNumber<std::uint32_t>(4294967295u, kComma).toStdString(), "4294967295");
    EXPECT_EQ(FormatNumber<std::int32_t>(-2147483647 - 1, kComma).toStdString(), "-2147483648");
    EXPECT_EQ(FormatNumber<std::uint8_t>(255, kComma).toStdString(), "255");
}

TEST(NumberText, RealsWithFifteenSignificantDigits) {
    EXPECT_EQ(Format(0.0), "0");
    EXPECT_EQ(Format(1.5), "1,5");
    EXPECT_EQ(Format(1.5, kPoint), "1.5");
    EXPECT_EQ(Format(-2.0), "-2");
    EXPECT_EQ(Format(1000.0), "1000");
    EXPECT_EQ(Format(0.0001), "0,0001");
    EXPECT_EQ(Format(0.00001), "1E-5");
    EXPECT_EQ(Format(1e20), "1E20");
    EXPECT_EQ(Format(-1.25e-7), "-1,25E-7");
    EXPECT_EQ(Format(123456789012345.0), "123456789012345");
    EXPECT_EQ(Format(1e15), "1E15");
    EXPECT_EQ(Format(999999999999999.9), "1E15"); // rounding decides the notation
    EXPECT_EQ(Format(static_cast<double>(0.1f)), "0,100000001490116");
    EXPECT_EQ(Format(1.0 / 3.0), "0,333333333333333");
    EXPECT_EQ(Format(FLT_MAX), "3,40282346638529E38");
    EXPECT_EQ(Format(-DBL_MAX), "-1,79769313486232E308");
    EXPECT_EQ(Format(LDBL_MAX), "1,18973149535723E4932");
}

TEST(NumberText, FloatsShowTheShortestTextThatReadsBackAsTheSameFloat) {
    const auto text = [](float v) { return FormatNumber<float>(v, kComma).toStdString(); };
    EXPECT_EQ(text(0.013f), "0,013");
    EXPECT_EQ(text(0.008f), "0,008");
    EXPECT_EQ(text(0.1f), "0,1");
    EXPECT_EQ(text(-2.5f), "-2,5");
    EXPECT_EQ(text(3.0f), "3");
    EXPECT_EQ(text(0.0f), "0");
    EXPECT_EQ(text(1e-5f), "1E-5");
    EXPECT_EQ(text(FLT_MAX), "3,4028235E38");
    EXPECT_EQ(text(FLT_TRUE_MIN), "1E-45");
    // Every float of a wide sweep of magnitudes comes back bit for bit, its text no longer
    // than nine significant digits need.
    std::uint32_t bits = 0x00800000u; // the smallest normal float
    for (int i = 0; i < 50000; ++i, bits += 42437u) {
        float v = 0.0f;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v)) {
            break;
        }
        for (const float signedV : {v, -v}) {
            const QString shown = FormatNumber<float>(signedV, kComma);
            const float back = ParseClamped<float>(shown, kComma, -FLT_MAX, FLT_MAX);
            ASSERT_EQ(std::memcmp(&back, &signedV, sizeof back), 0) << shown.toStdString();
            ASSERT_LE(shown.size(), 16) << shown.toStdString();
        }
    }
}

TEST(NumberText, ParsingTakesTheLocalesSeparatorAndAnExponent) {
    EXPECT_EQ(ParseNumber(QStringLiteral(" 12,5 "), kComma), 12.5);
    EXPECT_EQ(ParseNumber(QStringLiteral("-1,5e2"), kComma), -150.0);
    EXPECT_EQ(ParseNumber(QStringLiteral("+3E-1"), kComma), 0.3);
    EXPECT_EQ(ParseNumber(QStringLiteral("1.5"), kPoint), 1.5);
    EXPECT_EQ(ParseNumber(QStringLiteral(",5"), kComma), 0.5);
    for (const char* bad : {"", "-", ",", "1.5", "abc", "1e", "1,5,", "2 3", "0x10"}) {
        EXPECT_THROW(ParseNumber(QString::fromLatin1(bad), kComma), ConversionError) << bad;
    }
    EXPECT_EQ(ParseNumber(QStringLiteral("1e999"), kComma), HUGE_VAL);
}

TEST(NumberText, TypedValuesAreClampedAndIntegersTruncated) {
    EXPECT_EQ(ParseClamped<std::int32_t>(QStringLiteral("1e3"), kComma, 0, 100), 100);
    EXPECT_EQ(ParseClamped<std::int32_t>(QStringLiteral("12,9"), kComma, 0, 100), 12);
    EXPECT_EQ(ParseClamped<std::int32_t>(QStringLiteral("-3,7"), kComma, -10, 10), -3);
    EXPECT_EQ(ParseClamped<std::uint32_t>(QStringLiteral("-5"), kComma, 0u, 4294967295u), 0u);
    EXPECT_EQ(ParseClamped<std::uint8_t>(QStringLiteral("1e999"), kComma, 0, 255), 255);
    EXPECT_EQ(ParseClamped<long double>(QStringLiteral("1,5"), kComma, -LDBL_MAX, LDBL_MAX), 1.5L);
    EXPECT_EQ(ParseClamped<float>(QStringLiteral("1e300"), kComma, -FLT_MAX, FLT_MAX), FLT_MAX);
}

TEST(NumberText, EveryTypeRoundTripsItsExtremes) {
    const auto roundTrip = [](auto v) {
        using T = decltype(v);
        const QString text = FormatNumber<T>(v, kComma);
        return ParseClamped<T>(text, kComma, PropertyTraits<T>::kLimitMin,
                               PropertyTraits<T>::kLimitMax);
    };
    EXPECT_EQ(roundTrip(std::int8_t{-128}), -128);
    EXPECT_EQ(roundTrip(std::uint16_t{65535}), 65535);
    EXPECT_EQ(roundTrip(std::int32_t{-2147483647 - 1}), -2147483647 - 1);
    EXPECT_EQ(roundTrip(std::uint32_t{4294967295u}), 4294967295u);
    EXPECT_EQ(roundTrip(2.5f), 2.5f);
    EXPECT_EQ(roundTrip(-0.125), -0.125);
    EXPECT_EQ(PropertyTraits<std::int8_t>::kCode, kPropChar);
    EXPECT_EQ(PropertyTraits<long double>::kCode, kPropLongDouble);
    EXPECT_TRUE(PropertyTraits<std::uint32_t>::kInteger);
    EXPECT_FALSE(PropertyTraits<float>::kInteger);
}

} // namespace
} // namespace vorticel
