// Waitable kernel objects (events and threads) behind HANDLE values.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "windef.h"

namespace plat::kernel {

// Every waitable object shares one lock and one condition variable: waits on several objects
// at once then need no per-object bookkeeping, and signalling is rare enough not to contend.
std::mutex& WaitMutex();
std::condition_variable& WaitCv();

struct KObject {
    enum class Type { Event, Thread, Find };
    explicit KObject(Type t) : type(t) {}
    virtual ~KObject() = default;
    Type type;
    // Guarded by WaitMutex().
    bool signaled = false;
    bool manual_reset = true;
};

// The object behind a handle (null for a bad or closed handle).
std::shared_ptr<KObject> ObjectOf(HANDLE h);
HANDLE AddObject(std::shared_ptr<KObject> obj);

// The kernel thread id (gettid) of the calling thread.
DWORD CurrentTid();
// True on the process's first thread, the display thread.
bool IsMainThread();

}  // namespace plat::kernel
