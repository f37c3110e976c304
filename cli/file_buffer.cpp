#include "cli/file_buffer.h"

#include <unistd.h>

#include <cerrno>

namespace vemlari::cli {

FileBuffer::FileBuffer(int fd) : fd_(fd), buffer_(std::size_t{1} << 16) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

bool FileBuffer::drain() {
    const char* p = pbase();
    while (p < pptr() && error_ == 0) {
        const ssize_t n = ::write(fd_, p, static_cast<std::size_t>(pptr() - p));
        if (n > 0) {
            p += n;
        } else if (n == 0 || errno != EINTR) {
            error_ = n == 0 ? EIO : errno;
        }
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
}

FileBuffer::int_type FileBuffer::overflow(int_type c) {
    if (!drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int FileBuffer::sync() { return drain() ? 0 : -1; }

}  // namespace vemlari::cli
