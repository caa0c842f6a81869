// One open without blocking, one check of what was opened, bounded reads.
#include "io/read_file.h"

#include "io/file_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorticel {

RegularFileReader::RegularFileReader(const std::string& fileName, std::size_t maxBytes)
    : fileName_(fileName), maxBytes_(maxBytes) {
    // Without O_NONBLOCK, opening a named pipe would wait for a writer before any check.
    fd_ = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        throw FileError(FileError::Kind::Open, fileName, errno);
    }
    struct stat info {};
    const int error = fstat(fd_, &info) != 0 ? errno : 0;
    try {
        if (error != 0) {
            throw FileError(FileError::Kind::Open, fileName, error);
        }
        RequireRegularFile(FileError::Kind::Open, fileName, info.st_mode);
        size_ = static_cast<std::uint64_t>(info.st_size);
    } catch (...) {
        close(fd_); // no destructor runs for an object whose constructor threw
        throw;
    }
}

RegularFileReader::~RegularFileReader() {
    close(fd_);
}

std::size_t RegularFileReader::Read(char* data, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = read(fd_, data + got, size - got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileError(FileError::Kind::Read, fileName_, errno);
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
        if (got > maxBytes_ - readSoFar_) {
            throw FileError(FileError::Kind::Read, fileName_, FileError::Reason::TooLarge,
                            "it is larger than " + std::to_string(maxBytes_) + " bytes");
        }
    }
    readSoFar_ += got;
    return got;
}

std::string ReadRegularFile(const std::string& fileName, std::size_t maxBytes) {
    RegularFileReader reader(fileName, maxBytes);
    std::string bytes;
    char chunk[1 << 14];
    for (;;) {
        const std::size_t n = reader.Read(chunk, sizeof chunk);
        bytes.append(chunk, n);
        if (n < sizeof chunk) {
            return bytes;
        }
    }
}

} // namespace vorticel
