// Sounds through the display backend (SDL2 audio; silent but truthful when headless).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "backend/backend.h"
#include "windows.h"

namespace plat::shell {
namespace {

bool PlayFile(const char* path) { return CurrentBackend().PlaySoundFile(path); }

// The default sound, played when a named sound cannot be (unless the caller says not to).
void Fallback(DWORD flags) {
    if (!(flags & SND_NODEFAULT)) PlayFile(nullptr);
}

// A "WAVE" resource: the backend plays files, so the bytes pass through a private temporary.
bool PlayResource(HMODULE module, LPCSTR name) {
    HRSRC r = FindResourceA(module, name, "WAVE");
    if (!r) return false;
    HGLOBAL g = LoadResource(module, r);
    const void* bytes = g ? LockResource(g) : nullptr;
    DWORD size = SizeofResource(module, r);
    if (!bytes || !size) return false;
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/velmora-sound-XXXXXX";
    int fd = mkstemp(&path[0]);
    if (fd < 0) return false;
    bool ok = write(fd, bytes, size) == ssize_t(size);
    close(fd);
    ok = ok && PlayFile(path.c_str());
    unlink(path.c_str());
    return ok;
}

}  // namespace
}  // namespace plat::shell

using namespace plat::shell;

extern "C" {

BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags) {
    // No sound, or a purge: stop. The backend plays short sounds to their end.
    if (!sound || (flags & SND_PURGE)) return TRUE;
    if ((flags & SND_RESOURCE) == SND_RESOURCE) {
        if (PlayResource(module ? module : GetModuleHandleA(nullptr), sound)) return TRUE;
        Fallback(flags);
        return FALSE;
    }
    if (flags & SND_MEMORY) return FALSE;  // nothing of the program plays from memory
    if ((flags & SND_ALIAS_ID) == SND_ALIAS_ID) {
        PlayFile(nullptr);
        return TRUE;
    }
    // A file name, or with SND_ALIAS a system sound name, which is the default sound here.
    if (!(flags & SND_ALIAS)) {
        std::string path = sound;
        for (char& c : path)
            if (c == '\\') c = '/';
        struct stat st;
        if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && PlayFile(path.c_str())) return TRUE;
        Fallback(flags);
        return FALSE;
    }
    PlayFile(nullptr);
    return TRUE;
}

BOOL WINAPI sndPlaySoundA(LPCSTR sound, UINT flags) {
    return PlaySoundA(sound, nullptr, flags & (SND_ASYNC | SND_NODEFAULT | SND_LOOP | SND_NOSTOP | SND_MEMORY));
}

}  // extern "C"
