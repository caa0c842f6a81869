// The parameter file as bytes, and the lookup of the family a file names.
#pragma once

#include "attractor/file_io.h"

#include <optional>
#include <string>

namespace vorticel {

// The family index named by the header line of `fileName`; nullopt when the header names none.
// Throws FileError when the file cannot be opened.
std::optional<int> ReadFamilyIndex(const std::string& fileName);

// The whole parameter file as it is written to disk (Windows-1252, CRLF line ends).
std::string EncodeParameterFile(const class Attractor& attractor);

} // namespace vorticel
