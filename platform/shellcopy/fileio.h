#pragma once

#include <cstddef>
#include <sys/types.h>

namespace shellcopy {

// The system calls that move a file's bytes, as a table so that tests can make one of them fail
// half-way. Each returns what the system call returns and leaves its reason in errno.
struct FileIo {
    int (*clone)(int out, int in);
    ssize_t (*copyRange)(int in, int out, std::size_t length);
    ssize_t (*read)(int fd, void* buffer, std::size_t length);
    ssize_t (*write)(int fd, const void* buffer, std::size_t length);

    static const FileIo& system();
};

} // namespace shellcopy
