#include "dialogs/scripts.h"

#include <atomic>
#include <deque>
#include <mutex>

#include "commdlg.h"
#include "winplat_test_shell.h"

namespace plat::dialogs {
namespace {

struct Scripts {
    std::mutex mu;
    std::deque<FileScript> files;
    std::deque<FolderScript> folders;
};

Scripts& S() {
    static Scripts* s = new Scripts;
    return *s;
}

std::atomic<HWND> g_current{nullptr};
thread_local DWORD t_error = 0;

}  // namespace

std::optional<FileScript> TakeFileScript() {
    std::lock_guard<std::mutex> g(S().mu);
    if (S().files.empty()) return std::nullopt;
    FileScript f = S().files.front();
    S().files.pop_front();
    return f;
}

std::optional<FolderScript> TakeFolderScript() {
    std::lock_guard<std::mutex> g(S().mu);
    if (S().folders.empty()) return std::nullopt;
    FolderScript f = S().folders.front();
    S().folders.pop_front();
    return f;
}

void SetCurrentDialog(HWND dlg) { g_current = dlg; }
void SetError(DWORD code) { t_error = code; }

}  // namespace plat::dialogs

using namespace plat::dialogs;

extern "C" {

DWORD WINAPI CommDlgExtendedError(void) { return t_error; }

void WinTestScriptOpenFile(const char* folder, const char* names) {
    FileScript f;
    if (!names) f.cancel = true;
    else {
        f.folder = folder ? folder : "";
        std::string all = names;
        size_t i = 0;
        while (i <= all.size()) {
            size_t j = all.find('\n', i);
            if (j == std::string::npos) j = all.size();
            if (j > i) f.names.push_back(all.substr(i, j - i));
            i = j + 1;
        }
    }
    std::lock_guard<std::mutex> g(S().mu);
    S().files.push_back(f);
}

void WinTestScriptFolder(const char* path) {
    FolderScript f;
    if (!path) f.cancel = true;
    else f.path = path;
    std::lock_guard<std::mutex> g(S().mu);
    S().folders.push_back(f);
}

void WinTestClearScripts(void) {
    std::lock_guard<std::mutex> g(S().mu);
    S().files.clear();
    S().folders.clear();
}

HWND WinTestCurrentFileDialog(void) { return g_current; }

}  // extern "C"
