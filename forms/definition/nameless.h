#pragma once

#include <QString>

namespace forms::definition {

// Names in definitions (classes, properties, controls, handlers) ignore case.
struct NameLess {
    bool operator()(const QString& a, const QString& b) const
    {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }
};

} // namespace forms::definition
