// The French interface texts, by id.
#include "resources/strings.h"

#include <algorithm>
#include <iterator>

namespace vorticel {
namespace {

struct Entry {
    int id;
    std::string_view text;
};

// Kept sorted by id for the binary search below.
constexpr Entry kTable[] = {
    {1000, "Icon"},
    {1002, "IFS"},
    {1004, "Lorenz"},
    {1006, "Pickover"},
    {1008, "Polynôme, type A"},
    {1010, "Polynôme, type B"},
    {1012, "Polynôme, type C"},
    {1014, "Polynôme Sprott"},
    {1016, "Unravel"},
    {1500, "Degré"},
    {2000, "Gaz"},
    {2001, "Liquide"},
    {2002, "Lumière"},
    {2003, "Plasma"},
    {2004, "Solide"},
    {2050, "Luminosité"},
    {2051, "Gamma"},
    {2052, "Rugosité"},
    {2053, "Opacité"},
    {2101, " (recherche)"},
    {2102, " (aperçu)"},
    {2103, " (aucun attracteur)"},
    {2104, " (rendu en cours)"},
    {2105, " (rendu)"},
    {2150, "Sans Titre "},
    {2151, "temps restant : "},
    {2152, "temps total : "},
    {2153, "i/s : "},
    {2154, "Paramètres attracteur (*.vtc)|*.vtc"},
    {2201, "Itérations"},
    {2300, "Largeur"},
    {2301, "Hauteur"},
    {2302, "Mises à jour"},
    {2303, "Echelle"},
    {3000, "Impossible de créer le fichier %s"},
    {3001, "Impossible d'ouvrir le fichier %s"},
    {3002, "L'en-tête du fichier %s ne nomme aucune famille d'attracteur"},
};

constexpr bool IsSorted() {
    for (std::size_t i = 1; i < std::size(kTable); ++i) {
        if (kTable[i - 1].id >= kTable[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(IsSorted(), "the string table must be sorted by id");

} // namespace

std::string_view LoadStr(int id) {
    const auto* const end = std::end(kTable);
    const auto* const it = std::lower_bound(std::begin(kTable), end, id,
                                            [](const Entry& e, int key) { return e.id < key; });
    return (it != end && it->id == id) ? it->text : std::string_view{};
}

} // namespace vorticel
