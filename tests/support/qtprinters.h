#pragma once

#include <QString>

#include <ostream>

// Lets test failures show QStrings as text rather than as bytes.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
