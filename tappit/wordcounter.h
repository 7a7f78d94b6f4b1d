#pragma once

#include <QChar>

#include <cstdint>

// Counts the maximal runs of ASCII letters and digits in the characters fed to it. Every other
// character separates words, accented letters included: the typing test counted bytes of the
// Windows code page and knew only the ASCII ones as letters.
class WordCounter {
public:
    void feed(QChar c)
    {
        const char16_t u = c.unicode();
        const bool word =
            (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9');
        if (word && between_)
            ++count_;
        between_ = !word;
    }

    std::int32_t count() const { return count_; }

private:
    std::int32_t count_ = 0;
    bool between_ = true;
};
