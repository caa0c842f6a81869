// Writing files by replacement, and the file error.
#include "attractor/file_io.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace vorticel {
namespace {

std::string DirectoryOf(const std::string& fileName) {
    const std::size_t slash = fileName.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : fileName.substr(0, slash);
}

// Permissions for a new file: those of the file it replaces, else the umask's default.
mode_t ModeFor(const std::string& fileName) {
    struct stat existing {};
    if (stat(fileName.c_str(), &existing) == 0) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string DescribeError(FileError::Kind kind, const std::string& fileName) {
    return (kind == FileError::Kind::Create ? "cannot create file " : "cannot open file ") +
           fileName;
}

} // namespace

FileError::FileError(Kind kind, std::string fileName)
    : std::runtime_error(DescribeError(kind, fileName)), kind_(kind),
      fileName_(std::move(fileName)) {}

void WriteFileReplacing(const std::string& fileName, std::string_view contents) {
    std::string temporary = DirectoryOf(fileName) + "/.vorticel-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        throw FileError(FileError::Kind::Create, fileName);
    }
    const bool written = fchmod(fd, ModeFor(fileName)) == 0 && WriteAll(fd, contents);
    const bool closed = close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw FileError(FileError::Kind::Create, fileName);
    }
}

} // namespace vorticel
