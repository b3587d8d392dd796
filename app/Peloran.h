// The application object: starts COM and the skin engine for the UI thread, loads the skin
// beside the program, runs the main dialog as the whole life of the program, and undoes the
// start-up when it ends.
#pragma once

#include <unistd.h>

#include <string>

#include "afxwin.h"

// Application command that opens the Tip of the Day.
#define ID_SHOW_TIP_OF_THE_DAY 113

class CPeloranApp : public CWinApp {
public:
    CPeloranApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    afx_msg void ShowTipOfTheDay();
    // Shows the tips at start-up when the user left them on and no switch asked for silence.
    void ShowTipAtStartup();

    DECLARE_MESSAGE_MAP()
};

// The folder of the running program, without a trailing separator ("" when unknown).
inline std::string PeloranProgramFolder() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return std::string();
    std::string path(buf, size_t(n));
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

// A file that lies beside the program: "<folder>/<name>". One separator is put between them,
// whatever the folder ends with.
inline std::string PeloranFileBesideProgram(const std::string& folder, const char* name) {
    std::string f = folder;
    while (f.size() > 1 && (f.back() == '/' || f.back() == '\\')) f.pop_back();
    if (f.empty()) return name;
    if (f == "/") return f + name;
    return f + "/" + name;
}
inline std::string PeloranFileBesideProgram(const char* name) {
    return PeloranFileBesideProgram(PeloranProgramFolder(), name);
}
