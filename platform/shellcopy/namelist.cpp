#include "platform/shellcopy/namelist.h"

namespace shellcopy {

NameList::Result NameList::parse(std::string_view bytes)
{
    Result result;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find('\0', pos);
        if (end == std::string_view::npos)
            break;
        if (end == pos) {
            result.ok = true;
            return result;
        }
        result.names.emplace_back(bytes.substr(pos, end - pos));
        pos = end + 1;
    }
    result.names.clear();
    result.errorOffset = bytes.size();
    return result;
}

} // namespace shellcopy
