// One open without blocking, one check of what was opened, a bounded read.
#include "io/read_file.h"

#include "io/file_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorticel {
namespace {

// Closes the descriptor on every way out.
class FdCloser {
public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser() { close(fd_); }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

private:
    int fd_;
};

} // namespace

std::string ReadRegularFile(const std::string& fileName, std::size_t maxBytes) {
    // Without O_NONBLOCK, opening a named pipe would wait for a writer before any check.
    const int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw FileError(FileError::Kind::Open, fileName, errno);
    }
    const FdCloser closer(fd);
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        throw FileError(FileError::Kind::Open, fileName, errno);
    }
    RequireRegularFile(FileError::Kind::Open, fileName, info.st_mode);

    std::string bytes;
    char chunk[1 << 14];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileError(FileError::Kind::Read, fileName, errno);
        }
        if (n == 0) {
            return bytes;
        }
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            throw FileError(FileError::Kind::Read, fileName, FileError::Reason::TooLarge,
                            "it is larger than " + std::to_string(maxBytes) + " bytes");
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
}

} // namespace vorticel
