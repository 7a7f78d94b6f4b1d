#include "formats/richtext/issuelog.h"

#include <algorithm>

namespace formats::richtext {

void IssueLog::add(const Issue& issue)
{
    if (issues_.size() < keep_)
        issues_.push_back(issue);
    else
        ++dropped_;
}

bool IssueLog::contains(Issue::Kind kind) const
{
    return std::any_of(issues_.begin(), issues_.end(),
                       [kind](const Issue& i) { return i.kind == kind; });
}

} // namespace formats::richtext
