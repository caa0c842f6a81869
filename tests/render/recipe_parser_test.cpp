// The recipe reader's rules: what it takes, and each way a text is refused, with its reason.
#include "attractor/catalogue.h"
#include "render/recipe.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vorticel {
namespace {

// A real recipe: an Icon (an 8-bit degree beside doubles) rendered by Light (step statistics).
std::string ValidText(int kind = kLight) {
    const std::unique_ptr<Attractor> a = CreateAttractor(0);
    a->LoadParameters(std::string(VORTICEL_TEST_EXAMPLES) + "/icone-6-branches.vtc");
    const std::unique_ptr<Renderer> b = test::MakeRenderer(kind, 64, 48);
    Fit(*a, *b, 2000, FitMode::Adjust);
    ImageRecipe r = RecipeOf(*a, *b, 5000, 5, 3);
    r.seed = 42;
    return FormatRecipe(r);
}

// `text` with the line of `key` replaced by `line` (removed when `line` is empty).
std::string WithLine(const std::string& text, const std::string& key, const std::string& line) {
    std::istringstream in(text);
    std::string out;
    bool found = false;
    for (std::string l; std::getline(in, l);) {
        if (l.compare(0, key.size() + 1, key + "=") == 0) {
            found = true;
            if (!line.empty()) {
                out += line + "\n";
            }
        } else {
            out += l + "\n";
        }
    }
    EXPECT_TRUE(found) << key;
    return out;
}

std::string ErrorOf(const std::string& text) {
    try {
        ParseRecipe(text);
    } catch (const RecipeError& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(RecipeParser, ReadsWhatItsWriterWritesAndToleratesOnlyHarmlessVariations) {
    const std::string text = ValidText();
    const ImageRecipe r = ParseRecipe(text);
    EXPECT_EQ(FormatRecipe(r), text);
    EXPECT_EQ(r.family, 0);
    EXPECT_EQ(r.parameters.front().line, "Degré=6");
    EXPECT_EQ(r.seed, std::optional<std::uint64_t>(42));
    EXPECT_EQ(r.workers, std::optional<std::int32_t>(3));
    // A recipe from before the worker count was kept.
    EXPECT_FALSE(ParseRecipe(WithLine(text, "workers", "")).workers.has_value());
    // Keys in another order, CRLF line ends, no final line end, no seed.
    const std::size_t at = text.find("\ncamera.zoom=") + 1;
    const std::string zoomLine = text.substr(at, text.find('\n', at) - at);
    const std::string shuffled = WithLine(WithLine(text, "seed", ""), "camera.zoom", "") + zoomLine;
    const ImageRecipe again = ParseRecipe(shuffled);
    EXPECT_FALSE(again.seed.has_value());
    EXPECT_EQ(again.camera.Zoom(), r.camera.Zoom());
    std::string crlf;
    for (const char c : text) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(FormatRecipe(ParseRecipe(crlf)), text);
}

TEST(RecipeParser, KeepsAnImposedExposureExactlyAndRefusesABrokenOne) {
    const std::string text = ValidText();
    EXPECT_FALSE(ParseRecipe(text).exposure.has_value()); // older recipes have none
    const std::string line = "exposure=123456.78901234567 0.1 1e-300 0";
    const ImageRecipe r = ParseRecipe(text + line + "\n");
    ASSERT_TRUE(r.exposure.has_value());
    EXPECT_EQ(r.exposure->values[0], 123456.78901234567);
    EXPECT_EQ(r.exposure->values[2], 1e-300);
    EXPECT_EQ(FormatRecipe(r), text + line + "\n");
    for (const char* broken :
         {"exposure=1 2 3", "exposure=1 2 3 nan", "exposure=1 2 3 4 5", "exposure=1  2 3 4"}) {
        EXPECT_NE(ErrorOf(text + broken + "\n").find("exposure="), std::string::npos) << broken;
    }
}

struct Case {
    const char* what;
    std::string text;
    std::string error;
};

TEST(RecipeParser, RefusesEveryBrokenRuleNamingTheLine) {
    const std::string t = ValidText();
    const std::string gas = ValidText(kGas);
    const std::string huge(2000, '9');
    const std::vector<Case> cases = {
        {"empty", "", "the recipe is empty"},
        {"no version", WithLine(t, "vorticel-recipe", ""), "line 1: not a version 1 recipe"},
        {"other version", WithLine(t, "vorticel-recipe", "vorticel-recipe=2"),
         "line 1: not a version 1 recipe (vorticel-recipe=1 expected)"},
        {"missing key", WithLine(t, "camera.zoom", ""), "no camera.zoom= line"},
        {"missing parameter", WithLine(t, "exact.Omega", ""), "no exact.Omega= line"},
        {"duplicate", t + "width=64\n", "duplicate key width"},
        {"unknown key", t + "colour=1\n", "unknown key colour"},
        {"depth", t + "depth=12\n", "depth=12: 8 or 16 expected"},
        {"empty line", WithLine(t, "camera.pan", "\ncamera.pan=0 0"), "key=value expected"},
        {"no equals", t + "width\n", "key=value expected"},
        {"too long", WithLine(t, "program", "program=" + huge), "longer than 1024 characters"},
        {"too large", t + std::string(70000, '#'), "longer than 65536 bytes"},
        {"letters", WithLine(t, "camera.zoom", "camera.zoom=abc"), "camera.zoom=abc: a finite"},
        {"blank", WithLine(t, "camera.zoom", "camera.zoom= 1"), "a finite number expected"},
        {"infinite", WithLine(t, "camera.zoom", "camera.zoom=1e999"), "a finite number"},
        {"nan", WithLine(t, "camera.zoom", "camera.zoom=nan"), "a finite number"},
        {"two numbers", WithLine(t, "camera.eye", "camera.eye=1 2"), "3 finite numbers"},
        {"two spaces", WithLine(t, "camera.eye", "camera.eye=1  2 3"), "3 finite numbers"},
        {"four numbers", WithLine(t, "camera.eye", "camera.eye=1 2 3 4"), "3 finite numbers"},
        {"colour", WithLine(t, "background", "background=0 0.5 1.5"), "in 0..1"},
        {"fraction", WithLine(t, "width", "width=64.5"), "a whole number 4..65535"},
        {"sign", WithLine(t, "updates", "updates=+5"), "a whole number 1..100"},
        {"no updates", WithLine(t, "updates", "updates=0"), "a whole number 1..100"},
        {"negative", WithLine(t, "iterations", "iterations=-1"), "0..2147483647"},
        {"bad family", WithLine(t, "family", "family=9"), "family=9: a whole number 0..8"},
        {"other class", WithLine(t, "family.class", "family.class=Lorenz_2L"), "family 0 is Icon"},
        {"bad renderer", WithLine(t, "renderer", "renderer=5"), "a whole number 0..4"},
        {"wide", WithLine(t, "width", "width=70000"), "width=70000: a whole number 4..65535"},
        {"huge", WithLine(WithLine(t, "width", "width=65535"), "height", "height=65536"),
         "the image size 65535x65536 is too large"},
        {"narrow", WithLine(t, "width", "width=3"), "a whole number 4..65535"},
        {"degree fraction", WithLine(t, "exact.Degré", "exact.Degré=6.5"),
         "not a value of this parameter's type"},
        {"degree wraps", WithLine(t, "exact.Degré", "exact.Degré=300"),
         "not a value of this parameter's type"},
        {"disagreeing", WithLine(t, "parameter.Alpha", "parameter.Alpha=1.000000"),
         "the parameter file writes Alpha="},
        {"foreign parameter", t + "parameter.dT=0.010000\n", "unknown key parameter.dT"},
        {"other shading", gas + "shading.opacity=8\n", "unknown key shading.opacity"},
        {"steps of a gas", gas + "light.min-step=1\n", "unknown key light.min-step"},
        {"light lacks steps", WithLine(t, "light.max-step", ""), "no light.max-step= line"},
        {"bad seed", WithLine(t, "seed", "seed=-1"), "seed=-1: a whole number"},
        // What renders nothing, or nothing that means anything.
        {"no workers", WithLine(t, "workers", "workers=0"), "workers=0: a whole number 1..1024"},
        {"many workers", WithLine(t, "workers", "workers=1025"), "a whole number 1..1024"},
        {"zero zoom", WithLine(t, "camera.zoom", "camera.zoom=0"),
         "camera.zoom=0: a number from 1e-12 to 1e+12 expected"},
        {"negative zoom", WithLine(t, "camera.zoom", "camera.zoom=-1"), "from 1e-12 to 1e+12"},
        {"huge zoom", WithLine(t, "camera.zoom", "camera.zoom=1e308"), "from 1e-12 to 1e+12"},
        {"denormal zoom", WithLine(t, "camera.zoom", "camera.zoom=4.9e-324"), "from 1e-12"},
        {"saved zoom", WithLine(t, "camera.saved-zoom", "camera.saved-zoom=-2"),
         "0 or a number from 1e-12 to 1e+12 expected"},
        {"eye on target", WithLine(t, "camera.eye", "camera.eye=0 0 0"),
         "must not stand at camera.target"},
        {"eye above target", WithLine(t, "camera.eye", "camera.eye=0 7 0"),
         "nor straight above or below it"},
        {"far eye", WithLine(t, "camera.eye", "camera.eye=0 0 -1e300"),
         "numbers from -1e+09 to 1e+09 expected"},
        {"far centre", WithLine(t, "camera.centre", "camera.centre=2e9 0 0"), "from -1e+09"},
        {"far pan", WithLine(t, "camera.pan", "camera.pan=1e300 0"), "from -1e+15 to 1e+15"},
        {"angle", WithLine(t, "camera.rotation-angle", "camera.rotation-angle=100"),
         "from -6.283185307179586 to 6.283185307179586"},
        {"long axis", WithLine(t, "camera.rotation-axis", "camera.rotation-axis=1 1 0"),
         "a unit axis (or 0 0 0) expected"},
        {"zero gamma", WithLine(t, "shading.gamma", "shading.gamma=0"),
         "shading.gamma=0: a number from 0.01 to 100 expected"},
        {"dark", WithLine(t, "shading.brightness", "shading.brightness=-1"), "from 0.001 to 1000"},
        {"negative step", WithLine(t, "light.step-range", "light.step-range=-1"), "from 0 to"},
        {"degree beyond bounds",
         WithLine(WithLine(t, "exact.Degré", "exact.Degré=100"), "parameter.Degré",
                  "parameter.Degré=100"),
         "exact.Degré=100: a whole number 2..24 expected"},
    };
    for (const Case& c : cases) {
        const std::string error = ErrorOf(c.text);
        EXPECT_NE(error.find(c.error), std::string::npos)
            << c.what << ": \"" << error << "\" lacks \"" << c.error << "\"";
    }
}

TEST(RecipeParser, TakesTheExtremesARealViewHolds) {
    // A renderer just created or replaced: no step measured yet, no zoom kept, no rotation.
    const std::unique_ptr<Attractor> a = CreateAttractor(2);
    for (const int kind : {kLight, kPlasma, kSolid}) {
        const std::unique_ptr<Renderer> fresh = test::MakeRenderer(kind, 64, 48);
        fresh->GetCamera().SetEye({0.0, 0.0, -5.0});
        fresh->GetCamera().SetTarget({0.0, 0.0, 0.0});
        const std::unique_ptr<Renderer> replaced = CreateRenderer(kind, *fresh);
        const std::string text = FormatRecipe(RecipeOf(*a, *replaced, 0, 1, 1));
        EXPECT_EQ(ErrorOf(text), "(accepted)") << text;
    }
    // The zoom's own bounds, and every shading setting at its limits.
    const std::string t = ValidText(kSolid);
    for (const char* zoom : {"camera.zoom=1e-12", "camera.zoom=1e+12"}) {
        EXPECT_EQ(ErrorOf(WithLine(t, "camera.zoom", zoom)), "(accepted)") << zoom;
    }
    EXPECT_EQ(ErrorOf(WithLine(WithLine(t, "shading.roughness", "shading.roughness=0.0001"),
                               "shading.opacity", "shading.opacity=1000")),
              "(accepted)");
}

} // namespace
} // namespace vorticel
