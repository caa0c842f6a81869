// Saving a file by replacement: the one way the program writes the files it saves.
//
// The bytes go to a temporary file beside the target, which is synced and renamed over the
// target only once complete, so a failed or interrupted save leaves the old file as it was.
// The temporary file has no name while it is written (O_TMPFILE), so even a killed process
// leaves nothing; it is linked to a name just before the rename. Where the file system has no
// unnamed files, it is named for its process, and stale ones are swept by the next save.
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

// Where the bytes go while the file is written.
enum class TemporaryKind {
    Unnamed, // an unnamed file where the file system has them, else a named one
    Named,   // a named file in any case (what a file system without unnamed files gets)
};

// One save in progress. The stream throws std::ios_base::failure on the first failed write.
class FileReplacement {
public:
    // Checks the target and creates the temporary file. Throws FileError.
    explicit FileReplacement(const std::string& fileName,
                             TemporaryKind kind = TemporaryKind::Unnamed);
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
    void LinkTemporary();
    [[noreturn]] void Fail(FileError::Kind kind, int error);

    std::string fileName_;  // as the caller named it, for messages
    std::string target_;    // the path that is replaced: the link's target for a link
    std::string folder_;    // the target's folder, where the temporary file is
    std::string temporary_; // its name, once it has one
    std::optional<RegisteredTemporary> registered_; // while the temporary file has a name
    int fd_ = -1;
    bool replacesExisting_ = false;
    mode_t mode_ = 0;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    std::optional<FdStreamBuf> buffer_; // over fd_, once the temporary file exists
    std::ostream stream_{nullptr};
};

} // namespace vorticel
