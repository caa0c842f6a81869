// Images that carry their recipe: every family and renderer through a PNG and back, the same
// pixels from the recipe, the same framing at another size, and the refusals.
#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "attractor/parameter_file.h"
#include "attractor/rng.h"
#include "io/file_error.h"
#include "io_test_support.h"
#include "png_test_support.h"
#include "render/light.h"
#include "render/png_file.h"
#include "render/recipe.h"
#include "render/render_run.h"
#include "render/shading_settings.h"
#include "test_support.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

namespace vorticel {
namespace {

// The first example (by file name) of each family.
std::unique_ptr<Attractor> Example(int family) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(VORTICEL_TEST_EXAMPLES)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        if (file.extension() == ".vtc" && ReadFamilyIndex(file.string()) == family) {
            std::unique_ptr<Attractor> attractor = CreateAttractor(family);
            attractor->LoadParameters(file.string());
            return attractor;
        }
    }
    ADD_FAILURE() << "no example of family " << family;
    return CreateAttractor(family);
}

// The bytes of a parameter's variable, for a bit-for-bit comparison.
std::vector<unsigned char> Bits(const ParameterEntry& e) {
    static const std::size_t sizes[] = {1, 1, 2, 2, 4, 4, 4, 8};
    const std::size_t size = e.type < 8 ? sizes[e.type] : 0;
    const auto* p = static_cast<const unsigned char*>(e.value);
    return {p, p + size};
}

// A framed view of `attractor` turned off its axes, with shading values off their defaults.
std::unique_ptr<Renderer> Framed(Attractor& attractor, int kind, int width, int height) {
    std::unique_ptr<Renderer> b = test::MakeRenderer(kind, width, height);
    b->GetCamera().RotateByDrag(17.0, -9.0);
    Fit(attractor, *b, 5000, FitMode::Adjust);
    for (const ShadingSetting& s : ShadingSettings(*b)) {
        *s.value = s.sliderLo + 0.37f * (s.sliderHi - s.sliderLo);
    }
    return b;
}

class ImageRecipeTest : public test::TempFolder {};

class EveryFamilyAndRenderer : public ImageRecipeTest,
                               public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(EveryFamilyAndRenderer, RoundTripThroughAPng) {
    const auto [family, kind] = GetParam();
    RandomSeed(3);
    const std::unique_ptr<Attractor> a = Example(family);
    // Values that six decimals cannot hold: only the exact values give them back.
    for (const ParameterEntry* e = a->parameters->Next(nullptr); e; e = a->parameters->Next(e)) {
        if (e->type == kDouble) {
            *static_cast<double*>(e->value) += 1.0 / 3.0 * 1e-7;
        }
    }
    const std::unique_ptr<Renderer> b = Framed(*a, kind, 64, 48);
    b->RenderStoredPoints();
    const std::string path = Path("round.png");
    SaveImagePng(path, *a, *b, 123457, 7, 2);

    const ImageRecipe read = LoadImageRecipe(path);
    EXPECT_EQ(read.program, ProgramNameAndVersion());
    EXPECT_EQ(read.iterations, 123457);
    EXPECT_EQ(read.updates, 7);
    EXPECT_FALSE(read.seed.has_value());
    EXPECT_EQ(FormatRecipe(read), FormatRecipe(RecipeOf(*a, *b, 123457, 7, 2)));

    const std::unique_ptr<Attractor> a2 = MakeAttractor(read);
    EXPECT_EQ(a2->typeIndex, family);
    const ParameterEntry* e2 = a2->parameters->Next(nullptr);
    for (const ParameterEntry* e = a->parameters->Next(nullptr); e; e = a->parameters->Next(e)) {
        ASSERT_NE(e2, nullptr);
        EXPECT_EQ(e2->name, e->name);
        EXPECT_EQ(Bits(*e2), Bits(*e)) << e->name;
        e2 = a2->parameters->Next(e2);
    }
    EXPECT_EQ(e2, nullptr);
    EXPECT_EQ(a2->ParameterLines(), a->ParameterLines()); // as the parameter file has them

    const std::unique_ptr<Renderer> b2 = MakeRenderer(read, nullptr);
    EXPECT_EQ(b2->Kind(), b->Kind());
    EXPECT_EQ(b2->Width(), 64);
    EXPECT_EQ(b2->Height(), 48);
    EXPECT_TRUE(b2->GetCamera() == b->GetCamera());
    EXPECT_TRUE(b2->GetCamera().Combined() == b->GetCamera().Combined());
    EXPECT_EQ(
        std::memcmp(&b2->GetCamera().Eye(), &b->GetCamera().Eye(), sizeof b->GetCamera().Eye()), 0);
    EXPECT_EQ(std::memcmp(&b2->GetCamera().Target(), &b->GetCamera().Target(),
                          sizeof b->GetCamera().Target()),
              0);
    EXPECT_EQ(std::memcmp(&b2->BackgroundColour(), &b->BackgroundColour(), sizeof(ColourRGB)), 0);
    EXPECT_EQ(std::memcmp(&b2->PointColour(), &b->PointColour(), sizeof(ColourRGB)), 0);
    const std::vector<ShadingSetting> s1 = ShadingSettings(*b);
    const std::vector<ShadingSetting> s2 = ShadingSettings(*b2);
    ASSERT_EQ(s2.size(), s1.size());
    for (std::size_t i = 0; i < s1.size(); ++i) {
        EXPECT_EQ(*s2[i].value, *s1[i].value) << s1[i].key;
    }
    if (const auto* light = dynamic_cast<const LightRenderer*>(b.get())) {
        const auto& light2 = dynamic_cast<const LightRenderer&>(*b2);
        EXPECT_EQ(light2.Steps().minStep, light->Steps().minStep);
        EXPECT_EQ(light2.Steps().maxStep, light->Steps().maxStep);
        EXPECT_EQ(light2.Steps().stepRange, light->Steps().stepRange);
    }
}

std::string FamilyAndKind(const ::testing::TestParamInfo<std::tuple<int, int>>& param) {
    const auto [family, kind] = param.param;
    return std::string(FamilyClassName(family)) + "_" + test::KindName({kind, param.index});
}

INSTANTIATE_TEST_SUITE_P(All, EveryFamilyAndRenderer,
                         ::testing::Combine(::testing::Range(0, kFamilyCount),
                                            ::testing::Range(0, kRendererCount)),
                         FamilyAndKind);

class EveryRenderer : public ImageRecipeTest, public ::testing::WithParamInterface<int> {};

// The render of the command line and its render again from the PNG's recipe: the IFS draws
// its maps at random, so the seed is what makes them the same; three workers, whatever the
// cores of the machine, the count the recipe records.
TEST_P(EveryRenderer, TheRecipeGivesTheSamePixels) {
    for (const int family : {1, 0}) {
        const std::unique_ptr<Attractor> a = Example(family);
        std::unique_ptr<Renderer> b = test::MakeRenderer(GetParam(), 64, 48);
        RandomSeed(11);
        ASSERT_TRUE(Fit(*a, *b, kFitPoints, FitMode::Adjust));
        ASSERT_EQ(RenderRun(*a, *b, 300000, 3, {}, 3).threads, 3);
        ImageRecipe recipe = RecipeOf(*a, *b, 300000, 3, 3);
        recipe.seed = 11;
        const std::string path = Path("image.png");
        SaveImagePng(path, recipe, *b);

        const test::DecodedPng png = test::DecodePng(path);
        ASSERT_TRUE(png.ok);
        ASSERT_EQ(png.width, 64);
        ASSERT_EQ(png.height, 48);
        EXPECT_TRUE(png.bgr == b->GetImage().Shown()) << "the PNG's pixels are not the image's";
        const std::vector<std::uint8_t> blank = [&] {
            const std::unique_ptr<Renderer> empty = test::MakeRenderer(GetParam(), 64, 48);
            empty->ClearImage();
            return empty->GetImage().Shown();
        }();
        std::size_t differing = 0;
        for (std::size_t i = 0; i < blank.size(); ++i) {
            differing += png.bgr[i] != blank[i] ? 1 : 0;
        }
        EXPECT_GT(differing, blank.size() / 20) << "too little of the attractor to compare";

        const ImageRecipe loaded = LoadImageRecipe(path);
        ASSERT_EQ(loaded.seed, std::optional<std::uint64_t>(11));
        ASSERT_EQ(loaded.workers, std::optional<std::int32_t>(3));
        const std::unique_ptr<Attractor> a2 = MakeAttractor(loaded);
        const std::unique_ptr<Renderer> b2 = MakeRenderer(loaded, nullptr);
        RandomSeed(*loaded.seed);
        ASSERT_TRUE(Fit(*a2, *b2, kFitPoints, FitMode::PreviewOnly)); // the ring, no framing
        RenderRun(*a2, *b2, loaded.iterations, loaded.updates, {}, *loaded.workers);
        EXPECT_TRUE(b2->GetImage().Shown() == png.bgr) << FamilyClassName(family);
    }
}

INSTANTIATE_TEST_SUITE_P(All, EveryRenderer, ::testing::Range(0, kRendererCount), test::KindName);

TEST_F(ImageRecipeTest, TheSameCameraFramesTheSameAtAnySize) {
    const std::unique_ptr<Attractor> a = Example(2);
    const std::unique_ptr<Renderer> b = Framed(*a, kGas, 64, 48);
    const ImageRecipe recipe = RecipeOf(*a, *b, 1000, 1, 1);
    const std::unique_ptr<Renderer> twice = CreateRenderer(nullptr, kGas);
    twice->SetWidth(128);
    twice->SetHeight(96);
    ApplyToRenderer(recipe, *twice);
    const std::unique_ptr<Renderer> wider = CreateRenderer(nullptr, kGas);
    wider->SetWidth(128);
    wider->SetHeight(48);
    ApplyToRenderer(recipe, *wider);
    for (std::size_t i = 0; i < b->Ring().Points().size(); i += 97) {
        const Vecd p = b->Ring().Points()[i];
        const Vecd q = b->ProjectPoint(p);
        const Vecd q2 = twice->ProjectPoint(p);
        EXPECT_EQ(q2.x, 2.0 * q.x);
        EXPECT_EQ(q2.y, 2.0 * q.y);
        EXPECT_EQ(q2.z, q.z);
        // Another aspect keeps the width of the view: the picture scales with the width about
        // the middle of the image.
        const Vecd q3 = wider->ProjectPoint(p);
        EXPECT_EQ(q3.x, 2.0 * q.x);
        EXPECT_NEAR(q3.y - 24.0, 2.0 * (q.y - 24.0), 1e-9);
    }
    EXPECT_THROW(ApplyToRenderer(recipe, *test::MakeRenderer(kSolid, 64, 48)),
                 std::invalid_argument);
}

TEST_F(ImageRecipeTest, APngWithoutAValidRecipeIsRefusedSayingWhy) {
    const std::vector<std::uint8_t> pixels(16 * 4 * 3, 0x40);
    WritePng(Path("plain.png"), 16, 4, pixels, {{"Software", "another program"}});
    try {
        LoadImageRecipe(Path("plain.png"));
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.reason(), FileError::Reason::NoRecipe);
        EXPECT_EQ(std::string(e.what()),
                  "cannot read file " + Path("plain.png") +
                      ": the image holds no Vorticel recipe (it was not saved by Vorticel)");
    }
    WritePng(Path("bad.png"), 16, 4, pixels,
             {{std::string(kRecipeKeyword), "vorticel-recipe=1\n"}});
    try {
        LoadImageRecipe(Path("bad.png"));
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.reason(), FileError::Reason::BadRecipe);
        EXPECT_EQ(std::string(e.what()), "cannot read file " + Path("bad.png") +
                                             ": its recipe is invalid: no program= line");
    }
    WritePng(Path("two.png"), 16, 4, pixels,
             {{std::string(kRecipeKeyword), "a"}, {std::string(kRecipeKeyword), "b"}});
    EXPECT_THROW(LoadImageRecipe(Path("two.png")), FileError);
    WritePng(Path("long.png"), 16, 4, pixels,
             {{std::string(kRecipeKeyword), std::string(kMaxRecipeBytes + 1, 'x')}});
    try {
        LoadImageRecipe(Path("long.png"));
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.reason(), FileError::Reason::RecipeTooLarge);
    }
}

TEST_F(ImageRecipeTest, ASaveOverAReadOnlyImageWritesNothing) {
    const std::unique_ptr<Attractor> a = Example(2);
    const std::unique_ptr<Renderer> b = Framed(*a, kLight, 32, 24);
    Write("kept.png", "the old image");
    ASSERT_EQ(::chmod(Path("kept.png").c_str(), 0444), 0);
    try {
        SaveImagePng(Path("kept.png"), *a, *b, 1000, 1, 1);
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.reason(), FileError::Reason::ReadOnly);
    }
    EXPECT_EQ(Read("kept.png"), "the old image");
    EXPECT_EQ(Names(), (std::vector<std::string>{"kept.png"}));
}

} // namespace
} // namespace vorticel
