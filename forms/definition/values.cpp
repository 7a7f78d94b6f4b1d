#include "forms/definition/values.h"

#include "forms/messages.h"

#include <limits>

namespace forms::definition {

Exception invalidValue()
{
    return Exception(QString::fromUtf8(messages::InvalidPropertyValue));
}

std::int64_t toInteger(const Value& v, std::int64_t min, std::int64_t max)
{
    if (v.kind != Value::Kind::Integer || v.integer < min || v.integer > max)
        throw invalidValue();
    return v.integer;
}

int toInt(const Value& v)
{
    return int(toInteger(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool toBool(const Value& v)
{
    return toEnum<bool>(v, {{"True", true}, {"False", false}});
}

QString toText(const Value& v)
{
    if (v.kind != Value::Kind::String)
        throw invalidValue();
    return QString::fromStdString(v.text);
}

QStringList toStrings(const Value& v)
{
    if (v.kind != Value::Kind::StringList)
        throw invalidValue();
    QStringList out;
    out.reserve(qsizetype(v.items.size()));
    for (const std::string& s : v.items)
        out << QString::fromStdString(s);
    return out;
}

TColor toColor(const Value& v)
{
    if (v.kind == Value::Kind::Integer)
        return TColor(std::uint32_t(toInteger(v, std::numeric_limits<std::int32_t>::min(),
                                              std::numeric_limits<std::uint32_t>::max())));
    TColor c;
    if (v.kind == Value::Kind::Identifier && colorFromName(QString::fromStdString(v.text), c))
        return c;
    throw invalidValue();
}

QString toIdentifier(const Value& v)
{
    if (v.kind != Value::Kind::Identifier)
        throw invalidValue();
    return QString::fromStdString(v.text);
}

unsigned toSet(const Value& v, std::initializer_list<std::pair<const char*, unsigned>> names)
{
    if (v.kind != Value::Kind::Set)
        throw invalidValue();
    unsigned bits = 0;
    for (const std::string& item : v.items) {
        const QString id = QString::fromStdString(item);
        bool found = false;
        for (const auto& [name, bit] : names) {
            if (id.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
                bits |= bit;
                found = true;
            }
        }
        if (!found)
            throw invalidValue();
    }
    return bits;
}

} // namespace forms::definition
