#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Helpers for tests that start programs of the system (sound servers, recorders).

// Whether `program` is an executable in one of the directories of PATH.
bool onPath(const std::string& program);

// Runs a program with the environment given on top of ours; its output goes to `out`. The
// process id, or -1 when it could not be started.
pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
            const std::string& out = "/dev/null");

// Runs a program as spawn() does and waits for it: its exit code, or -1.
int run(const std::vector<std::string>& args, const std::vector<std::string>& env,
        const std::string& out = "/dev/null");
