#pragma once

#include "forms/bytesource.h"

#include <QString>

namespace forms {

// A file opened for reading that no other program has open, as far as Linux can tell.
//
// Linux has no share modes, so the check is a file lease, taken and given back at once:
// - a write lease is granted only while no other descriptor of the file is open anywhere (for
//   reading or writing, in any process, this one included), which is what "not shared" means;
// - where the kernel refuses write leases to us (a file of another user without CAP_LEASE, a
//   file system without leases) a read lease still proves that nobody has it open for writing;
// - where both are refused, nothing else on Linux can see other programs' descriptors, so the
//   file is read as it is.
// Only regular files are read: a directory, a device or a pipe fails like a missing file.
class ExclusiveFile final : public ByteSource {
public:
    enum class Check { NoOtherDescriptor, NoWriter, Unchecked };

    // Throws the class library's "cannot open" failure, naming the file as given.
    explicit ExclusiveFile(const QString& fileName);
    ~ExclusiveFile() override;
    ExclusiveFile(const ExclusiveFile&) = delete;
    ExclusiveFile& operator=(const ExclusiveFile&) = delete;

    std::optional<std::size_t> read(std::span<char> buffer) override;
    bool rewind() override;

    // How far the sharing check could go for this file.
    Check check() const { return check_; }

private:
    int fd_ = -1;
    Check check_ = Check::Unchecked;
};

} // namespace forms
