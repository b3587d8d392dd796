// What the tests that start the program itself share: a bounded wait for it to end, and a
// copy of it alone in a folder without its skin.
#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "demo_run_support.h"
#include "wait_until.h"

namespace programrun {

// Waits for the program for at most `seconds`; kills it after that. Its exit code, or -1.
inline int WaitFor(pid_t pid, int seconds) {
    int code = -1;
    auto ended = [&] {
        int st = 0;
        if (waitpid(pid, &st, WNOHANG) != pid) return false;
        code = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        return true;
    };
    if (testwait::Until(ended, std::chrono::seconds(seconds))) return code;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

// The program copied into the new folder `folder` with its settings and tips but no skin; the
// copy's path, or "" when it could not be made.
inline std::string CopyWithoutSkin(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0777) != 0) return "";
    for (const char* f : {"peloran", "settings.ini", "tips.txt"}) {
        std::ifstream in(demorun::ProgramPath(f), std::ios::binary);
        std::ofstream out(folder + "/" + f, std::ios::binary);
        out << in.rdbuf();
        if (!in || !out) return "";
    }
    const std::string exe = folder + "/peloran";
    return ::chmod(exe.c_str(), 0755) == 0 && !demorun::Exists(folder + "/z-arud.qvk") ? exe : "";
}

}  // namespace programrun
