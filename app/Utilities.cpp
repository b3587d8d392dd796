#include "Utilities.h"

#include <sys/stat.h>
#include <syslog.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "shellapi.h"
#include "winreg.h"
#include "winsecurity.h"

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string ExecutableFolder() {
    char path[4096] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path, n < sizeof path ? n : sizeof path - 1);
    size_t cut = s.find_last_of("/\\");
    if (cut == std::string::npos) return std::string();
    return s.substr(0, cut + 1);
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

void GetProgramDir(LPSTR buffer, size_t size) {
    if (!buffer || size == 0) return;
    std::string dir = ExecutableFolder();
    size_t n = dir.size() < size - 1 ? dir.size() : size - 1;
    std::memcpy(buffer, dir.data(), n);
    buffer[n] = '\0';
}

CString GetModuleDir() {
    return CString(ExecutableFolder().c_str());
}

// Works with stat and mkdir rather than by changing into each folder: the batch runs this on
// its worker thread, and the current directory belongs to the whole process.
int CreateDirectoryTree(const CString& path) {
    std::string p = (LPCSTR)path;
    if (p.size() > 1 && IsSeparator(p.back())) p.pop_back();
    if (p.empty()) return -1;
    for (char& c : p)
        if (c == '\\') c = '/';
    if (!IsFolder(p)) {
        size_t cut = p.find_last_of('/');
        if (cut != std::string::npos && cut > 0) CreateDirectoryTree(CString(p.substr(0, cut).c_str()));
    }
    if (::mkdir(p.c_str(), 0777) == 0 && IsFolder(p)) return 0;
    return -1;
}

CString MakeOutputFolder(const CString& typed) {
    std::string p = (LPCSTR)typed;
    if (p.empty()) return CString();
    for (char& c : p)
        if (c == '\\') c = '/';
    if (p[0] != '/') {
        std::error_code ec;
        std::string here = std::filesystem::current_path(ec).string();
        if (!ec && !here.empty()) p = here + (IsSeparator(here.back()) ? "" : "/") + p;
    }
    if (p.size() > 1 && p.back() == '/') p.pop_back();
    return CString(p.c_str());
}

int GetPathKind(LPCSTR path) {
    DWORD attrs = ::GetFileAttributesA(path);
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        DWORD err = ::GetLastError();
        return (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) ? 0 : -1;
    }
    return (attrs & FILE_ATTRIBUTE_DIRECTORY) ? 2 : 1;
}

BOOL ShutdownSystem(UINT flags) {
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    if (::GetVersionExA(&vi) && vi.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        HANDLE token = nullptr;
        if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
            TOKEN_PRIVILEGES tp{};
            tp.PrivilegeCount = 1;
            ::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &tp.Privileges[0].Luid);
            tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
            ::AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
            ::CloseHandle(token);
        }
    }
    return ::ExitWindowsEx(flags, 0);
}

CWinThread* BeginJoinableThread(AFX_THREADPROC proc, LPVOID param, int priority) {
    CWinThread* thread = AfxBeginThread(proc, param, priority, 0, CREATE_SUSPENDED);
    if (!thread) return nullptr;
    // Kept after it returns, so that the starter can wait for it.
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    return thread;
}

void JoinThread(CWinThread*& thread) {
    if (!thread) return;
    ::WaitForSingleObject(thread->m_hThread, INFINITE);
    delete thread;
    thread = nullptr;
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

LPCSTR FormatSeconds(int seconds) {
    static thread_local char text[32];
    if (seconds < 0) seconds = 0;
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

BOOL FileExists(LPCSTR path) {
    return GetPathKind(path) == 1;
}

void ReportEventLog(WORD type, LPCSTR format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    int priority = type == 1 ? LOG_ERR : type == 2 ? LOG_WARNING : LOG_INFO;
    ::openlog("Velmora video", LOG_PID, LOG_USER);
    ::syslog(priority, "%s", text);
    ::closelog();
}

BOOL ReadRegistryDefault(HKEY root, LPCSTR subkey, LPSTR buffer) {
    if (!buffer) return FALSE;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return FALSE;
    LONG size = MAX_PATH;
    LONG rc = ::RegQueryValueA(key, nullptr, buffer, &size);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return FALSE;
    buffer[MAX_PATH - 1] = '\0';
    return TRUE;
}

BOOL OpenURL(LPCSTR url) {
    if (!url || !*url) return FALSE;
    HINSTANCE r = ::ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(r) > 32) return TRUE;

    char type[MAX_PATH] = {};
    if (!ReadRegistryDefault(HKEY_CLASSES_ROOT, ".htm", type)) return FALSE;
    char command[MAX_PATH] = {};
    std::string key = std::string(type) + "\\shell\\open\\command";
    if (!ReadRegistryDefault(HKEY_CLASSES_ROOT, key.c_str(), command)) return FALSE;
    // The address replaces the document placeholder; the quotes keep it one word when the
    // command line is split (WinExec starts it without a shell).
    std::string line = command;
    std::string quoted = std::string("\"") + url + "\"";
    size_t at = line.find("\"%1\"");
    if (at != std::string::npos) line.replace(at, 4, quoted);
    else if ((at = line.find("%1")) != std::string::npos) line.replace(at, 2, quoted);
    else line += " " + quoted;
    return ::WinExec(line.c_str(), SW_SHOW) > 31;
}
