#include "platform/shellcopy/namelist.h"

#include <gtest/gtest.h>

using shellcopy::NameList;

namespace {

struct ListCase {
    const char* name;
    std::string bytes;
    bool ok;
    std::vector<std::string> names;
};

class NameLists : public ::testing::TestWithParam<ListCase> {};

TEST_P(NameLists, Parse)
{
    const ListCase& c = GetParam();
    const NameList::Result r = NameList::parse(c.bytes);
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.names, c.names);
    if (!c.ok) {
        EXPECT_EQ(r.errorOffset, c.bytes.size());
    }
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    NameList, NameLists,
    ::testing::Values(ListCase{"One", "Veltrassa\0\0"s, true, {"Veltrassa"}},
                      ListCase{"Two", "a\0b c\0\0"s, true, {"a", "b c"}},
                      ListCase{"Empty", "\0"s, true, {}},
                      ListCase{"BytesAfterTheEndIgnored", "a\0\0junk"s, true, {"a"}},
                      ListCase{"NoBytes", ""s, false, {}},
                      ListCase{"OneNulOnly", "Veltrassa\0"s, false, {}},
                      ListCase{"NoNul", "Veltrassa"s, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
