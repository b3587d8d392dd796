// Per-thread message queues: posted and input messages, messages sent from other threads,
// timers and hooks.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "backend/backend.h"
#include "windows.h"

namespace plat::user {

struct Queue;

// A message sent from another thread, waiting for the receiver to handle it.
struct SentMessage {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    LRESULT result = 0;
    bool done = false;
    bool failed = false;
    bool notify_only = false;  // SendNotifyMessage: nobody waits for the answer
    std::shared_ptr<Queue> sender;
};

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    uint64_t due;
    TIMERPROC proc;
    uint64_t seq;  // creation order breaks ties between equal deadlines
};

struct Hook {
    HHOOK handle = nullptr;
    int type = 0;
    HOOKPROC proc = nullptr;
    DWORD tid = 0;
    bool removed = false;
};

struct Queue {
    DWORD tid = 0;
    bool main_thread = false;
    std::mutex mu;
    std::condition_variable cv;
    // Guarded by mu.
    std::deque<MSG> posted;
    std::deque<MSG> input;
    std::deque<std::shared_ptr<SentMessage>> incoming;
    bool quit = false;
    int quit_code = 0;
    bool alive = true;
    bool wake = false;
    // Thread-only state (touched only by the owning thread).
    std::vector<Timer> timers;
    std::vector<std::shared_ptr<Hook>> hooks;  // newest first
    std::shared_ptr<SentMessage> in_send;      // the cross-thread message being handled
    int send_depth = 0;
    DWORD last_msg_time = 0;
    DWORD last_msg_pos = 0;
};

// The calling thread's queue (created on first use).
std::shared_ptr<Queue> CurrentQueue();
// The queue of a thread, if it has one.
std::shared_ptr<Queue> QueueOf(DWORD tid);
// Wakes a queue's thread (its condition variable, or the backend for the display thread).
void WakeQueue(Queue& q);

// Posts an input or posted message to a thread's queue.
bool PostTo(DWORD tid, const MSG& m, bool input);

// Calls WH_CALLWNDPROC hooks then the window's procedure, in the calling (owning) thread.
LRESULT DeliverSent(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool from_other_thread);
// Handles the messages sent to the calling thread by others.
void ProcessIncoming(Queue& q);

// The backend, or null when none is linked in.
Backend* BackendOrNull();

// Painting: the next window of this thread that needs WM_PAINT (null if none).
HWND NextWindowToPaint(DWORD tid);
// Presents every dirty top level of the thread.
void PresentDirty(DWORD tid);

// Keyboard state, updated as key messages leave the queue.
void UpdateKeyStateFromMessage(const MSG& m);

// Keyboard and mouse state shared with input routing.
void SetAsyncKey(UINT vk, bool down);
void SetMouseButtonState(UINT vk, bool down);
void SetCursorPosInternal(POINT p);
POINT CursorPosInternal();

// Runs the keyboard hooks for a key message; true to drop the message.
bool RunKeyboardHooks(Queue& q, const MSG& m, bool remove);

// Timers due on the layer's clock: fills a WM_TIMER message for the earliest.
bool TakeDueTimer(Queue& q, HWND filter, UINT min, UINT max, bool remove, MSG* out);
uint64_t NextTimerDue(Queue& q);

// What is alive across every thread, for the tests' leak counters.
size_t LiveTimerCount();
size_t LiveHookCount();

}  // namespace plat::user
