#pragma once

#include "platform/shellcopy/copyobserver.h"
#include "platform/shellcopy/fileio.h"

#include <cstdint>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace shellcopy {

struct CopyResult {
    enum Outcome { Done, Cancelled, Failed };
    Outcome outcome = Done;
    // What the error dialog says when the copy failed.
    std::string message;
};

// Copies one file or folder, with everything in it, to one destination, the way a desktop copy
// does: an existing folder receives the source under its own name, a missing one is created
// once the observer agrees, an existing file is replaced only when the observer says so.
// Every file is written under a temporary name beside its target and renamed into place when
// complete, so a target is either the old file or the whole new one. The source is only read.
class Copier {
public:
    explicit Copier(CopyObserver& observer, const FileIo& io = FileIo::system());

    // Paths are this system's; relative ones are taken from the current directory.
    CopyResult copy(const std::string& source, const std::string& destination);

private:
    struct Entry {
        std::string relative;
        std::size_t parent;
        struct stat st;
    };

    void run(const std::string& source, const std::string& destination);
    void refuseSelfCopy(const std::string& source, const struct stat& st,
                        const std::string& target);
    void makeFolders(const std::string& folder);
    void plan(const std::string& source, const struct stat& st);
    void execute(const std::string& source, const std::string& target);
    void finishFolders(const std::string& target, const std::vector<std::size_t>& created);
    enum class Target { Absent, Replace, Skip };
    Target existingTarget(const std::string& from, const std::string& to, const struct stat& st);
    void copyFile(const std::string& from, const std::string& to, const struct stat& st,
                  bool targetExists);
    int openAnonymous(const std::string& to, mode_t mode);
    void linkAnonymous(int fd, const std::string& to);
    void transfer(int in, int out, const std::string& from, const std::string& to,
                  std::uint64_t size);
    void readWrite(int in, int out, const std::string& from, const std::string& to);
    void copyLink(const std::string& from, const std::string& to, const struct stat& st);
    void advance(std::uint64_t bytes);
    void checkCancelled();

    CopyObserver& observer_;
    const FileIo& io_;
    std::vector<Entry> entries_;
    std::vector<char> buffer_;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    bool replaceAll_ = false;
    // What the file systems of this copy turned out not to support: not tried again for the
    // next file.
    bool cloneWorks_ = true;
    bool rangeWorks_ = true;
    bool anonymousWorks_ = true;
    // The process's file-creation mask, when it can be read without changing it.
    int umask_ = -1;
};

} // namespace shellcopy
