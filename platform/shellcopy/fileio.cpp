#include "platform/shellcopy/fileio.h"

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace shellcopy {

namespace {

int systemClone(int out, int in)
{
    return ::ioctl(out, FICLONE, in);
}

ssize_t systemCopyRange(int in, int out, std::size_t length)
{
    return ::copy_file_range(in, nullptr, out, nullptr, length, 0);
}

ssize_t systemRead(int fd, void* buffer, std::size_t length)
{
    return ::read(fd, buffer, length);
}

ssize_t systemWrite(int fd, const void* buffer, std::size_t length)
{
    return ::write(fd, buffer, length);
}

} // namespace

const FileIo& FileIo::system()
{
    static const FileIo io{systemClone, systemCopyRange, systemRead, systemWrite};
    return io;
}

} // namespace shellcopy
