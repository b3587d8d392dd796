// What tests read of processes in /proc: the threads of this one, and whether another still runs.
#pragma once

#include <dirent.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <string>

#include "wait_until.h"

namespace procwatch {

// The threads of this process whose thread id (a file name under /proc/self/task) `counts`.
template <class Counts>
int CountThreads(Counts counts) {
    DIR* d = opendir("/proc/self/task");
    if (!d) return -1;
    int n = 0;
    while (dirent* e = readdir(d))
        if (e->d_name[0] != '.' && counts(std::string(e->d_name))) ++n;
    closedir(d);
    return n;
}

inline int ThreadsOfThisProcess() {
    return CountThreads([](const std::string&) { return true; });
}

// Threads name themselves (at most 15 bytes), which tools and tests see.
inline int ThreadsNamed(const std::string& name) {
    return CountThreads([&](const std::string& tid) {
        std::ifstream f("/proc/self/task/" + tid + "/comm");
        std::string comm;
        return std::getline(f, comm) && comm == name;
    });
}

// The state letter of a process (Z: ended, not yet reaped), or 0 when there is none (reaped).
inline char StateOf(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(f, line)) return 0;
    const size_t paren = line.rfind(')');
    return paren != std::string::npos && paren + 2 < line.size() ? line[paren + 2] : 0;
}

inline bool Running(pid_t pid) {
    const char s = StateOf(pid);
    return s != 0 && s != 'Z';
}

inline bool Reaped(pid_t pid) { return StateOf(pid) == 0; }

// The exit status of a child, or -1 when it did not exit within a minute (it is then killed)
// or ended by a signal.
inline int ExitStatus(pid_t child) {
    int status = -1;
    const bool ended = testwait::Until([&] { return waitpid(child, &status, WNOHANG) == child; }, std::chrono::seconds(60));
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace procwatch
