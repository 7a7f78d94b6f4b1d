#include "platform/sound/soundfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform::sound {

std::optional<std::vector<std::uint8_t>> readSoundFile(const std::string& path)
{
    // Non-blocking, so that opening a pipe with no writer cannot hang before the check below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct Close {
        int fd;
        ~Close() { ::close(fd); }
    } closer{fd};

    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        std::uint64_t(st.st_size) > maxSoundFileBytes)
        return std::nullopt;

    std::vector<std::uint8_t> bytes(std::size_t(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break; // the file shrank while being read: take what is there
        done += std::size_t(n);
    }
    bytes.resize(done);
    return bytes;
}

} // namespace platform::sound
