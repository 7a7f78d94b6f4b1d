#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform::ole {

// Result codes of the object-linking layer, as the published object-linking documents number
// them, so that a code in an error box means the same everywhere.
namespace codes {
inline constexpr std::uint32_t Fail = 0x80004005; // unspecified failure
inline constexpr std::uint32_t OutOfMemory = 0x8007000E;
inline constexpr std::uint32_t InvalidArgument = 0x80070057;
inline constexpr std::uint32_t FileNotFound = 0x80030002;   // no stream of that name
inline constexpr std::uint32_t InvalidHeader = 0x800300FB;  // not a compound document
inline constexpr std::uint32_t DocfileCorrupt = 0x80030109; // a damaged compound document
inline constexpr std::uint32_t ClassNotRegistered = 0x80040154;
inline constexpr std::uint32_t InvalidVerb = 0x80040145; // the object has no such verb
inline constexpr std::uint32_t NotRunning = 0x80040005;
inline constexpr std::uint32_t ServerFailed = 0x80080005; // the server could not be started
} // namespace codes

// A failure of the object-linking layer: a result code and, for the person reading the error,
// what exactly was wrong (empty when there is nothing to add to the code).
class OleError : public std::runtime_error {
public:
    OleError(std::uint32_t code, const std::string& detail)
        : std::runtime_error(detail)
        , code_(code)
    {}
    std::uint32_t code() const { return code_; }

private:
    std::uint32_t code_;
};

} // namespace platform::ole
