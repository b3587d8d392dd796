// Threads, events, critical sections and waits over POSIX threads.
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "core/handles.h"
#include "kernel/kobjects.h"
#include "windows.h"

namespace plat::kernel {
namespace {

struct Event : KObject {
    Event() : KObject(Type::Event) {}
};

struct Thread : KObject {
    Thread() : KObject(Type::Thread) {}
    DWORD tid = 0;
    int priority = THREAD_PRIORITY_NORMAL;
    DWORD exit_code = STILL_ACTIVE;
    bool started = false;    // tid known
    bool suspended = false;  // created with CREATE_SUSPENDED and not resumed yet
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID param = nullptr;
};

HandleTable<KObject>& Objects() {
    static HandleTable<KObject>* t = new HandleTable<KObject>(HandleKind::Event);
    return *t;
}

thread_local std::shared_ptr<Thread> t_self;  // set on threads made by CreateThread

// Applies a priority to a kernel thread: the idle class maps to SCHED_IDLE, the rest to nice
// values (raising above normal needs privileges and quietly stays normal without them).
bool ApplyPriority(DWORD tid, int priority) {
    if (priority == THREAD_PRIORITY_IDLE) {
        sched_param sp{};
        sp.sched_priority = 0;
        return sched_setscheduler(pid_t(tid), SCHED_IDLE, &sp) == 0;
    }
    sched_param sp{};
    sp.sched_priority = 0;
    sched_setscheduler(pid_t(tid), SCHED_OTHER, &sp);
    int nice_value = 0;
    switch (priority) {
        case THREAD_PRIORITY_LOWEST: nice_value = 10; break;
        case THREAD_PRIORITY_BELOW_NORMAL: nice_value = 5; break;
        default: nice_value = 0; break;
    }
    setpriority(PRIO_PROCESS, id_t(tid), nice_value);
    return true;
}

void* ThreadMain(void* arg) {
    std::shared_ptr<Thread> self(*static_cast<std::shared_ptr<Thread>*>(arg));
    delete static_cast<std::shared_ptr<Thread>*>(arg);
    t_self = self;
    int priority;
    {
        std::unique_lock<std::mutex> lk(WaitMutex());
        self->tid = CurrentTid();
        self->started = true;
        WaitCv().notify_all();
        WaitCv().wait(lk, [&] { return !self->suspended; });
        priority = self->priority;  // SetThreadPriority may set it from any thread
    }
    if (priority != THREAD_PRIORITY_NORMAL) ApplyPriority(self->tid, priority);
    DWORD code = self->start(self->param);
    ExitThread(code);
    return nullptr;
}

bool IsWaitable(const KObject& o) { return o.type == KObject::Type::Event || o.type == KObject::Type::Thread; }

// Consumes the signal of an auto-reset event after a successful wait on it.
void Consume(KObject& o) {
    if (o.type == KObject::Type::Event && !o.manual_reset) o.signaled = false;
}

}  // namespace

std::mutex& WaitMutex() {
    static std::mutex* m = new std::mutex;
    return *m;
}
std::condition_variable& WaitCv() {
    static std::condition_variable* cv = new std::condition_variable;
    return *cv;
}

std::shared_ptr<KObject> ObjectOf(HANDLE h) { return Objects().Get(h); }
HANDLE AddObject(std::shared_ptr<KObject> obj) { return Objects().Add<HANDLE>(std::move(obj)); }

DWORD CurrentTid() {
    static thread_local DWORD tid = DWORD(syscall(SYS_gettid));
    return tid;
}
bool IsMainThread() { return pid_t(CurrentTid()) == getpid(); }

}  // namespace plat::kernel

using namespace plat;
using namespace plat::kernel;

namespace {
// GetCurrentThread's pseudo handle, as the platform defines it.
HANDLE const kCurrentThreadPseudo = reinterpret_cast<HANDLE>(intptr_t(-2));
HANDLE const kCurrentProcessPseudo = reinterpret_cast<HANDLE>(intptr_t(-1));
}  // namespace

extern "C" {

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stack, LPTHREAD_START_ROUTINE start, LPVOID param,
                           DWORD flags, LPDWORD thread_id) {
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto t = std::make_shared<Thread>();
    t->start = start;
    t->param = param;
    t->suspended = (flags & CREATE_SUSPENDED) != 0;
    HANDLE h = AddObject(t);
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    if (stack >= 65536) pthread_attr_setstacksize(&attr, stack);
    pthread_t pt;
    auto* arg = new std::shared_ptr<Thread>(t);
    int rc = pthread_create(&pt, &attr, ThreadMain, arg);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete arg;
        Objects().Remove(h);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::unique_lock<std::mutex> lk(WaitMutex());
    WaitCv().wait(lk, [&] { return t->started; });
    if (thread_id) *thread_id = t->tid;
    return h;
}

uintptr_t _beginthreadex(void* security, unsigned stack, unsigned(WINAPI* start)(void*), void* arg, unsigned flags,
                         unsigned* thread_id) {
    DWORD id = 0;
    HANDLE h = CreateThread(static_cast<LPSECURITY_ATTRIBUTES>(security), stack,
                            reinterpret_cast<LPTHREAD_START_ROUTINE>(start), arg, flags, &id);
    if (thread_id) *thread_id = id;
    return reinterpret_cast<uintptr_t>(h);
}

void _endthreadex(unsigned retval) { ExitThread(retval); }

void WINAPI ExitThread(DWORD code) {
    if (t_self) {
        std::lock_guard<std::mutex> g(WaitMutex());
        t_self->exit_code = code;
        t_self->signaled = true;
        WaitCv().notify_all();
    }
    t_self.reset();
    pthread_exit(nullptr);
}

DWORD WINAPI ResumeThread(HANDLE h) {
    auto o = ObjectOf(h);
    if (!o || o->type != KObject::Type::Thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return DWORD(-1);
    }
    auto* t = static_cast<Thread*>(o.get());
    std::lock_guard<std::mutex> g(WaitMutex());
    DWORD was = t->suspended ? 1 : 0;
    t->suspended = false;
    WaitCv().notify_all();
    return was;
}

BOOL WINAPI GetExitCodeThread(HANDLE h, LPDWORD code) {
    auto o = ObjectOf(h);
    if (!o || o->type != KObject::Type::Thread || !code) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> g(WaitMutex());
    *code = static_cast<Thread*>(o.get())->exit_code;
    return TRUE;
}

DWORD WINAPI GetCurrentThreadId(void) { return CurrentTid(); }
HANDLE WINAPI GetCurrentThread(void) { return kCurrentThreadPseudo; }
DWORD WINAPI GetCurrentProcessId(void) { return DWORD(getpid()); }
HANDLE WINAPI GetCurrentProcess(void) { return kCurrentProcessPseudo; }

BOOL WINAPI SetThreadPriority(HANDLE h, int priority) {
    switch (priority) {
        case THREAD_PRIORITY_IDLE: case THREAD_PRIORITY_LOWEST: case THREAD_PRIORITY_BELOW_NORMAL:
        case THREAD_PRIORITY_NORMAL: case THREAD_PRIORITY_ABOVE_NORMAL: case THREAD_PRIORITY_HIGHEST:
        case THREAD_PRIORITY_TIME_CRITICAL: break;
        default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
    }
    std::shared_ptr<Thread> t;
    DWORD tid;
    if (h == kCurrentThreadPseudo) {
        t = t_self;
        tid = CurrentTid();
    } else {
        auto o = ObjectOf(h);
        if (!o || o->type != KObject::Type::Thread) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        t = std::static_pointer_cast<Thread>(o);
    }
    if (t) {
        std::lock_guard<std::mutex> g(WaitMutex());
        t->priority = priority;
        if (h != kCurrentThreadPseudo) {
            tid = t->tid;
            if (t->signaled) return TRUE;
        }
    }
    ApplyPriority(tid, priority);
    return TRUE;
}

int WINAPI GetThreadPriority(HANDLE h) {
    if (h == kCurrentThreadPseudo) {
        if (t_self) {
            std::lock_guard<std::mutex> g(WaitMutex());
            return t_self->priority;
        }
        int policy = sched_getscheduler(0);
        return policy == SCHED_IDLE ? THREAD_PRIORITY_IDLE : THREAD_PRIORITY_NORMAL;
    }
    auto o = ObjectOf(h);
    if (!o || o->type != KObject::Type::Thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    std::lock_guard<std::mutex> g(WaitMutex());
    return static_cast<Thread*>(o.get())->priority;
}

void WINAPI Sleep(DWORD ms) {
    if (ms == 0) {
        sched_yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A critical section owns a recursive mutex allocated at initialisation.
void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION cs) {
    if (!cs) return;
    memset(cs, 0, sizeof(*cs));
    cs->DebugInfo = new std::recursive_mutex;
}
BOOL WINAPI InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION cs, DWORD spin) {
    InitializeCriticalSection(cs);
    if (cs) cs->SpinCount = spin;
    return cs != nullptr;
}
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION cs) {
    if (!cs || !cs->DebugInfo) return;
    delete static_cast<std::recursive_mutex*>(cs->DebugInfo);
    cs->DebugInfo = nullptr;
}
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION cs) {
    static_cast<std::recursive_mutex*>(cs->DebugInfo)->lock();
    cs->RecursionCount++;
    cs->OwningThread = reinterpret_cast<HANDLE>(uintptr_t(CurrentTid()));
}
BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION cs) {
    if (!static_cast<std::recursive_mutex*>(cs->DebugInfo)->try_lock()) return FALSE;
    cs->RecursionCount++;
    cs->OwningThread = reinterpret_cast<HANDLE>(uintptr_t(CurrentTid()));
    return TRUE;
}
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION cs) {
    if (--cs->RecursionCount == 0) cs->OwningThread = nullptr;
    static_cast<std::recursive_mutex*>(cs->DebugInfo)->unlock();
}

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manual_reset, BOOL initial, LPCSTR) {
    auto e = std::make_shared<Event>();
    e->manual_reset = manual_reset != FALSE;
    e->signaled = initial != FALSE;
    return AddObject(e);
}

static BOOL SetEventState(HANDLE h, bool state) {
    auto o = ObjectOf(h);
    if (!o || o->type != KObject::Type::Event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> g(WaitMutex());
    o->signaled = state;
    if (state) WaitCv().notify_all();
    return TRUE;
}
BOOL WINAPI SetEvent(HANDLE h) { return SetEventState(h, true); }
BOOL WINAPI ResetEvent(HANDLE h) { return SetEventState(h, false); }

DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD ms) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<KObject>> objs;
    for (DWORD i = 0; i < count; ++i) {
        auto o = ObjectOf(handles[i]);
        if (!o || !IsWaitable(*o)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objs.push_back(std::move(o));
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms == INFINITE ? 0 : ms);
    std::unique_lock<std::mutex> lk(WaitMutex());
    for (;;) {
        if (wait_all) {
            bool all = true;
            for (auto& o : objs) all = all && o->signaled;
            if (all) {
                for (auto& o : objs) Consume(*o);
                return WAIT_OBJECT_0;
            }
        } else {
            for (DWORD i = 0; i < count; ++i)
                if (objs[i]->signaled) {
                    Consume(*objs[i]);
                    return WAIT_OBJECT_0 + i;
                }
        }
        if (ms == 0) return WAIT_TIMEOUT;
        if (ms == INFINITE) {
            WaitCv().wait(lk);
        } else if (WaitCv().wait_until(lk, deadline) == std::cv_status::timeout) {
            ms = 0;  // one last look, then time out
        }
    }
}

DWORD WINAPI WaitForSingleObject(HANDLE h, DWORD ms) { return WaitForMultipleObjects(1, &h, FALSE, ms); }

BOOL WINAPI CloseHandle(HANDLE h) {
    if (h == kCurrentThreadPseudo || h == kCurrentProcessPseudo) return TRUE;
    if (!Objects().Remove(h)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
