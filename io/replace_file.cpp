// Replace-by-rename with the checks a careful editor makes before it overwrites a file.
#include "io/replace_file.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorticel {
namespace {

constexpr int kMaxLinks = 40; // as the kernel's own limit on a chain of links
constexpr char kNameCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// What a save would replace.
struct Target {
    std::string path; // the final target of any chain of links
    bool exists = false;
    struct stat info {};
};

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows `fileName` through any links to the file a save must replace.
Target Resolve(const std::string& fileName) {
    Target target;
    target.path = fileName;
    for (int links = 0;; ++links) {
        if (lstat(target.path.c_str(), &target.info) != 0) {
            if (errno == ENOENT) {
                return target; // a new name (the folder is checked when the file is made)
            }
            throw FileError(FileError::Kind::Create, fileName, errno);
        }
        if (!S_ISLNK(target.info.st_mode)) {
            target.exists = true;
            return target;
        }
        if (links == kMaxLinks) {
            throw FileError(FileError::Kind::Create, fileName, ELOOP);
        }
        char link[PATH_MAX];
        const ssize_t n = readlink(target.path.c_str(), link, sizeof link);
        if (n < 0 || n == static_cast<ssize_t>(sizeof link)) {
            throw FileError(FileError::Kind::Create, fileName, n < 0 ? errno : ENAMETOOLONG);
        }
        const std::string to(link, static_cast<std::size_t>(n));
        target.path = (!to.empty() && to.front() == '/') ? to : DirectoryOf(target.path) + "/" + to;
    }
}

// Read-only as an editor sees it. The superuser may write anything, so for it only the
// mode bits tell; for anyone else the system's own answer (groups, access lists) does.
bool IsReadOnly(const Target& target, int& error) {
    error = 0;
    if (geteuid() == 0) {
        return (target.info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    }
    if (faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) == 0) {
        return false;
    }
    if (errno != EACCES) {
        error = errno; // a read-only file system, for one
    }
    return error == 0;
}

// Refuses what no save may replace: anything but a regular file, or a read-only one.
void RefuseUnwritable(const std::string& fileName, const Target& target) {
    if (!target.exists) {
        return;
    }
    RequireRegularFile(FileError::Kind::Create, fileName, target.info.st_mode);
    int error = 0;
    if (IsReadOnly(target, error)) {
        throw FileError(FileError::Kind::Create, fileName, FileError::Reason::ReadOnly,
                        "the file is read-only");
    }
    if (error != 0) {
        throw FileError(FileError::Kind::Create, fileName, error);
    }
}

mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

FileReplacement::FileReplacement(const std::string& fileName, TemporaryKind kind)
    : fileName_(fileName) {
    const Target target = Resolve(fileName);
    RefuseUnwritable(fileName, target);
    target_ = target.path;
    replacesExisting_ = target.exists;
    mode_ = target.exists ? (target.info.st_mode & 07777) : NewFileMode();
    owner_ = target.info.st_uid;
    group_ = target.info.st_gid;

    folder_ = DirectoryOf(target_);
    SweepStaleTemporaries(folder_);
    if (kind == TemporaryKind::Unnamed) {
        fd_ = open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    }
    if (fd_ < 0) {
        // No unnamed files here (or none asked for): a named one, which tells a later save
        // whose it was. An error that is no lack of O_TMPFILE recurs, and is reported, here.
        temporary_ = TemporaryNamePrefix(folder_) + "XXXXXX";
        fd_ = mkostemp(temporary_.data(), O_CLOEXEC);
        if (fd_ < 0) {
            throw FileError(FileError::Kind::Create, fileName, errno);
        }
        registered_.emplace(temporary_);
    }
    buffer_.emplace(fd_);
    stream_.rdbuf(&*buffer_);
    stream_.exceptions(std::ios::badbit);
}

FileReplacement::~FileReplacement() {
    Discard();
}

void FileReplacement::Discard() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (registered_) {
        unlink(temporary_.c_str());
        registered_.reset();
    }
}

// Gives the unnamed file a name of this process beside the target, for the rename: a link
// cannot replace a file. Through /proc, as any user may; without /proc, as only the privileged
// may.
void FileReplacement::LinkTemporary() {
    const std::string prefix = TemporaryNamePrefix(folder_);
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    const auto now =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (std::uint64_t attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        std::uint64_t bits = (now + attempt) * 0x9E3779B97F4A7C15u;
        for (int i = 0; i < 6; ++i, bits >>= 6) {
            name += kNameCharacters[bits % (sizeof kNameCharacters - 1)];
        }
        int linked = linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno == ENOENT) {
            linked = linkat(fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
        }
        if (linked == 0) {
            temporary_ = std::move(name);
            registered_.emplace(temporary_);
            return;
        }
        if (errno != EEXIST) {
            Fail(FileError::Kind::Create, errno);
        }
    }
    Fail(FileError::Kind::Create, EEXIST);
}

void FileReplacement::Fail(FileError::Kind kind, int error) {
    Discard();
    throw FileError(kind, fileName_, error);
}

void FileReplacement::Commit() {
    try {
        stream_.flush();
    } catch (const std::ios_base::failure&) {
    }
    if (buffer_->error() != 0 || !stream_) {
        Fail(FileError::Kind::Write, buffer_->error() != 0 ? buffer_->error() : EIO);
    }
    // The owner first: a change of owner may clear the set-id bits the mode then restores.
    // Only the superuser may give a file away; anyone else keeps their own file.
    if (replacesExisting_ && fchown(fd_, owner_, group_) != 0 && errno != EPERM) {
        Fail(FileError::Kind::Write, errno);
    }
    if (fchmod(fd_, mode_) != 0 || fsync(fd_) != 0) {
        Fail(FileError::Kind::Write, errno);
    }
    if (!registered_) {
        LinkTemporary();
    }
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
        Fail(FileError::Kind::Write, errno);
    }
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Fail(FileError::Kind::Create, errno);
    }
    registered_.reset(); // the temporary name is now the file itself
    // The rename itself reaches the disk with the folder; a failure here loses nothing.
    const int folder = open(DirectoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
}

void CheckReplaceable(const std::string& fileName) {
    const Target target = Resolve(fileName);
    RefuseUnwritable(fileName, target);
    if (!target.exists) {
        struct stat folder {};
        const std::string directory = DirectoryOf(target.path);
        if (stat(directory.c_str(), &folder) != 0) {
            throw FileError(FileError::Kind::Create, fileName, errno);
        }
        if (!S_ISDIR(folder.st_mode)) {
            throw FileError(FileError::Kind::Create, fileName, ENOTDIR);
        }
        if (faccessat(AT_FDCWD, directory.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
            throw FileError(FileError::Kind::Create, fileName, errno);
        }
    }
}

void WriteFileReplacing(const std::string& fileName, const FileContentWriter& write) {
    FileReplacement file(fileName);
    try {
        write(file.Stream());
    } catch (const std::ios_base::failure&) {
        // Commit reports the write that failed, with its reason.
    }
    file.Commit();
}

void WriteFileReplacing(const std::string& fileName, std::string_view contents) {
    WriteFileReplacing(fileName, [contents](std::ostream& out) {
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    });
}

} // namespace vorticel
