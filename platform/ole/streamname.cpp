#include "platform/ole/streamname.h"

#include <QString>

namespace platform::ole {

std::string displayName(std::u16string_view name)
{
    std::string shown;
    std::u16string rest;
    auto flush = [&] {
        shown += QString::fromStdU16String(rest).toStdString();
        rest.clear();
    };
    for (char16_t c : name) {
        if (c < 0x20) {
            flush();
            shown += '\\' + std::to_string(unsigned(c));
        } else {
            rest += c;
        }
    }
    flush();
    return shown;
}

} // namespace platform::ole
