#pragma once

#include "formats/richtext/issue.h"

#include <vector>

namespace formats::richtext {

// The issues of one read: the first few in detail, the rest counted, so that input made of
// nothing but faults cannot make the log grow without bound.
class IssueLog {
public:
    explicit IssueLog(std::size_t keep)
        : keep_(keep)
    {}

    void add(const Issue& issue);
    const std::vector<Issue>& issues() const { return issues_; }
    std::size_t dropped() const { return dropped_; }
    bool contains(Issue::Kind kind) const;

private:
    std::size_t keep_;
    std::vector<Issue> issues_;
    std::size_t dropped_ = 0;
};

} // namespace formats::richtext
