// Saving a file by replacement: the one way the program writes the files it saves.
//
// The bytes go to a temporary file beside the target, which is synced and renamed over the
// target only once complete, so a failed or interrupted save leaves the old file as it was.
// A symbolic link is followed: its target is replaced and the link stays. The replaced file
// keeps its mode (and its owner where the system allows). A path where a folder, device or
// named pipe stands, or a read-only file, is refused before anything is written.
#pragma once

#include "io/fd_streambuf.h"
#include "io/file_error.h"
#include "io/temporary_files.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace vorticel {

// Fills the file through `out`. Whatever it throws ends the save with nothing replaced.
using FileContentWriter = std::function<void(std::ostream& out)>;

// Writes `contents` into `fileName` by replacement. Throws FileError.
void WriteFileReplacing(const std::string& fileName, std::string_view contents);
// Writes what `write` puts into the stream into `fileName` by replacement. Throws
// FileError, or what `write` throws (the temporary file is removed either way).
void WriteFileReplacing(const std::string& fileName, const FileContentWriter& write);

// Checks, without writing anything, that `fileName` could be saved: its target is a regular
// file that is not read-only, or a new name in a folder that exists. Throws FileError. For
// long jobs that would otherwise learn it only at the end.
void CheckReplaceable(const std::string& fileName);

// One save in progress. The stream throws std::ios_base::failure on the first failed write.
class FileReplacement {
public:
    // Checks the target and creates the temporary file. Throws FileError.
    explicit FileReplacement(const std::string& fileName);
    // Removes the temporary file unless Commit succeeded.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    std::ostream& Stream() { return stream_; }
    // Flushes and syncs the temporary file, gives it the mode and owner of the file it
    // replaces and renames it over the target. Throws FileError; the old file is then intact.
    void Commit();

private:
    void Discard();
    [[noreturn]] void Fail(FileError::Kind kind, int error);

    std::string fileName_; // as the caller named it, for messages
    std::string target_;   // the path that is replaced: the link's target for a link
    std::string temporary_;
    std::optional<RegisteredTemporary> registered_;
    int fd_ = -1;
    bool replacesExisting_ = false;
    mode_t mode_ = 0;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    std::optional<FdStreamBuf> buffer_; // over fd_, once the temporary file exists
    std::ostream stream_{nullptr};
};

} // namespace vorticel
