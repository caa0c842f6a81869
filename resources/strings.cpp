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
    {3010, "C'est un dossier."},
    {3011, "C'est un périphérique."},
    {3012, "C'est un tube nommé."},
    {3013, "Ce n'est pas un fichier ordinaire."},
    {3014, "Le fichier est en lecture seule : rien n'a été écrit."},
    {3015, "Le fichier est trop grand."},
    {3016, "Une ligne du fichier est trop longue."},
    {3017, "Aucun paramètre de l'attracteur n'a été lu."},
    {3018, "Ce n'est pas une image PNG, ou elle est abîmée."},
    {3019, "Cette image ne porte pas la recette d'un attracteur de Vorticel."},
    {3020, "La recette que porte cette image est illisible."},
    {3021, "Image PNG (*.png)|*.png"},
    {3022, "Attracteurs et images (*.vtc *.png)|*.vtc;*.png"},
    {3023, "L'image n'a pas pu être codée en PNG : rien n'a été écrit."},
    {3024, "L'image est plus grande que toutes celles que Vorticel rend."},
    {3025, "Un bloc de texte de l'image dépasse la fin du fichier."},
    {3026, "L'image porte trop de blocs de texte."},
    {3027, "Un texte de l'image est trop long."},
    {3028, "La recette que porte cette image est trop longue."},
    {3030, "La valeur de la ligne %s sort des bornes de son paramètre."},
    {3100, "Vorticel v 0.1"},
    {3101, "Vorticel"},
    {3102, "&Fichier"},
    {3103, "&Nouveau..."},
    {3104, "Ouvrir..."},
    {3105, "Enregistrer l'&attracteur sous..."},
    {3106, "&Enregistrer l'image sous..."},
    {3107, "&Fermer"},
    {3108, "&Quitter"},
    {3109, "Enregistrer sous"},
    {3110, "Bitmap 24 bits (*.bmp)|*.bmp"},
    {3120, "&Attracteur"},
    {3121, "&Rechercher"},
    {3122, "&Démarrer"},
    {3123, "&Arrêter"},
    {3124, "&Vue"},
    {3125, "&Centrer"},
    {3126, "&Ajuster"},
    {3127, "Aj&ustement automatique"},
    {3128, "Vue Ensemble"},
    {3140, "Nouveau"},
    {3141, "Attracteur"},
    {3142, "&type :"},
    {3143, "Image"},
    {3144, "&largeur :"},
    {3145, "&hauteur :"},
    {3146, "&rendu :"},
    {3147, "&OK"},
    {3148, "&Annuler"},
    {3149, "'%s' n'est pas une valeur entière correcte"},
    {3150, "La largeur doit valoir au moins 4."},
    {3151, "La hauteur doit valoir au moins 1."},
    {3152, "Image trop grande : %s"},
    {3153, "Démarrer"},
    {3154, "essai %1 sur %2, %3 acceptés"},
    {3155, "essai %1 sur %2, %3 acceptés, %4 s"},
    {3156, "attracteur"},
    {3157, "vue"},
    {3158, "&Type :"},
    {3159, "&Rendu :"},
    {3160, "OpenGL application error"},
    {3161, "Invalid enum."},
    {3162, "Invalid value."},
    {3163, "Stack overflow."},
    {3164, "Stack underflow."},
    {3165, "Out of memory."},
    {3166, "Failed to find acceptable pixel format."},
    {3167, "Failed to set pixel format."},
    {3168, "Failed to create rendering context."},
    {3169, "Unable to link rendering context."},
    {3170, "Unable to unlink rendering context."},
    {3171, "Unable to delete rendering context."},
    {3200, "&Édition"},
    {3201, "&Annuler"},
    {3202, "&Rétablir"},
    {3203, "rotation"},
    {3204, "déplacement"},
    {3205, "zoom"},
    {3206, "recherche"},
    {3207, "ouverture"},
    {3208, "type d'attracteur"},
    {3209, "rendu"},
    {3220, "Fichiers &récents"},
    {3221, "E&xemples"},
    {3240, "Enregistrer le travail avant de fermer ?"},
    {3241, "%s : image rendue non enregistrée"},
    {3242, "%s : paramètres non enregistrés"},
    {3243, "%s : image rendue et paramètres non enregistrés"},
    {3244, "Fermeture impossible : un rendu est en cours (Arrêter, F5)."},
    {3245, "Fermeture impossible : une recherche est en cours (Arrêter, F5)."},
    {3246, " (rendu, divergé)"},
    {3247, "divergé à l'itération %1 (%2 %)"},
    {3260, "Icône à 16 branches"},
    {3261, "Icône à 3 branches"},
    {3262, "Icône à 6 branches"},
    {3263, "IFS dragon"},
    {3264, "Lorenz papillon"},
    {3265, "Lorenz ruban"},
    {3266, "Pickover nœud"},
    {3267, "Polynôme A ailes"},
    {3268, "Polynôme B voile"},
    {3269, "Polynôme C tulipe"},
    {3270, "Sprott anneau"},
    {3271, "Sprott coquille"},
    {3272, "Unravel éclats"},
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
