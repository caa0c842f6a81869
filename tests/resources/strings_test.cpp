// The string table.
#include "resources/strings.h"

#include <gtest/gtest.h>

namespace vorticel {
namespace {

TEST(Strings, FamilyAndRendererNames) {
    const char* families[] = {"Icon",
                              "IFS",
                              "Lorenz",
                              "Pickover",
                              "Polynôme, type A",
                              "Polynôme, type B",
                              "Polynôme, type C",
                              "Polynôme Sprott",
                              "Unravel"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(FamilyName(i), families[i]);
    }
    const char* renderers[] = {"Gaz", "Liquide", "Lumière", "Plasma", "Solide"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(LoadStr(kStrRendererFirst + i), renderers[i]);
    }
}

TEST(Strings, TextsQuotedById) {
    EXPECT_EQ(LoadStr(1500), "Degré");
    EXPECT_EQ(LoadStr(2100), "");
    EXPECT_EQ(LoadStr(2102), " (aperçu)");
    EXPECT_EQ(LoadStr(2105), " (rendu)");
    EXPECT_EQ(LoadStr(2154), "Paramètres attracteur (*.vtc)|*.vtc");
    EXPECT_EQ(LoadStr(2302), "Mises à jour");
    EXPECT_EQ(LoadStr(2053), "Opacité");
    EXPECT_EQ(LoadStr(-5), "");
    EXPECT_EQ(LoadStr(999999), "");
}

} // namespace
} // namespace vorticel
