#include "forms/exception.h"

namespace forms {

Exception::Exception(QString message)
    : message_(std::move(message))
    , utf8_(message_.toStdString())
{}

QString Exception::format(const QString& pattern, std::initializer_list<QString> args)
{
    // QString::arg would also expand %1.. sequences inside the inserted names; a file name may
    // contain them, so each %s is replaced exactly once, left to right.
    QString out;
    out.reserve(pattern.size());
    auto next = args.begin();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] == u's') {
            if (next != args.end())
                out += *next++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace forms
