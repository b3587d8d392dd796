// Opening documents and addresses with the desktop's opener, starting command lines, help.
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <string>

#include "shell/spawn.h"
#include "windows.h"
#include "htmlhelp.h"
#include "shellapi.h"

namespace plat::shell {
namespace {

constexpr const char* kOpener = "xdg-open";

// "scheme:" with a scheme of two or more characters (one letter before ':' is a drive).
bool IsUrl(const char* s) {
    if (!std::isalpha(static_cast<unsigned char>(s[0]))) return false;
    size_t i = 1;
    while (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '+' || s[i] == '-' || s[i] == '.') ++i;
    return s[i] == ':' && i >= 2;
}

bool Exists(const std::string& p, bool* is_dir = nullptr) {
    struct stat st;
    if (stat(p.c_str(), &st) != 0) return false;
    if (is_dir) *is_dir = S_ISDIR(st.st_mode);
    return true;
}

std::string Native(std::string p) {
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

std::string FolderOf(const std::string& p) {
    size_t cut = p.find_last_of('/');
    if (cut == std::string::npos) return ".";
    return cut == 0 ? "/" : p.substr(0, cut);
}

std::string Absolute(const std::string& p, const char* dir) {
    if (!p.empty() && p[0] == '/') return p;
    std::string base;
    if (dir && *dir) base = Native(dir);
    else {
        char cwd[4096];
        base = getcwd(cwd, sizeof cwd) ? cwd : ".";
    }
    if (base.empty() || base.back() != '/') base += '/';
    return base + p;
}

int ShellCode(SpawnResult r) {
    switch (r) {
    case SpawnResult::Started:
    case SpawnResult::Recorded: return 42;
    case SpawnResult::NotFound: return SE_ERR_NOASSOC;  // no opener installed
    case SpawnResult::Denied: return SE_ERR_ACCESSDENIED;
    case SpawnResult::NoMemory: return SE_ERR_OOM;
    case SpawnResult::Failed: break;
    }
    return SE_ERR_NOASSOC;
}

int Execute(const char* verb, const char* file, const char* dir) {
    if (!file || !*file) return SE_ERR_FNF;
    bool explore = verb && strcasecmp(verb, "explore") == 0;
    if (verb && *verb && !explore && strcasecmp(verb, "open") != 0) return SE_ERR_NOASSOC;
    std::string target;
    if (IsUrl(file)) {
        if (explore) return SE_ERR_NOASSOC;
        target = file;
    } else {
        // An absolute path also keeps a name that starts with '-' from reading as an option.
        target = Absolute(Native(file), dir);
        bool is_dir = false;
        if (!Exists(target, &is_dir)) return Exists(FolderOf(target)) ? SE_ERR_FNF : SE_ERR_PNF;
        if (explore && !is_dir) return SE_ERR_NOASSOC;
    }
    std::string wd = dir && *dir ? Native(dir) : std::string();
    if (!wd.empty() && !Exists(wd)) wd.clear();
    return ShellCode(Spawn({kOpener, target}, wd, SpawnKind::Opener));
}

DWORD LastErrorFor(int code) {
    switch (code) {
    case SE_ERR_FNF: return ERROR_FILE_NOT_FOUND;
    case SE_ERR_PNF: return ERROR_PATH_NOT_FOUND;
    case SE_ERR_ACCESSDENIED: return ERROR_ACCESS_DENIED;
    case SE_ERR_OOM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return 1155;  // ERROR_NO_ASSOCIATION
    }
}

}  // namespace
}  // namespace plat::shell

using namespace plat::shell;

extern "C" {

HINSTANCE WINAPI ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR, LPCSTR directory, INT) {
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(Execute(operation, file, directory)));
}

BOOL WINAPI ShellExecuteExA(LPSHELLEXECUTEINFOA info) {
    if (!info || info->cbSize != sizeof(SHELLEXECUTEINFOA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->hProcess = nullptr;  // the opener hands the document on; there is no process to wait for
    int code = Execute(info->lpVerb, info->lpFile, info->lpDirectory);
    info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(code));
    if (code > 32) return TRUE;
    SetLastError(LastErrorFor(code));
    return FALSE;
}

UINT WINAPI WinExec(LPCSTR command, UINT) {
    if (!command) return ERROR_FILE_NOT_FOUND;
    std::vector<std::string> argv = SplitCommandLine(command);
    if (argv.empty() || argv[0].empty()) return ERROR_FILE_NOT_FOUND;
    argv[0] = Native(argv[0]);
    if (argv[0].find('/') != std::string::npos) {
        if (!Exists(argv[0])) return Exists(FolderOf(argv[0])) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    switch (Spawn(argv, std::string(), SpawnKind::Opener)) {
    case SpawnResult::Started:
    case SpawnResult::Recorded: return 33;
    case SpawnResult::NotFound: return ERROR_FILE_NOT_FOUND;
    case SpawnResult::Denied: return ERROR_ACCESS_DENIED;
    case SpawnResult::NoMemory: return 0;
    case SpawnResult::Failed: break;
    }
    return 11;  // ERROR_BAD_FORMAT
}

HWND WINAPI HtmlHelpA(HWND, LPCSTR file, UINT command, DWORD_PTR data) {
    if (command == HH_CLOSE_ALL || !file || !*file) return nullptr;
    std::string spec = Native(file);
    std::string topic;
    size_t sep = spec.find("::");
    if (sep != std::string::npos) {
        topic = spec.substr(sep + 2);
        spec.resize(sep);
    } else if (command == HH_DISPLAY_TOPIC && data) {
        topic = Native(reinterpret_cast<const char*>(data));
    }
    while (!topic.empty() && topic[0] == '/') topic.erase(0, 1);
    if (topic.empty()) topic = "index.htm";
    size_t cut = spec.find_last_of('/');
    std::string folder = cut == std::string::npos ? std::string() : spec.substr(0, cut + 1);
    std::string page = Absolute(folder + "help/" + topic, nullptr);
    struct stat st;
    if (stat(page.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    SpawnResult r = Spawn({kOpener, page}, std::string(), SpawnKind::Opener);
    if (r != SpawnResult::Started && r != SpawnResult::Recorded) return nullptr;
    // The page shows in the desktop's own viewer; the desktop window stands in for it.
    return GetDesktopWindow();
}

}  // extern "C"
