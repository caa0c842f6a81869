// File errors and the replace-by-rename write shared by every file the program saves.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

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

// Writes `contents` to a new file beside `fileName` and renames it over `fileName`, so a
// failed write never leaves a half-written file where a good one stood. The new file keeps
// the permissions of the one it replaces. Throws FileError (Create) on failure.
void WriteFileReplacing(const std::string& fileName, std::string_view contents);

} // namespace vorticel
