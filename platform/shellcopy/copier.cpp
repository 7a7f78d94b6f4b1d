#include "platform/shellcopy/copier.h"

#include "platform/shellcopy/copytexts.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace shellcopy {

namespace {

// How the copy ends early; caught at the top of copy().
struct Stop {
    CopyResult result;
};

[[noreturn]] void fail(std::string message)
{
    throw Stop{{CopyResult::Failed, std::move(message)}};
}

constexpr std::size_t rangeChunk = 64u << 20;
constexpr std::size_t bufferSize = 256u << 10;

// Errors after which trying another way to move the bytes only repeats the failure.
bool isFinal(int error)
{
    return error == EIO || error == ENOSPC || error == EDQUOT;
}

// Errors with which a file system says it cannot share blocks at all.
bool cloneUnsupported(int error)
{
    return error == EOPNOTSUPP || error == ENOTTY || error == ENOSYS || error == EXDEV;
}

// The file-creation mask from /proc; umask() itself could only read it by changing it, which
// would race with other threads creating files.
int readUmask()
{
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    char text[4096];
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0)
        return -1;
    text[n] = '\0';
    const char* line = std::strstr(text, "\nUmask:");
    if (!line)
        return -1;
    return int(std::strtol(line + 7, nullptr, 8));
}

// Errors with which copy_file_range says it cannot copy between these two files at all.
bool rangeUnsupported(int error)
{
    return error == ENOSYS || error == EOPNOTSUPP || error == EXDEV || error == EINVAL ||
           error == EBADF || error == ETXTBSY || error == EPERM;
}

std::string join(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

std::string parentOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The name the source has in its folder, even when it is given as "." or "dir/..".
std::string nameOf(const std::string& path)
{
    const std::string trimmed = withoutTrailingSlashes(path);
    const auto slash = trimmed.find_last_of('/');
    std::string name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    if (name == "." || name == ".." || name.empty()) {
        std::error_code ec;
        name = std::filesystem::weakly_canonical(std::filesystem::absolute(trimmed, ec), ec)
                   .filename()
                   .string();
    }
    return name;
}

// The absolute path with every folder on the way resolved; the last name itself is kept, so a
// link is the link and not what it points to.
std::string resolvedParent(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string trimmed = withoutTrailingSlashes(path);
    const fs::path folder = fs::weakly_canonical(fs::absolute(parentOf(trimmed), ec), ec);
    return (folder / nameOf(trimmed)).lexically_normal().string();
}

// A name beside the target that no other file has; the target's name stays readable in it.
std::string temporaryName(const std::string& target)
{
    static std::atomic<std::uint64_t> counter{std::random_device{}()};
    const std::string name = nameOf(target).substr(0, 200);
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%08llx",
                  static_cast<unsigned long long>(counter.fetch_add(0x9E3779B97F4A7C15ull) >> 32));
    return join(parentOf(withoutTrailingSlashes(target)), ".~" + name + suffix);
}

// A file descriptor closed when it goes out of scope.
struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// The temporary file beside a target: removed unless it was renamed into place.
struct TemporaryFile {
    std::string path;
    Fd file;
    bool kept = false;
    ~TemporaryFile()
    {
        if (!kept && !path.empty())
            ::unlink(path.c_str());
    }
};

} // namespace

Copier::Copier(CopyObserver& observer, const FileIo& io)
    : observer_(observer)
    , io_(io)
    , umask_(readUmask())
{}

CopyResult Copier::copy(const std::string& source, const std::string& destination)
{
    entries_.clear();
    total_ = 0;
    done_ = 0;
    try {
        run(source, destination);
        return {};
    } catch (const Stop& stop) {
        return stop.result;
    }
}

void Copier::checkCancelled()
{
    if (observer_.cancelled())
        throw Stop{{CopyResult::Cancelled, {}}};
}

void Copier::advance(std::uint64_t bytes)
{
    done_ += bytes;
    observer_.progress(done_, total_);
}

void Copier::run(const std::string& source, const std::string& destination)
{
    if (source.empty() || destination.empty())
        fail(texts::badRequest());
    struct stat st;
    if (::lstat(source.c_str(), &st) != 0)
        fail(texts::cannotCopy(source, errno));

    std::string target;
    bool createDestination = false;
    struct stat dest;
    if (::stat(destination.c_str(), &dest) == 0) {
        if (S_ISDIR(dest.st_mode))
            target = join(destination, nameOf(source));
        else if (S_ISDIR(st.st_mode))
            fail(texts::cannotCopy(source, ENOTDIR));
        else
            target = destination;
    } else if (errno == ENOENT) {
        createDestination = true;
        target = join(destination, nameOf(source));
    } else {
        fail(texts::cannotWrite(destination, errno));
    }

    // Before anything is created: a refused copy leaves no new folder behind, least of all one
    // inside the source.
    refuseSelfCopy(source, st, target);
    if (createDestination) {
        if (!observer_.confirmCreateFolder(destination))
            throw Stop{{CopyResult::Cancelled, {}}};
        makeFolders(destination);
    }
    plan(source, st);
    observer_.progress(0, total_);
    execute(source, target);
}

void Copier::refuseSelfCopy(const std::string& source, const struct stat& st,
                            const std::string& target)
{
    const std::string from = resolvedParent(source);
    const std::string to = resolvedParent(target);
    if (S_ISDIR(st.st_mode)) {
        if (to == from || to.starts_with(from == "/" ? from : from + '/'))
            fail(texts::intoItself(source));
        return;
    }
    struct stat existing;
    if (to == from || (::lstat(target.c_str(), &existing) == 0 && existing.st_dev == st.st_dev &&
                       existing.st_ino == st.st_ino))
        fail(texts::ontoItself(source));
}

void Copier::makeFolders(const std::string& folder)
{
    // Each missing folder on the way, outermost first, as mkdir -p does.
    std::string path;
    std::size_t pos = 0;
    const std::string trimmed = withoutTrailingSlashes(folder);
    while (pos != std::string::npos) {
        pos = trimmed.find('/', pos + 1);
        path = trimmed.substr(0, pos);
        if (path.empty() || path == "/")
            continue;
        if (::mkdir(path.c_str(), 0777) != 0) {
            const int error = errno;
            struct stat st;
            if (error == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                continue;
            fail(texts::cannotCreateFolder(folder, error));
        }
    }
}

void Copier::plan(const std::string& source, const struct stat& st)
{
    entries_.push_back({std::string(), 0, st});
    // Breadth of folders is walked with an explicit list, so depth costs no stack; links are not
    // followed, so the walk ends.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const struct stat& here = entries_[i].st;
        if (S_ISREG(here.st_mode)) {
            total_ += std::uint64_t(here.st_size);
            continue;
        }
        if (S_ISLNK(here.st_mode))
            continue;
        const std::string path = source + entries_[i].relative;
        if (!S_ISDIR(here.st_mode))
            fail(texts::cannotCopy(path, ENOTSUP));
        DIR* dir = ::opendir(path.c_str());
        if (!dir)
            fail(texts::cannotCopy(path, errno));
        struct Closer {
            DIR* d;
            ~Closer() { ::closedir(d); }
        } closer{dir};
        std::vector<Entry> children;
        errno = 0;
        while (const dirent* d = ::readdir(dir)) {
            const std::string name = d->d_name;
            if (name == "." || name == "..")
                continue;
            Entry child{entries_[i].relative + '/' + name, i, {}};
            if (::fstatat(::dirfd(dir), d->d_name, &child.st, AT_SYMLINK_NOFOLLOW) != 0)
                fail(texts::cannotCopy(path + '/' + name, errno));
            children.push_back(std::move(child));
            errno = 0;
        }
        if (errno != 0)
            fail(texts::cannotCopy(path, errno));
        // Name order, so that questions come in an order a person can follow.
        std::sort(children.begin(), children.end(),
                  [](const Entry& a, const Entry& b) { return a.relative < b.relative; });
        for (Entry& child : children)
            entries_.push_back(std::move(child));
    }
}

void Copier::execute(const std::string& source, const std::string& target)
{
    // Folders this copy created: they are empty at first, so nothing in them needs a question,
    // and they get their source's mode and times once their contents are in.
    std::vector<bool> fresh(entries_.size(), false);
    std::vector<std::size_t> created;
    try {
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            checkCancelled();
            const Entry& e = entries_[i];
            const std::string from = source + e.relative;
            const std::string to = target + e.relative;
            const bool parentFresh = i > 0 && fresh[e.parent];
            if (S_ISDIR(e.st.st_mode)) {
                struct stat existing;
                if (!parentFresh && ::lstat(to.c_str(), &existing) == 0) {
                    if (!S_ISDIR(existing.st_mode))
                        fail(texts::cannotWrite(to, EEXIST));
                    continue;
                }
                if (::mkdir(to.c_str(), 0700) != 0)
                    fail(texts::cannotWrite(to, errno));
                fresh[i] = true;
                created.push_back(i);
                continue;
            }
            const Target existing = parentFresh ? Target::Absent : existingTarget(from, to, e.st);
            if (existing == Target::Skip) {
                if (S_ISREG(e.st.st_mode))
                    advance(std::uint64_t(e.st.st_size));
                continue;
            }
            if (S_ISLNK(e.st.st_mode))
                copyLink(from, to, e.st);
            else
                copyFile(from, to, e.st, existing == Target::Replace);
        }
    } catch (const Stop&) {
        finishFolders(target, created);
        throw;
    }
    finishFolders(target, created);
}

void Copier::finishFolders(const std::string& target, const std::vector<std::size_t>& created)
{
    // Innermost first: setting a folder's time before its contents change would be undone.
    for (auto it = created.rbegin(); it != created.rend(); ++it) {
        const Entry& e = entries_[*it];
        const std::string to = target + e.relative;
        ::chmod(to.c_str(), e.st.st_mode & 01777);
        const timespec times[2] = {e.st.st_atim, e.st.st_mtim};
        ::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
}

Copier::Target Copier::existingTarget(const std::string& from, const std::string& to,
                                      const struct stat& st)
{
    struct stat existing;
    if (::lstat(to.c_str(), &existing) != 0)
        return Target::Absent;
    if (S_ISDIR(existing.st_mode))
        fail(texts::cannotWrite(to, EISDIR));
    if (existing.st_dev == st.st_dev && existing.st_ino == st.st_ino)
        fail(texts::ontoItself(from));
    if (replaceAll_)
        return Target::Replace;
    switch (observer_.askReplace(to)) {
    case ReplaceAnswer::Replace:
        return Target::Replace;
    case ReplaceAnswer::ReplaceAll:
        replaceAll_ = true;
        return Target::Replace;
    case ReplaceAnswer::Skip:
        return Target::Skip;
    case ReplaceAnswer::Cancel:
        break;
    }
    throw Stop{{CopyResult::Cancelled, {}}};
}

int Copier::openAnonymous(const std::string& to, mode_t mode)
{
    if (!anonymousWorks_)
        return -1;
    const int fd = ::open(parentOf(withoutTrailingSlashes(to)).c_str(),
                          O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        anonymousWorks_ = false;
    return fd;
}

void Copier::linkAnonymous(int fd, const std::string& to)
{
    // By the descriptor itself where the process may (it takes CAP_DAC_READ_SEARCH), else by its
    // name under /proc.
    if (::linkat(fd, "", AT_FDCWD, to.c_str(), AT_EMPTY_PATH) == 0)
        return;
    char proc[40];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    if (::linkat(AT_FDCWD, proc, AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) != 0)
        fail(texts::cannotWrite(to, errno));
}

void Copier::copyFile(const std::string& from, const std::string& to, const struct stat& st,
                      bool targetExists)
{
    Fd in{::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW)};
    if (in.fd < 0)
        fail(texts::cannotCopy(from, errno));
    // Set-id bits are not carried over: the copy belongs to whoever made it. The file is made
    // with its final mode, so it needs no second call unless the creation mask takes bits away.
    const mode_t mode = st.st_mode & 01777;
    const bool masked = umask_ < 0 || (mode & mode_t(umask_)) != 0;
    const mode_t createMode = masked ? 0600 : mode;

    // Where no file is in the way, the copy is written into a file without a name in the
    // target's folder and given its name when complete: whatever stops the copy, even the end
    // of the process, leaves nothing behind. A file being replaced is written under a temporary
    // name and renamed over it, so the old one stays until the new one is whole.
    TemporaryFile temp;
    if (!targetExists)
        temp.file.fd = openAnonymous(to, createMode);
    const bool anonymous = temp.file.fd >= 0;
    for (int attempt = 0; attempt < 100 && temp.file.fd < 0; ++attempt) {
        temp.path = temporaryName(to);
        temp.file.fd =
            ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
        if (temp.file.fd < 0 && errno != EEXIST) {
            const int error = errno;
            temp.path.clear();
            fail(texts::cannotWrite(to, error));
        }
    }
    if (temp.file.fd < 0) {
        temp.path.clear();
        fail(texts::cannotWrite(to, EEXIST));
    }

    transfer(in.fd, temp.file.fd, from, to, std::uint64_t(st.st_size));

    if (masked && ::fchmod(temp.file.fd, mode) != 0)
        fail(texts::cannotWrite(to, errno));
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(temp.file.fd, times) != 0)
        fail(texts::cannotWrite(to, errno));
    if (anonymous) {
        linkAnonymous(temp.file.fd, to);
        const int fd = temp.file.fd;
        temp.file.fd = -1;
        if (::close(fd) != 0) {
            const int error = errno;
            ::unlink(to.c_str());
            fail(texts::cannotWrite(to, error));
        }
        return;
    }
    const int fd = temp.file.fd;
    temp.file.fd = -1;
    if (::close(fd) != 0)
        fail(texts::cannotWrite(to, errno));
    if (::rename(temp.path.c_str(), to.c_str()) != 0)
        fail(texts::cannotWrite(to, errno));
    temp.kept = true;
}

void Copier::transfer(int in, int out, const std::string& from, const std::string& to,
                      std::uint64_t size)
{
    // The order GNU cp tries: share the blocks, then let the kernel copy, then copy ourselves.
    if (size > 0 && cloneWorks_) {
        checkCancelled();
        if (io_.clone(out, in) == 0) {
            advance(size);
            return;
        }
        if (isFinal(errno))
            fail(texts::cannotWrite(to, errno));
        if (cloneUnsupported(errno))
            cloneWorks_ = false;
    }
    std::uint64_t copied = 0;
    while (rangeWorks_) {
        checkCancelled();
        const ssize_t n = io_.copyRange(in, out, rangeChunk);
        if (n > 0) {
            copied += std::uint64_t(n);
            advance(std::uint64_t(n));
            // The size the file had when it was looked at: asking for more only to learn that
            // the end is reached costs a call per file.
            if (copied == size)
                return;
            continue;
        }
        if (n == 0) {
            // Files that report their size as zero (as in /proc) yield nothing here.
            if (copied == 0)
                break;
            return;
        }
        if (errno == EINTR)
            continue;
        if (isFinal(errno) || !rangeUnsupported(errno))
            fail(texts::cannotWrite(to, errno));
        // Unsupported between these file systems: the rest of the copy reads and writes.
        if (errno != EINVAL && errno != EBADF && errno != ETXTBSY)
            rangeWorks_ = false;
        break;
    }
    readWrite(in, out, from, to);
}

void Copier::readWrite(int in, int out, const std::string& from, const std::string& to)
{
    buffer_.resize(bufferSize);
    for (;;) {
        checkCancelled();
        const ssize_t n = io_.read(in, buffer_.data(), buffer_.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(texts::cannotCopy(from, errno));
        }
        if (n == 0)
            return;
        std::size_t written = 0;
        while (written < std::size_t(n)) {
            const ssize_t w = io_.write(out, buffer_.data() + written, std::size_t(n) - written);
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                fail(texts::cannotWrite(to, errno));
            }
            if (w == 0)
                fail(texts::cannotWrite(to, EIO));
            written += std::size_t(w);
        }
        advance(std::uint64_t(n));
    }
}

void Copier::copyLink(const std::string& from, const std::string& to, const struct stat& st)
{
    std::string text(std::max<std::size_t>(std::size_t(st.st_size), 256) + 1, '\0');
    ssize_t n = -1;
    // A link's text may have grown since it was looked at; bounded by the system's path limit.
    while ((n = ::readlink(from.c_str(), text.data(), text.size())) == ssize_t(text.size()) &&
           text.size() < (1u << 20))
        text.resize(text.size() * 2);
    if (n < 0)
        fail(texts::cannotCopy(from, errno));
    if (n == ssize_t(text.size()))
        fail(texts::cannotCopy(from, ENAMETOOLONG));
    text.resize(std::size_t(n));

    std::string temp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = temporaryName(to);
        if (::symlink(text.c_str(), temp.c_str()) == 0)
            break;
        if (errno != EEXIST)
            fail(texts::cannotWrite(to, errno));
        temp.clear();
    }
    if (temp.empty())
        fail(texts::cannotWrite(to, EEXIST));
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, temp.c_str(), times, AT_SYMLINK_NOFOLLOW);
    if (::rename(temp.c_str(), to.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        fail(texts::cannotWrite(to, error));
    }
}

} // namespace shellcopy
