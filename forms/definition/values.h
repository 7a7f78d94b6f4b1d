#pragma once

#include "forms/color.h"
#include "forms/definition/syntaxtree.h"
#include "forms/exception.h"

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>

namespace forms::definition {

Exception invalidValue();

// Conversions from what the definition says to what a property takes. Each throws the class
// library's "invalid property value" failure when the value is of the wrong kind or range.
std::int64_t toInteger(const Value& v, std::int64_t min, std::int64_t max);
int toInt(const Value& v);
bool toBool(const Value& v);
QString toText(const Value& v);
QStringList toStrings(const Value& v);
TColor toColor(const Value& v);
QString toIdentifier(const Value& v);

template <typename E>
E toEnum(const Value& v, std::initializer_list<std::pair<const char*, E>> names)
{
    const QString id = toIdentifier(v);
    for (const auto& [name, value] : names) {
        if (id.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return value;
    }
    throw invalidValue();
}

unsigned toSet(const Value& v, std::initializer_list<std::pair<const char*, unsigned>> names);

} // namespace forms::definition
