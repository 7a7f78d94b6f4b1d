#pragma once

#include <cstdint>
#include <string>

namespace shellcopy {

enum class ReplaceAnswer { Replace, ReplaceAll, Skip, Cancel };

// What the copy asks of whoever watches it. The copy calls these on its own thread; the
// answers may take as long as a person takes to give them.
class CopyObserver {
public:
    virtual ~CopyObserver() = default;

    // The destination folder does not exist: may it be created?
    virtual bool confirmCreateFolder(const std::string& folder) = 0;
    // A file of the same name is already at the target.
    virtual ReplaceAnswer askReplace(const std::string& target) = 0;
    // Bytes written so far out of the bytes the copy will write; called after every chunk.
    virtual void progress(std::uint64_t done, std::uint64_t total) = 0;
    // Asked between chunks; true ends the copy, removing the file being written.
    virtual bool cancelled() = 0;
};

} // namespace shellcopy
