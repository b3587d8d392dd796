#include "shell/spawn.h"

#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>

#include "backend/backend.h"
#include "shell/reaper.h"

extern char** environ;

namespace plat::shell {
namespace {

constexpr size_t kMaxKept = 256;

struct State {
    std::mutex mu;
    bool recording = false;
    std::optional<std::string> file[2];  // set by a test; otherwise the environment decides
    std::vector<std::vector<std::string>> requests;
};

State& St() {
    static State* s = new State;  // outlives static destructors of programs that spawn late
    return *s;
}

std::string RecorderFile(State& s, SpawnKind kind) {
    int i = kind == SpawnKind::Opener ? 0 : 1;
    if (s.file[i]) return *s.file[i];
    const char* env = std::getenv(i == 0 ? "VELMORA_OPENER_RECORDER" : "VELMORA_SHUTDOWN_RECORDER");
    return env ? env : "";
}

std::string Escape(const std::string& w) {
    std::string out;
    for (char c : w) {
        if (c == '\\') out += "\\\\";
        else if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

bool Headless() {
    const char* name = CurrentBackend().Name();
    return name && std::strcmp(name, "headless") == 0;
}

}  // namespace

SpawnResult Spawn(const std::vector<std::string>& argv, const std::string& dir, SpawnKind kind) {
    if (argv.empty() || argv[0].empty()) return SpawnResult::NotFound;
    State& s = St();
    bool record_only;
    {
        std::lock_guard<std::mutex> g(s.mu);
        if (s.requests.size() >= kMaxKept) s.requests.erase(s.requests.begin());
        s.requests.push_back(argv);
        std::string file = RecorderFile(s, kind);
        if (!file.empty()) {
            if (FILE* f = std::fopen(file.c_str(), "a")) {
                std::string line;
                for (size_t i = 0; i < argv.size(); ++i) line += (i ? "\t" : "") + Escape(argv[i]);
                std::fprintf(f, "%s\n", line.c_str());
                std::fclose(f);
            }
        }
        record_only = s.recording || !file.empty();
    }
    if (record_only || Headless()) return SpawnResult::Recorded;

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&fa, dir.c_str());
    // The child starts its own session so that closing the program leaves the opened page alone.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    int err = posix_spawnp(&pid, args[0], &fa, &attr, args.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&fa);
    if (err != 0) {
        if (err == ENOENT || err == ENOTDIR) return SpawnResult::NotFound;
        if (err == EACCES || err == EPERM) return SpawnResult::Denied;
        if (err == ENOMEM || err == EAGAIN) return SpawnResult::NoMemory;
        return SpawnResult::Failed;
    }
    ReapWhenEnded(pid);
    return SpawnResult::Started;
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::string cur;
    bool in_word = false, quoted = false;
    size_t i = 0, n = line.size();
    while (i < n) {
        char c = line[i];
        if (c == '\\') {
            size_t run = 0;
            while (i < n && line[i] == '\\') ++run, ++i;
            if (i < n && line[i] == '"') {
                cur.append(run / 2, '\\');
                if (run % 2) {
                    cur += '"';
                    ++i;
                }
            } else {
                cur.append(run, '\\');
            }
            in_word = true;
            continue;
        }
        if (c == '"') {
            // Inside quotes, "" is a literal quote.
            if (quoted && i + 1 < n && line[i + 1] == '"') {
                cur += '"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            in_word = true;
            ++i;
            continue;
        }
        if ((c == ' ' || c == '\t') && !quoted) {
            if (in_word) words.push_back(cur);
            cur.clear();
            in_word = false;
            ++i;
            continue;
        }
        cur += c;
        in_word = true;
        ++i;
    }
    if (in_word) words.push_back(cur);
    return words;
}

std::string ProgramFolder() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string p(buf, size_t(n));
    size_t cut = p.find_last_of('/');
    return cut == std::string::npos ? "./" : p.substr(0, cut + 1);
}

void SetRecording(bool on) {
    std::lock_guard<std::mutex> g(St().mu);
    St().recording = on;
}

void SetRecorderFile(SpawnKind kind, const char* path) {
    std::lock_guard<std::mutex> g(St().mu);
    auto& f = St().file[kind == SpawnKind::Opener ? 0 : 1];
    f = std::string(path ? path : "");  // an empty name keeps the environment's file out too
}

std::vector<std::vector<std::string>> Requests() {
    std::lock_guard<std::mutex> g(St().mu);
    return St().requests;
}

void ClearRequests() {
    std::lock_guard<std::mutex> g(St().mu);
    St().requests.clear();
}

}  // namespace plat::shell
