// The parameter file: its bytes, its lines, and the lookup of the family a file names.
#pragma once

#include "io/file_error.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorticel {

class Attractor;
class ParameterList;

// No line the program writes comes near this (the largest double in fixed point, with its
// name, takes some 330 characters); a longer line is no line of a parameter file.
constexpr std::size_t kMaxParameterLineLength = 1024;
// Parameter files hold a few dozen short lines.
constexpr std::size_t kMaxParameterFileBytes = std::size_t{1} << 20;

// A parameter file's lines, decoded to UTF-8 (Windows-1252 where a line is not UTF-8).
struct ParameterFileText {
    std::string header;             // the first line, without its line end
    std::vector<std::string> lines; // the others, without their line feeds
    // The number (1 = the header) of the first line longer than kMaxParameterLineLength; 0
    // when there is none, and then no line was cut.
    std::size_t firstLongLine = 0;
};

// Splits the bytes of a parameter file into lines at each line feed; a last line without
// one counts too.
ParameterFileText SplitParameterFile(std::string_view bytes);

// Reads and splits a parameter file; throws FileError when it cannot be read, is no regular
// file, is too large or holds a line that is too long.
ParameterFileText ReadParameterFile(const std::string& fileName);

struct OutOfRangeLine {
    std::size_t number = 0; // in the file (1 = the header)
    std::string text;       // without its line end
    std::string name;       // the parameter's
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
};
// The first of `lines` (the lines after the header) that gives an integer parameter a value
// outside its bounds; nullopt when none does. A fraction is dropped first, as the value is
// stored (3.9 stores 3). The bounds of an integer are the palette's limits; those of a real
// only the search's range, so a real is never out of range.
std::optional<OutOfRangeLine> FindOutOfRangeLine(const ParameterList& parameters,
                                                 const std::vector<std::string>& lines);

// Applies each line in order (a later duplicate wins); the number of lines that set a
// parameter.
std::size_t ApplyParameterLines(const ParameterList& parameters,
                                const std::vector<std::string>& lines);

// The family index named by the header line of `fileName`; nullopt when the header names none.
// Throws FileError as ReadParameterFile does.
std::optional<int> ReadFamilyIndex(const std::string& fileName);

// The whole parameter file as it is written to disk (Windows-1252, CRLF line ends).
std::string EncodeParameterFile(const Attractor& attractor);

} // namespace vorticel
