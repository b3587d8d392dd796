// The shell part of the test interface: recorders in place of started programs.
#include <algorithm>
#include <cstring>

#include "shell/spawn.h"
#include "winplat_test_shell.h"

using namespace plat::shell;

extern "C" {

void WinTestShellRecord(BOOL on) { SetRecording(on != FALSE); }
void WinTestShellSetOpenerRecorder(const char* path) { SetRecorderFile(SpawnKind::Opener, path); }
void WinTestShellSetShutdownRecorder(const char* path) { SetRecorderFile(SpawnKind::Shutdown, path); }
int WinTestShellRequestCount(void) { return int(Requests().size()); }
void WinTestShellClearRequests(void) { ClearRequests(); }

int WinTestShellRequestWord(int index, int word, char* buffer, int size) {
    auto all = Requests();
    if (index < 0 || size_t(index) >= all.size() || word < 0 || size_t(word) >= all[size_t(index)].size()) {
        if (buffer && size > 0) buffer[0] = 0;
        return -1;
    }
    const std::string& w = all[size_t(index)][size_t(word)];
    if (buffer && size > 0) {
        size_t n = std::min(w.size(), size_t(size - 1));
        std::memcpy(buffer, w.data(), n);
        buffer[n] = 0;
    }
    return int(w.size());
}

}  // extern "C"
