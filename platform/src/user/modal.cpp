// Modal loops and the idle hook: a test scripts menus and dialogs from the moment their loop
// has nothing left to do, instead of guessing how many messages to queue ahead of them.
#include "user/modal.h"

#include <mutex>
#include <vector>

#include "kernel/kobjects.h"
#include "windows.h"
#include "winplat_test.h"

namespace plat::user {
namespace {

struct Loop {
    LoopKind kind;
    HWND window;
};

thread_local std::vector<Loop> t_loops;
thread_local bool t_idle_reported = false;

std::mutex g_hook_mu;
WINTESTIDLEPROC g_hook = nullptr;
void* g_hook_data = nullptr;
DWORD g_hook_tid = 0;

}  // namespace

ModalLoopScope::ModalLoopScope(LoopKind kind, HWND window) {
    t_loops.push_back(Loop{kind, window});
    t_idle_reported = false;
}

ModalLoopScope::~ModalLoopScope() {
    t_loops.pop_back();
    t_idle_reported = false;
}

void NoteMessageTaken() { t_idle_reported = false; }

bool RunIdleHookBeforeWait() {
    if (t_idle_reported) return false;
    WINTESTIDLEPROC hook;
    void* data;
    DWORD tid;
    {
        std::lock_guard<std::mutex> g(g_hook_mu);
        hook = g_hook;
        data = g_hook_data;
        tid = g_hook_tid;
    }
    if (!hook) return false;
    // The program's own loops are only those of the thread that asked; other threads' plain
    // message loops (workers waiting for work) are not the test's business.
    bool in_loop = !t_loops.empty();
    if (!in_loop && tid != kernel::CurrentTid()) return false;
    t_idle_reported = true;
    Loop top = in_loop ? t_loops.back() : Loop{LoopKind::Program, GetActiveWindow()};
    hook(int(top.kind), top.window, data);
    return true;
}

}  // namespace plat::user

void WinTestSetIdleHook(WINTESTIDLEPROC proc, void* data) {
    std::lock_guard<std::mutex> g(plat::user::g_hook_mu);
    plat::user::g_hook = proc;
    plat::user::g_hook_data = data;
    plat::user::g_hook_tid = proc ? plat::kernel::CurrentTid() : 0;
}
