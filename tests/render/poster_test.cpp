// Posters: the same bytes from any number of strips, for every renderer, at 8 and 16 bits and
// as a BMP, and one strip as the render in one piece.
#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "attractor/parameter_file.h"
#include "attractor/rng.h"
#include "io_test_support.h"
#include "png_test_support.h"
#include "render/poster.h"
#include "render/poster_plan.h"
#include "render/recipe.h"
#include "render/render_run.h"
#include "render/shade_statistics.h"
#include "test_support.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace vorticel {
namespace {

// A framed, turned view of an example of `family` as a recipe: 200,000 iterations, 4 updates,
// 2 workers, so the strips replay shared soft depths and refreshes.
ImageRecipe ExampleRecipe(int family, int kind) {
    const char* const files[] = {"", "ifs-dragon.vtc", "lorenz-papillon.vtc"};
    std::unique_ptr<Attractor> a = CreateAttractor(family);
    a->LoadParameters(std::string(VORTICEL_TEST_EXAMPLES) + "/" + files[family]);
    RandomSeed(11);
    std::unique_ptr<Renderer> b = test::MakeRenderer(kind, 64, 48);
    b->GetCamera().RotateByDrag(17.0, -9.0);
    Fit(*a, *b, kFitPoints, FitMode::Adjust);
    ImageRecipe recipe = RecipeOf(*a, *b, 200000, 4, 2);
    recipe.seed = 11;
    return recipe;
}

class PosterTest : public test::TempFolder, public ::testing::WithParamInterface<int> {};

TEST_P(PosterTest, AnyStripsGiveTheBytesOfOnePiece) {
    const int kind = GetParam();
    // The IFS draws from the generator as it goes; Lorenz does not.
    for (const int family : {1 + kind % 2}) {
        const ImageRecipe recipe = ExampleRecipe(family, kind);
        // One piece as a render run shows it.
        Random31 random;
        random.Seed(*recipe.seed);
        const std::unique_ptr<Attractor> a = MakeAttractor(recipe);
        a->random = &random;
        const std::unique_ptr<Renderer> whole = MakeRenderer(recipe, nullptr);
        ASSERT_TRUE(Fit(*a, *whole, kFitPoints, FitMode::PreviewOnly));
        RenderRun(*a, *whole, recipe.iterations, recipe.updates, {}, 2);

        for (const char* format : {"png8", "png16", "bmp"}) {
            PosterOptions options;
            options.width = recipe.width;
            options.height = recipe.height;
            options.depth = std::string(format) == "png16" ? 16 : 8;
            const std::string extension = std::string(format) == "bmp" ? ".bmp" : ".png";
            std::string one;
            for (const int strips : {1, 2, 7}) {
                SCOPED_TRACE(std::string(format) + ", family " + std::to_string(family) + ", " +
                             std::to_string(strips) + " strips");
                options.strips = strips;
                // Strips also shade and write a few rows at a time, the last few fewer.
                options.rowsAtATime = strips == 1 ? 0 : 5;
                const std::string name = "p" + std::to_string(strips) + extension;
                const std::string path = Path(name);
                const PosterResult result = RenderPoster(recipe, options, path);
                EXPECT_EQ(result.strips, strips);
                EXPECT_EQ(result.threads, 2);
                EXPECT_FALSE(result.stopped || result.diverged);
                const std::string bytes = Read(name);
                if (strips == 1) {
                    one = bytes;
                    if (options.depth == 8 && extension == ".png") {
                        const test::DecodedPng png = test::DecodePng(path);
                        ASSERT_TRUE(png.ok);
                        EXPECT_EQ(png.bgr, whole->GetImage().Shown());
                    }
                } else {
                    EXPECT_TRUE(bytes == one) << "differs from one piece";
                }
            }
        }
        // The 16-bit file's recipe says so, and renders the same again.
        PosterOptions deep;
        deep.width = recipe.width;
        deep.height = recipe.height;
        deep.depth = 16;
        const ImageRecipe written = LoadImageRecipe(Path("p1.png"));
        EXPECT_EQ(written.depth, 16);
        EXPECT_EQ(written.workers, 2);
        RenderPoster(written, deep, Path("again.png"));
        EXPECT_TRUE(Read("again.png") == Read("p1.png"));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, PosterTest, ::testing::Range(0, kRendererCount),
                         test::KindName);

TEST(PosterChecks, StoppedWritesNothingAndSizesAreChecked) {
    const ImageRecipe recipe = ExampleRecipe(2, 0);
    const std::string path = ::testing::TempDir() + "/vorticel-stopped.png";
    std::remove(path.c_str());
    PosterOptions options;
    options.width = 64;
    options.height = 48;
    options.strips = 3;
    PosterHooks hooks;
    hooks.stopRequested = [] { return true; };
    EXPECT_TRUE(RenderPoster(recipe, options, path, hooks).stopped);
    EXPECT_FALSE(std::ifstream(path).good());
    options.height = 65536;
    EXPECT_THROW(RenderPoster(recipe, options, path), RenderError);
    options.height = 48;
    options.depth = 16;
    EXPECT_THROW(RenderPoster(recipe, options, path + ".bmp"), RenderError);
    // Strips that cannot fit the memory are refused, not quietly made thinner.
    options.depth = 8;
    options.strips = 1;
    options.memoryBytes = kPosterReserveBytes + 1000;
    EXPECT_THROW(RenderPoster(recipe, options, path), MemoryBudgetError);
}

class PosterFiles : public test::TempFolder {};

TEST_F(PosterFiles, AnEmptyRenderIsTheBackgroundInEveryStrip) {
    ImageRecipe recipe = ExampleRecipe(2, 4); // Solid, on its grey
    recipe.iterations = 1;                    // no point comes past the warm-up
    PosterOptions options;
    options.width = recipe.width;
    options.height = recipe.height;
    options.rowsAtATime = 5;
    const ColourRGB background = MakeRenderer(recipe, nullptr)->BackgroundColour();
    const std::uint8_t bgr[3] = {ChannelByte(background.b), ChannelByte(background.g),
                                 ChannelByte(background.r)};
    ASSERT_NE(bgr[0], 0);
    for (const int depth : {8, 16}) {
        options.depth = depth;
        for (const int strips : {1, 3}) {
            SCOPED_TRACE(std::to_string(depth) + " bits, " + std::to_string(strips) + " strips");
            options.strips = strips;
            RenderPoster(recipe, options, Path(std::to_string(strips) + ".png"));
        }
        EXPECT_TRUE(Read("1.png") == Read("3.png"));
    }
    options.depth = 8;
    RenderPoster(recipe, options, Path("8.png"));
    const test::DecodedPng png = test::DecodePng(Path("8.png"));
    ASSERT_TRUE(png.ok);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < png.bgr.size(); ++i) {
        wrong += png.bgr[i] != bgr[i % 3];
    }
    EXPECT_EQ(wrong, 0u);
}

// Shading and compressing a large poster can outlast its orbits: the written rows move the
// progress, which reads 1 only once the last is in (an imposed exposure replays each strip once),
// and "stop" is heard while they are written.
TEST_F(PosterFiles, TheWrittenRowsCountInTheProgressAndAStopAmongThemWritesNothing) {
    ImageRecipe recipe = ExampleRecipe(2, 0);
    PosterOptions options;
    options.width = recipe.width;
    options.height = recipe.height;
    options.rowsAtATime = 5;
    std::vector<PosterProgress> seen;
    PosterHooks hooks;
    hooks.progress = [&seen](const PosterProgress& p) { seen.push_back(p); };
    for (const bool imposed : {false, true}) {
        SCOPED_TRACE(imposed ? "imposed exposure" : "own statistics");
        if (imposed) {
            recipe.exposure = ShadeStatistics{{40.0, 0.0, 0.0, 0.0}};
        }
        seen.clear();
        options.strips = 3;
        ASSERT_FALSE(RenderPoster(recipe, options, Path("p.png"), hooks).stopped);
        ASSERT_GE(seen.size(), 2u);
        std::int32_t blocks = seen.front().rowsWritten > 0;
        for (std::size_t i = 1; i < seen.size(); ++i) {
            EXPECT_LE(seen[i - 1].fraction, seen[i].fraction);
            const std::int32_t rows = seen[i].rowsWritten - seen[i - 1].rowsWritten;
            EXPECT_TRUE(rows >= 0 && rows <= 5) << rows;
            blocks += rows > 0;
        }
        EXPECT_GE(blocks, (recipe.height + 4) / 5);
        EXPECT_EQ(seen.back().rowsWritten, recipe.height);
        EXPECT_EQ(seen.back().fraction, 1.0);
        EXPECT_LT(seen.end()[-2].fraction, 1.0);
    }

    const std::string before = Read("p.png");
    hooks.stopRequested = [&seen] { return !seen.empty() && seen.back().rowsWritten > 0; };
    options.strips = 1;
    for (const char* name : {"p.png", "new.png"}) {
        seen.clear();
        EXPECT_TRUE(RenderPoster(recipe, options, Path(name), hooks).stopped);
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back().rowsWritten, 5);
    }
    EXPECT_TRUE(Read("p.png") == before);
    EXPECT_EQ(Names(), std::vector<std::string>{"p.png"}); // nothing new, no temporary left
}

// The maximum every strip and every shading starts from: the running maxima side by side must
// still see every value, wherever the largest falls and however long the range.
TEST(ShadeStatistics, LargestAboveZeroSeesEveryValueAndNothingElse) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (std::size_t length : {0, 1, 7, 8, 9, 17, 64}) {
        for (std::size_t at = 0; at < length; ++at) {
            const float largest = 2.0f + static_cast<float>(at);
            std::vector<float> values = {9.0f}; // before the range: not counted
            for (std::size_t i = 0; i < length; ++i) {
                values.push_back(i == at ? largest : (i % 3 == 0 ? nan : 0.5f));
            }
            values.push_back(9.0f); // after it
            const float m =
                LargestAboveZero(1, length + 1, [&values](std::size_t i) { return values[i]; });
            EXPECT_EQ(m, largest) << length << " " << at;
        }
    }
    const std::vector<float> none = {-1.0f, -0.0f, nan, 0.0f, -3.0f, nan, -2.0f, -1.0f, -5.0f};
    const float m = LargestAboveZero(0, none.size(), [&none](std::size_t i) { return none[i]; });
    EXPECT_EQ(m, 0.0f);
    EXPECT_FALSE(std::signbit(m));
}

} // namespace
} // namespace vorticel
