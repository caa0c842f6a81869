// Reading regular files, refusing what is no regular file instead of waiting on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorticel {

// A regular file open for reading, in pieces, up to a bound. A link is followed. A folder,
// device or named pipe is refused at once (a pipe without a writer would block forever, a
// device may never end). Throws FileError.
class RegularFileReader {
public:
    // Opens and checks `fileName`; reading more than `maxBytes` from it is refused.
    RegularFileReader(const std::string& fileName, std::size_t maxBytes);
    ~RegularFileReader();
    RegularFileReader(const RegularFileReader&) = delete;
    RegularFileReader& operator=(const RegularFileReader&) = delete;

    // Up to `size` bytes into `data`: fewer only at the end of the file, 0 there. Throws
    // FileError when the read fails or the file goes past the bound.
    std::size_t Read(char* data, std::size_t size);

    const std::string& fileName() const { return fileName_; }
    // The file's size when it was opened, in bytes.
    std::uint64_t size() const { return size_; }

private:
    std::string fileName_;
    std::size_t maxBytes_;
    std::size_t readSoFar_ = 0;
    std::uint64_t size_ = 0;
    int fd_ = -1;
};

// The bytes of `fileName`, read whole through a RegularFileReader: a file of more than
// `maxBytes` is refused. Throws FileError.
std::string ReadRegularFile(const std::string& fileName, std::size_t maxBytes);

} // namespace vorticel
