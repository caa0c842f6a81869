// The interface string table: every visible text, looked up by numeric id (UTF-8).
#pragma once

#include <string_view>

namespace vorticel {

// Ids with a meaning in code; the table itself lists every text.
enum StringId : int {
    kStrFamilyFirst = 1000, // family names at 1000 + 2 * family index
    kStrDegree = 1500,
    kStrRendererFirst = 2000, // renderer names at 2000 + renderer kind
    kStrLuminosity = 2050,
    kStrGamma = 2051,
    kStrRoughness = 2052,
    kStrOpacity = 2053,
    kStrStateSuffixFirst = 2100, // view-state suffixes at 2100 + state
    kStrUntitled = 2150,
    kStrRemainingTime = 2151,
    kStrTotalTime = 2152,
    kStrRate = 2153,
    kStrParameterFilter = 2154,
    kStrIterations = 2201,
    kStrWidth = 2300,
    kStrHeight = 2301,
    kStrUpdates = 2302,
    kStrScale = 2303,
    kStrCannotCreateFile = 3000, // "%s" stands for the file name
    kStrCannotOpenFile = 3001,
    kStrHeaderNamesNoFamily = 3002,
};

// The text of `id`; empty for an id the table does not hold.
std::string_view LoadStr(int id);

inline std::string_view FamilyName(int familyIndex) {
    return LoadStr(kStrFamilyFirst + 2 * familyIndex);
}

} // namespace vorticel
