// Errors of the parameter file and the lookup of the family a file names.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace vorticel {

class FileError : public std::runtime_error {
public:
    enum class Kind { Create, Open };
    FileError(Kind kind, std::string fileName);

    Kind kind() const { return kind_; }
    const std::string& fileName() const { return fileName_; }

private:
    Kind kind_;
    std::string fileName_;
};

// The family index named by the header line of `fileName`; nullopt when the header names none.
// Throws FileError when the file cannot be opened.
std::optional<int> ReadFamilyIndex(const std::string& fileName);

// The whole parameter file as it is written to disk (Windows-1252, CRLF line ends).
std::string EncodeParameterFile(const class Attractor& attractor);

} // namespace vorticel
