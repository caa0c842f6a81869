// Reading a small file whole, refusing what is no regular file instead of waiting on it.
#pragma once

#include <cstddef>
#include <string>

namespace vorticel {

// The bytes of `fileName` (a link is followed). A folder, device or named pipe is refused
// at once (a pipe without a writer would block forever, a device may never end), and so
// is a file of more than `maxBytes`. Throws FileError.
std::string ReadRegularFile(const std::string& fileName, std::size_t maxBytes);

} // namespace vorticel
