// The .vta file read back as written, and the animations refused, each naming its key.
#include "animation_test_support.h"

#include <gtest/gtest.h>

namespace vorticel {
namespace {

using test::ExampleKey;
using test::SmallAnimation;

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AnimationError& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(AnimationFile, ReadsBackWhatItWritesKeyForKey) {
    Animation a = SmallAnimation(
        {ExampleKey("lorenz-papillon.vtc"), ExampleKey("lorenz-ruban.vtc", 80, 60)}, 25);
    a.keyNames = {"papillon.png", ""};
    a.turnDegrees = -22.5;
    a.fps = 24;
    a.seed = 18446744073709551615ULL;
    a.workers = 3;
    const std::string text = FormatAnimation(a);
    const Animation b = ParseAnimation(text);
    EXPECT_EQ(FormatAnimation(b), text);
    ASSERT_EQ(b.keys.size(), 2u);
    EXPECT_EQ(FormatRecipe(b.keys[1]), FormatRecipe(a.keys[1]));
    EXPECT_EQ(b.keyNames[0], "papillon.png");
    EXPECT_EQ(KeyName(b, 1), "clé 2");
    EXPECT_EQ(b.turnDegrees, -22.5);
    EXPECT_EQ(b.frames, 25);
    EXPECT_EQ(b.seed, a.seed);
    EXPECT_EQ(FormatRecipe(FrameRecipe(b, 13)), FormatRecipe(FrameRecipe(a, 13)));
    // CRLF line ends and the settings in another order read the same.
    std::string crlf;
    for (const char c : text) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(FormatAnimation(ParseAnimation(crlf)), text);
    const std::size_t fps = text.find("fps=24\n");
    std::string moved = text;
    moved.erase(fps, 7);
    EXPECT_EQ(FormatAnimation(ParseAnimation(moved + "fps=24\n")), text);
}

TEST(AnimationFile, RefusesBrokenTextAndAnimationsOfMixedKeysNamingWhat) {
    const ImageRecipe lorenz = ExampleKey("lorenz-papillon.vtc");
    const ImageRecipe icon = ExampleKey("icone-6-branches.vtc");
    Animation mixed = SmallAnimation({lorenz, lorenz, icon}, 10);
    mixed.keyNames = {"a.png", "b.png", "c.vtc"};
    EXPECT_NE(ErrorOf([&] { CheckAnimation(mixed); })
                  .find("c.vtc: a Icon, where a.png is a "
                        "Lorenz_2L"),
              std::string::npos);
    ImageRecipe solid = lorenz;
    solid.renderer = kSolid;
    Animation renderers = SmallAnimation({lorenz, solid}, 10);
    EXPECT_NE(ErrorOf([&] { CheckAnimation(renderers); }).find("clé 2: rendered with renderer 4"),
              std::string::npos);
    Animation alone = SmallAnimation({lorenz}, 10);
    EXPECT_NE(ErrorOf([&] { CheckAnimation(alone); }).find("only key"), std::string::npos);
    alone.turnDegrees = 360.0;
    EXPECT_EQ(ErrorOf([&] { CheckAnimation(alone); }), "(accepted)");
    Animation oneFrame = SmallAnimation({lorenz, lorenz}, 1);
    EXPECT_NE(ErrorOf([&] { CheckAnimation(oneFrame); }).find("frames=1"), std::string::npos);

    const std::string text = FormatAnimation(SmallAnimation({lorenz, lorenz}, 10));
    const auto parse = [](const std::string& t) { return ErrorOf([&] { ParseAnimation(t); }); };
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        return t.replace(t.find(from), from.size(), to);
    };
    EXPECT_NE(parse("vorticel-animation=2\n" + text.substr(text.find('\n') + 1)).find("version"),
              std::string::npos);
    EXPECT_NE(parse(text + "frames=3\n").find("duplicate key frames"), std::string::npos);
    EXPECT_NE(parse(text + "colour=red\n").find("unknown key colour"), std::string::npos);
    EXPECT_NE(parse(replaced("keys=2", "keys=3")).find("keys=3"), std::string::npos);
    EXPECT_NE(parse(replaced("fps=30", "fps=0")).find("fps=0"), std::string::npos);
    EXPECT_NE(parse(replaced("key.2.renderer=0", "key.2.renderer=9")).find("clé 2: its recipe"),
              std::string::npos);
    EXPECT_NE(parse(replaced("key.2.renderer=0", "key.2.renderer=3")).find("clé 2: its recipe"),
              std::string::npos);
    EXPECT_NE(parse(text + "key.x.family=2\n").find("key.N.KEY"), std::string::npos);
    EXPECT_NE(parse(replaced("turn=0", "turn=inf")).find("turn=inf"), std::string::npos);
}

} // namespace
} // namespace vorticel
