// Buffered write(2) calls; after the first failure nothing more is written.
#include "io/fd_streambuf.h"

#include <cerrno>
#include <unistd.h>

namespace vorticel {

FdStreamBuf::FdStreamBuf(int fd) : fd_(fd), buffer_(kBufferSize) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

bool FdStreamBuf::WriteOut(const char* data, std::size_t count) {
    while (count > 0 && error_ == 0) {
        const ssize_t n = write(fd_, data, count);
        if (n < 0) {
            if (errno != EINTR) {
                error_ = errno;
            }
            continue;
        }
        data += n;
        count -= static_cast<std::size_t>(n);
    }
    return error_ == 0;
}

bool FdStreamBuf::Drain() {
    const bool ok = WriteOut(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return ok;
}

FdStreamBuf::int_type FdStreamBuf::overflow(int_type c) {
    if (!Drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize FdStreamBuf::xsputn(const char* data, std::streamsize count) {
    const auto room = static_cast<std::streamsize>(epptr() - pptr());
    if (count <= room) {
        traits_type::copy(pptr(), data, static_cast<std::size_t>(count));
        pbump(static_cast<int>(count));
        return count;
    }
    // Large blocks (image rows) go straight to the file.
    if (!Drain() || !WriteOut(data, static_cast<std::size_t>(count))) {
        return 0;
    }
    return count;
}

int FdStreamBuf::sync() {
    return Drain() ? 0 : -1;
}

} // namespace vorticel
