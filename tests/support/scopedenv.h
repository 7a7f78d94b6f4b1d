#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets an environment variable and restores it when the test ends.
struct ScopedEnv {
    ScopedEnv(const char* name, const std::string& value)
        : name(name)
    {
        if (const char* old = std::getenv(name))
            previous = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (previous)
            ::setenv(name, previous->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    const char* name;
    std::optional<std::string> previous;
};
