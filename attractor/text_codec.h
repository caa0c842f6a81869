// Conversions between UTF-8 (inside the program) and Windows-1252 (parameter files).
#pragma once

#include <string>
#include <string_view>

namespace vorticel {

bool IsValidUtf8(std::string_view bytes);
// Characters without a Windows-1252 byte become '?'.
std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view cp1252);
// A line read from a file: kept as it is when it is valid UTF-8, else read as Windows-1252.
std::string DecodeFileText(std::string_view bytes);

} // namespace vorticel
