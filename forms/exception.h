#pragma once

#include <QString>

#include <exception>
#include <string>

namespace forms {

// The class library's failure: a message for the user. A failure that escapes an event handler
// ends that handler and is reported by the application object's error box; nothing else catches it.
class Exception : public std::exception {
public:
    explicit Exception(QString message);

    // Formats the message like the platform's messages: each %s takes the next argument.
    template <typename... Args> static Exception fmt(const QString& pattern, const Args&... args)
    {
        return Exception(format(pattern, {QString(args)...}));
    }

    const QString& message() const { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

    static QString format(const QString& pattern, std::initializer_list<QString> args);

private:
    QString message_;
    std::string utf8_;
};

} // namespace forms
