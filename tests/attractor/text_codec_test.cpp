// Windows-1252 and UTF-8 conversions.
#include "attractor/text_codec.h"

#include <gtest/gtest.h>

namespace vorticel {
namespace {

TEST(TextCodec, RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(TextCodec, KnownCharacters) {
    EXPECT_EQ(Cp1252ToUtf8("Degr\xE9"), "Degré");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "€");
    EXPECT_EQ(Utf8ToCp1252("Polynôme €"), "Polyn\xF4me \x80");
    EXPECT_EQ(Utf8ToCp1252("→"), "?");
    EXPECT_EQ(Utf8ToCp1252("a\xFF"), "a?"); // malformed input does not stop the conversion
}

TEST(TextCodec, RecognisesUtf8) {
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("Degré"));
    EXPECT_FALSE(IsValidUtf8("Degr\xE9=4"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));         // truncated
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));     // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")); // surrogate
    EXPECT_EQ(DecodeFileText("Degr\xE9=4"), "Degré=4");
    EXPECT_EQ(DecodeFileText("Degré=4"), "Degré=4");
}

} // namespace
} // namespace vorticel
