#include "forms/exclusivefile.h"

#include "forms/exception.h"
#include "forms/messages.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace forms {

namespace {

// Takes a lease of the given kind and gives it back. 1: granted, 0: another descriptor is in
// the way, -1: the kernel does not give us this kind of lease here.
int probeLease(int fd, int kind)
{
    if (fcntl(fd, F_SETLEASE, kind) == 0) {
        fcntl(fd, F_SETLEASE, F_UNLCK);
        return 1;
    }
    return errno == EAGAIN || errno == EBUSY ? 0 : -1;
}

} // namespace

ExclusiveFile::ExclusiveFile(const QString& fileName)
{
    const auto fail = [&] {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        return Exception::fmt(QString::fromUtf8(messages::CannotOpenFile), fileName);
    };
    const QByteArray path = QFile::encodeName(fileName);
    // Non-blocking: a file another process holds a lease on fails at once instead of waiting
    // for that lease to be broken, and a pipe never blocks the open.
    do {
        fd_ = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        throw fail();
    struct stat st {};
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))
        throw fail();
    // If another process opens the file in the moment the lease is held, the kernel signals
    // the holder (SIGIO unless told otherwise, which would end the program): SIGURG is ignored
    // unless somebody handles it.
    fcntl(fd_, F_SETSIG, SIGURG);
    switch (probeLease(fd_, F_WRLCK)) {
    case 1:
        check_ = Check::NoOtherDescriptor;
        break;
    case 0:
        throw fail();
    default:
        switch (probeLease(fd_, F_RDLCK)) {
        case 1:
            check_ = Check::NoWriter;
            break;
        case 0:
            throw fail();
        default:
            check_ = Check::Unchecked;
            break;
        }
    }
    const int flags = fcntl(fd_, F_GETFL);
    if (flags >= 0)
        fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
}

ExclusiveFile::~ExclusiveFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<std::size_t> ExclusiveFile::read(std::span<char> buffer)
{
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        const ssize_t n = ::read(fd_, buffer.data() + filled, buffer.size() - filled);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (n == 0)
            break;
        filled += std::size_t(n);
    }
    return filled;
}

bool ExclusiveFile::rewind()
{
    return ::lseek(fd_, 0, SEEK_SET) == 0;
}

} // namespace forms
